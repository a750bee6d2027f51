#include "match_line.h"

#include <iostream>

#include "table.h"

void printMatchLine(int matchNumber, int slot) {
    std::cout << matchNumber << ")\t" << lastName[slot] << ", " << firstName[slot] << " - (" << areaCode[slot]
              << ") " << number[slot] << "\n";
}
