#include "last_name_search.h"

#include "table.h"

int findLastName(const apstring& target) {
    int low = 0;
    int high = kSlotCount - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        if (lastName[middle] == target) return middle;
        if (lastName[middle] < target) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return kNotFound;
}
