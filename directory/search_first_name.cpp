// Search by first name: a scan of all 16 slots listing every match.
#include <iostream>

#include "console.h"
#include "input.h"
#include "match_line.h"
#include "screens.h"
#include "table.h"

Screen srchByFirst() {
    runConsoleCommand(ConsoleCommand::ClearScreen);
    apstring target;
    std::cout << "Enter First Name to Find: ";
    bool wordRead = readWord(std::cin, target);
    std::cout << "\n\nSearching for '" << target << "' ...\n\n\n";

    int j = 0;
    // Without a typed name nothing matches, not even the empty slots.
    for (int i = 0; wordRead && i <= kSlotCount - 1; ++i) {
        if (target == firstName[i]) printMatchLine(++j, i);
    }
    if (j == 0) std::cout << "* No match for '" << target << "' found...\n\n\n";

    runConsoleCommand(ConsoleCommand::Pause);
    return Screen::NameSearchMenu;
}
