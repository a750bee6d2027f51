// Search by telephone number: area code and number, every match listed.
#include <iostream>

#include "console.h"
#include "input.h"
#include "match_line.h"
#include "screens.h"
#include "table.h"

Screen srchNumbers() {
    runConsoleCommand(ConsoleCommand::ClearScreen);
    int typedAreaCode = 0;
    apstring phoneNum;
    std::cout << "Searching Telephone Directory by Phone Number:\n"
              << "Enter Area Code: ";
    bool areaCodeRead = readNumber(std::cin, typedAreaCode);
    std::cout << "Enter seven digit number (ie. 358-9111): ";
    bool numberRead = readWord(std::cin, phoneNum);
    std::cout << "\n\nNumbers Found:\n\n";

    int j = 0;
    // Input that could not be read matches nothing, not even an empty slot.
    for (int i = 0; areaCodeRead && numberRead && i <= kSlotCount - 1; ++i) {
        if (typedAreaCode == areaCode[i] && phoneNum == number[i]) printMatchLine(++j, i);
    }
    if (j == 0) std::cout << "* No match for (" << typedAreaCode << ") " << phoneNum;
    std::cout << "\n\n";

    runConsoleCommand(ConsoleCommand::Pause);
    return Screen::MainMenu;
}
