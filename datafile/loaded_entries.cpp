#include "loaded_entries.h"

#include "message_text.h"
#include "sorted_table.h"

namespace {

apstring asApstring(const std::string& text) {
    apstring result;
    for (char c : text) result += c;
    return result;
}

// Sorts table, whose slots 0 to entries.size() - 1 hold entries in file
// order, and sets their places from it.
void placeFromTable(const DirectoryTable& table, std::vector<LoadedEntry>& entries) {
    apvector<int> place(kSlotCount);
    std::vector<UnreachableEntry> hidden = unreachableEntries(table, place);
    std::size_t sorted = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto filePlace = static_cast<std::size_t>(place[slot]);
        if (filePlace < entries.size()) entries[filePlace].sortedPlace = sorted++;
    }
    for (const UnreachableEntry& entry : hidden) {
        entries[static_cast<std::size_t>(entry.place)].shownInstead =
            static_cast<std::size_t>(entry.shownPlace);
    }
}

}  // namespace

std::vector<LoadedEntry> LoadedDirectory::inTableOrder() const {
    std::vector<LoadedEntry> table(entries.size());
    for (const LoadedEntry& entry : entries) table[entry.sortedPlace] = entry;
    return table;
}

LoadedDirectory loadEntries(EntryReader& reader) {
    OwnedTable table;
    LoadedDirectory result;
    result.loaded = loadDirectory(reader, table.columns());
    for (std::size_t k = 0; k < result.loaded.entries.size(); ++k) {
        const EntryRead& read = result.loaded.entries[k];
        int slot = static_cast<int>(k);
        LoadedEntry entry;
        entry.first = std::string(textOf(table.firstName[slot]));
        entry.last = std::string(textOf(table.lastName[slot]));
        entry.areaCode = table.areaCode[slot];
        entry.number = std::string(textOf(table.number[slot]));
        entry.line = read.first.line;
        entry.lastLine = read.last.present ? read.last.line : read.first.line;
        entry.lastColumn = read.last.present ? read.last.column : 0;
        entry.filePlace = k;
        result.entries.push_back(std::move(entry));
    }
    placeFromTable(table.columns(), result.entries);
    return result;
}

void placeEntries(std::vector<LoadedEntry>& entries) {
    OwnedTable table;
    for (std::size_t k = 0; k < entries.size() && k < static_cast<std::size_t>(kSlotCount); ++k) {
        table.lastName[static_cast<int>(k)] = asApstring(entries[k].last);
        entries[k].filePlace = k;
    }
    placeFromTable(table.columns(), entries);
}

std::string quotedName(const LoadedEntry& entry) {
    // A name's worth of each field, however long: quoted cuts the rest.
    return quoted(entry.first.substr(0, 64) + " " + entry.last.substr(0, 64));
}

std::string entryName(const LoadedEntry& entry) {
    return escapedShort(entry.last) + ", " + escapedShort(entry.first) + " (line " +
           std::to_string(entry.line) + ")";
}

Diagnostic sameLastNameWarning(const LoadedEntry& hidden, const LoadedEntry& shown,
                               std::string_view shownFile) {
    std::string where = shownFile.empty() ? "line " + std::to_string(shown.line)
                                          : shownPath(shownFile) + ":" + std::to_string(shown.line);
    return {hidden.lastLine, hidden.lastColumn, Severity::Warning,
            "the last-name search never shows " + quotedName(hidden) + ": for " + quoted(hidden.last) +
                " it shows " + quotedName(shown) + " (" + where + ") instead"};
}
