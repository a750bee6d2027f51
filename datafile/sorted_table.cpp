#include "sorted_table.h"

#include <utility>

namespace {

void sortSlots(const DirectoryTable& table, apvector<int>* carried) {
    // Holding places for one exchange, reused by every pass.
    apstring tempLast;
    apstring tempFirst;
    apstring tempNum;
    int tempAreaCode = 0;

    for (int k = 0; k <= kSlotCount - 2; ++k) {
        int minPosition = k;
        for (int j = k + 1; j <= kSlotCount - 1; ++j) {
            if (table.lastName[j] < table.lastName[minPosition]) minPosition = j;
        }
        if (minPosition == k) continue;

        tempLast = table.lastName[minPosition];
        tempFirst = table.firstName[minPosition];
        tempNum = table.number[minPosition];
        tempAreaCode = table.areaCode[minPosition];

        table.lastName[minPosition] = table.lastName[k];
        table.firstName[minPosition] = table.firstName[k];
        table.number[minPosition] = table.number[k];
        table.areaCode[minPosition] = table.areaCode[k];

        table.lastName[k] = tempLast;
        table.firstName[k] = tempFirst;
        table.number[k] = tempNum;
        table.areaCode[k] = tempAreaCode;

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
