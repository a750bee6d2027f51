#include "sort.h"

#include "table.h"

void sortData() {
    // Holding places for one exchange, reused by every pass.
    apstring tempLast;
    apstring tempFirst;
    apstring tempNum;
    int tempAreaCode = 0;

    for (int k = 0; k <= kSlotCount - 2; ++k) {
        int minPosition = k;
        for (int j = k + 1; j <= kSlotCount - 1; ++j) {
            if (lastName[j] < lastName[minPosition]) minPosition = j;
        }
        if (minPosition == k) continue;

        tempLast = lastName[minPosition];
        tempFirst = firstName[minPosition];
        tempNum = number[minPosition];
        tempAreaCode = areaCode[minPosition];

        lastName[minPosition] = lastName[k];
        firstName[minPosition] = firstName[k];
        number[minPosition] = number[k];
        areaCode[minPosition] = areaCode[k];

        lastName[k] = tempLast;
        firstName[k] = tempFirst;
        number[k] = tempNum;
        areaCode[k] = tempAreaCode;
    }
}
