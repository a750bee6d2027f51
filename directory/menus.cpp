// The main menu, the name-search menu and Quit.
#include <iostream>

#include "console.h"
#include "input.h"
#include "screens.h"

namespace {

struct MenuReply {
    int option;       // 0 when no number could be read
    bool inputEnded;  // standard input is at its end
};

MenuReply readMenuReply() {
    recoverFailedInput(std::cin);
    MenuReply reply{0, false};
    if (!readNumber(std::cin, reply.option)) reply.inputEnded = std::cin.eof();
    return reply;
}

// Anything but a listed option. At the end of input the session ends as
// Quit ends it, since no further reply can come.
Screen invalidReply(Screen menu, bool inputEnded) {
    std::cout << "\n\nInvalid Menu Option\n\n";
    runConsoleCommand(ConsoleCommand::Pause);
    if (!inputEnded) return menu;
    end_prog();
    return Screen::Finished;
}

}  // namespace

Screen menuOptions() {
    runConsoleCommand(ConsoleCommand::ClearScreen);
    std::cout << "Menu Options:\n"
              << " (1) Search for a Name\n"
              << " (2) Search for a Number\n"
              << " (3) Display Full List\n"
              << " (4) Quit\n"
              << ": ";
    MenuReply menuOption = readMenuReply();
    switch (menuOption.option) {
        case 1: return Screen::NameSearchMenu;
        case 2: return Screen::NumberSearch;
        case 3: return Screen::FullList;
        case 4: end_prog(); return Screen::Finished;
        default: return invalidReply(Screen::MainMenu, menuOption.inputEnded);
    }
}

Screen srchNames() {
    runConsoleCommand(ConsoleCommand::ClearScreen);
    std::cout << "Search Options by Name:\n"
              << " (1) by First Name\n"
              << " (2) by Last Name\n"
              << " (3) Back to Main Menu\n"
              << ": ";
    MenuReply srchMenuOption = readMenuReply();
    switch (srchMenuOption.option) {
        case 1: return Screen::FirstNameSearch;
        case 2: return Screen::LastNameSearch;
        case 3: return Screen::MainMenu;
        default: return invalidReply(Screen::NameSearchMenu, srchMenuOption.inputEnded);
    }
}

void end_prog() { runConsoleCommand(ConsoleCommand::Exit); }
