#include "sorted_table.h"

#include <utility>

namespace {

void sortSlots(const DirectoryTable& table, apvector<int>* carried) {
    for (int k = 0; k <= kSlotCount - 2; ++k) {
        int minPosition = k;
        for (int j = k + 1; j <= kSlotCount - 1; ++j) {
            if (table.lastName[j] < table.lastName[minPosition]) minPosition = j;
        }
        if (minPosition == k) continue;
        // Exchanged whole, buffers and all: a slot that a long name passes
        // through keeps no buffer of its size.
        table.lastName[k].swap(table.lastName[minPosition]);
        table.firstName[k].swap(table.firstName[minPosition]);
        table.number[k].swap(table.number[minPosition]);
        std::swap(table.areaCode[k], table.areaCode[minPosition]);
        if (carried != nullptr) std::swap((*carried)[k], (*carried)[minPosition]);
    }
}

}  // namespace

void sortData(const DirectoryTable& table) { sortSlots(table, nullptr); }

void sortData(const DirectoryTable& table, apvector<int>& carried) { sortSlots(table, &carried); }

int findLastName(const DirectoryTable& table, const apstring& target) {
    int low = 0;
    int high = kSlotCount - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        if (table.lastName[middle] == target) return middle;
        if (table.lastName[middle] < target) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return kNotFound;
}

std::vector<UnreachableEntry> unreachableEntries(const DirectoryTable& table, apvector<int>& place) {
    // Each slot's place before the sort, followed through it.
    for (int slot = 0; slot < kSlotCount; ++slot) place[slot] = slot;
    sortData(table, place);
    std::vector<UnreachableEntry> unreachable;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (table.lastName[slot].length() == 0) continue;
        int shown = findLastName(table, table.lastName[slot]);
        if (shown == slot) continue;  // found: the table is sorted and holds the name
        unreachable.push_back({slot, place[slot], shown, place[shown]});
    }
    return unreachable;
}
