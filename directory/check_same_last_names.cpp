// Entries that the last-name search cannot reach, found with the
// directory's own sort and binary search.
#include <string_view>

#include "check_findings.h"
#include "file_text.h"
#include "last_name_search.h"
#include "sort.h"
#include "table.h"

namespace {

std::string_view view(const apstring& text) {
    return {text.c_str(), static_cast<std::size_t>(text.length())};
}

std::string entryName(int slot) {
    return quoted(std::string(view(firstName[slot])) + " " + std::string(view(lastName[slot])));
}

}  // namespace

void checkSameLastNames(const LoadResult& loaded, Findings& findings) {
    // The sort never reads the area code, so it carries each entry's place
    // in the file through the sort.
    int count = static_cast<int>(loaded.entries.size());
    for (int entry = 0; entry < count; ++entry) areaCode[entry] = entry;
    sortData();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (lastName[slot].length() == 0) continue;  // an empty slot, or an entry cut short
        int shown = findLastName(lastName[slot]);
        if (shown == slot) continue;  // found: the table is sorted and holds the name
        const EntryRead& hidden = loaded.entries[static_cast<std::size_t>(areaCode[slot])];
        const EntryRead& reached = loaded.entries[static_cast<std::size_t>(areaCode[shown])];
        findings.push_back({hidden.last.line, hidden.last.column, Severity::Warning,
                            "the last-name search never shows " + entryName(slot) + ": for " +
                                quoted(view(lastName[slot])) + " it shows " + entryName(shown) + " (line " +
                                std::to_string(reached.first.line) + ") instead"});
    }
}
