// Search by last name: a binary search over the sorted table, one match.
#include <iostream>

#include "console.h"
#include "input.h"
#include "last_name_search.h"
#include "screens.h"
#include "table.h"

namespace {

void printFoundEntry(int slot) {
    std::cout << "\n\nMatch Found:\n"
              << " - " << lastName[slot] << ", " << firstName[slot];
    if (number[slot].length() != 0) {
        std::cout << "; (" << areaCode[slot] << ") " << number[slot] << "\n\n\n";
    } else {
        std::cout << "; phone number not available\n\n\n";
    }
}

}  // namespace

Screen srchByLast() {
    runConsoleCommand(ConsoleCommand::ClearScreen);
    apstring target;
    std::cout << "Enter Last Name to Find: ";
    bool wordRead = readWord(std::cin, target);
    std::cout << "\n\nSearching for '" << target << "' ...\n";

    // Without a typed name there is nothing to find: an empty slot's empty
    // last name must not come up as a match.
    int slot = wordRead ? findLastName(target) : kNotFound;
    if (slot != kNotFound) {
        printFoundEntry(slot);
    } else {
        std::cout << "\n\nNo match for '" << target << "' found...\n\n\n";
    }

    runConsoleCommand(ConsoleCommand::Pause);
    return Screen::NameSearchMenu;
}
