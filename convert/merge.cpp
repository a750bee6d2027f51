#include "merge.h"

#include <algorithm>

#include "message_text.h"
#include "table.h"

namespace {

bool sameFields(const Entry& a, const Entry& b) {
    return a.first == b.first && a.last == b.last && a.areaCode == b.areaCode && a.number == b.number;
}

}  // namespace

Merge::Merge(const std::vector<Entry>& existing) : matched_(existing.size(), false) {
    for (const Entry& entry : existing) merged_.push_back({entry, MergedEntry::Kind::Kept, 0, ""});
}

bool Merge::take(const Entry& entry) {
    for (std::size_t k = 0; k < matched_.size(); ++k) {
        MergedEntry& held = merged_[k];
        if (matched_[k] || held.entry.first != entry.first || held.entry.last != entry.last) continue;
        matched_[k] = true;
        if (held.entry.areaCode != entry.areaCode || held.entry.number != entry.number) {
            held.kind = MergedEntry::Kind::Updated;
            held.oldAreaCode = held.entry.areaCode;
            held.oldNumber = held.entry.number;
            held.entry.areaCode = entry.areaCode;
            held.entry.number = entry.number;
        }
        return true;
    }
    // The same contact twice (a folder holding a card both as the server
    // has it and as an export wrote it) is one entry.
    for (const MergedEntry& merged : merged_) {
        if (sameFields(merged.entry, entry)) return true;
    }
    if (merged_.size() == static_cast<std::size_t>(kSlotCount)) return false;
    merged_.push_back({entry, MergedEntry::Kind::Added, 0, ""});
    return true;
}

bool Merge::changed() const {
    return std::any_of(merged_.begin(), merged_.end(),
                       [](const MergedEntry& merged) { return merged.kind != MergedEntry::Kind::Kept; });
}

std::string shownNumber(int areaCode, const std::string& number) {
    return std::to_string(areaCode) + " " + escapedShort(number);
}
