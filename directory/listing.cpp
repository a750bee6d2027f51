// The full listing: all 16 slots in table order, empty ones included.
#include <iostream>

#include "console.h"
#include "screens.h"
#include "table.h"

Screen dispList() {
    runConsoleCommand(ConsoleCommand::ClearScreen);
    for (int vectorNum = 0; vectorNum <= kSlotCount - 1; ++vectorNum) {
        std::cout << "\n"
                  << vectorNum + 1 << ")\t" << lastName[vectorNum] << ", " << firstName[vectorNum] << "; "
                  << areaCode[vectorNum] << " " << number[vectorNum];
    }
    std::cout << "\n\n";
    runConsoleCommand(ConsoleCommand::Pause);
    return Screen::MainMenu;
}
