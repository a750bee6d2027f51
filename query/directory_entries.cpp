#include "directory_entries.h"

#include "message_text.h"
#include "sorted_table.h"

DirectoryEntries loadEntries(EntryReader& reader) {
    OwnedTable table;
    DirectoryEntries result;
    result.loaded = loadDirectory(reader, table.columns());
    // Each slot's place in the file, followed through the sort; the places
    // past the entries loaded are empty slots.
    apvector<int> place(kSlotCount);
    for (int slot = 0; slot < kSlotCount; ++slot) place[slot] = slot;
    sortData(table.columns(), place);
    std::vector<int> entryAt(kSlotCount, -1);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto loaded = static_cast<std::size_t>(place[slot]);
        if (loaded >= result.loaded.entries.size()) continue;
        entryAt[static_cast<std::size_t>(slot)] = static_cast<int>(result.entries.size());
        result.entries.push_back({std::string(textOf(table.firstName[slot])),
                                  std::string(textOf(table.lastName[slot])), table.areaCode[slot],
                                  std::string(textOf(table.number[slot])),
                                  result.loaded.entries[loaded].first.line, -1});
    }
    // On a sorted table the sort moves nothing, so its slots are the ones above.
    for (const UnreachableEntry& hidden : unreachableEntries(table.columns())) {
        Entry& entry =
            result.entries[static_cast<std::size_t>(entryAt[static_cast<std::size_t>(hidden.slot)])];
        entry.shownInstead = entryAt[static_cast<std::size_t>(hidden.shownSlot)];
    }
    return result;
}

std::string entryName(const Entry& entry) {
    return escapedShort(entry.last) + ", " + escapedShort(entry.first) + " (line " +
           std::to_string(entry.line) + ")";
}
