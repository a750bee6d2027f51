// The menus and screens, from the loop that shows them to each search.
#include "screens.h"

#include <iostream>
#include <limits>

#include "sorted_table.h"
#include "token_reads.h"

// ======================================================================
//  The screen loop
// ======================================================================

namespace {

Screen show(Session& session, Screen screen) {
    switch (screen) {
        case Screen::MainMenu: return menuOptions(session);
        case Screen::NameSearchMenu: return srchNames(session);
        case Screen::FullList: return dispList(session);
        case Screen::NumberSearch: return srchNumbers(session);
        case Screen::FirstNameSearch: return srchByFirst(session);
        case Screen::LastNameSearch: return srchByLast(session);
        case Screen::Finished: break;  // GCOVR_EXCL_LINE: the loop stops before it
    }
    return Screen::Finished;  // GCOVR_EXCL_LINE
}

}  // namespace

bool runScreens(Session& session) {
    Screen next = Screen::MainMenu;
    // Once output fails nobody can see the screens, so the session ends
    // instead of reading on.
    while (next != Screen::Finished && std::cout) next = show(session, next);
    return static_cast<bool>(std::cout);
}

// ======================================================================
//  Menus: the main menu, the name-search menu, and Quit
// ======================================================================

namespace {

// Makes a failed stream readable again, unless it failed at its end: clears
// the failure and drops the rest of the line the failed read stopped in.
void recoverFailedInput(std::istream& in) {
    if (!in.fail() || in.eof()) return;
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

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
Screen invalidReply(Session& session, Screen menu, bool inputEnded) {
    std::cout << "\n\nInvalid Menu Option\n\n";
    session.console.run(ConsoleCommand::Pause);
    if (!inputEnded) return menu;
    end_prog(session);
    return Screen::Finished;
}

}  // namespace

Screen menuOptions(Session& session) {
    session.console.run(ConsoleCommand::ClearScreen);
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
        case 4: end_prog(session); return Screen::Finished;
        default: return invalidReply(session, Screen::MainMenu, menuOption.inputEnded);
    }
}

Screen srchNames(Session& session) {
    session.console.run(ConsoleCommand::ClearScreen);
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
        default: return invalidReply(session, Screen::NameSearchMenu, srchMenuOption.inputEnded);
    }
}

void end_prog(Session& session) { session.console.run(ConsoleCommand::Exit); }

// ======================================================================
//  The full listing: all 16 slots in table order, empty ones included
// ======================================================================

Screen dispList(Session& session) {
    const DirectoryTable& t = session.table;
    session.console.run(ConsoleCommand::ClearScreen);
    for (int vectorNum = 0; vectorNum <= kSlotCount - 1; ++vectorNum) {
        std::cout << "\n"
                  << vectorNum + 1 << ")\t" << t.lastName[vectorNum] << ", " << t.firstName[vectorNum] << "; "
                  << t.areaCode[vectorNum] << " " << t.number[vectorNum];
    }
    std::cout << "\n\n";
    session.console.run(ConsoleCommand::Pause);
    return Screen::MainMenu;
}

// ======================================================================
//  Search by last name: a binary search over the sorted table, one match
// ======================================================================

namespace {

void printFoundEntry(const DirectoryTable& t, int slot) {
    std::cout << "\n\nMatch Found:\n"
              << " - " << t.lastName[slot] << ", " << t.firstName[slot];
    if (t.number[slot].length() != 0) {
        std::cout << "; (" << t.areaCode[slot] << ") " << t.number[slot] << "\n\n\n";
    } else {
        std::cout << "; phone number not available\n\n\n";
    }
}

}  // namespace

Screen srchByLast(Session& session) {
    session.console.run(ConsoleCommand::ClearScreen);
    apstring target;
    std::cout << "Enter Last Name to Find: ";
    bool wordRead = readWord(std::cin, target);
    std::cout << "\n\nSearching for '" << target << "' ...\n";

    // Without a typed name there is nothing to find: an empty slot's empty
    // last name must not come up as a match.
    int slot = wordRead ? findLastName(session.table, target) : kNotFound;
    if (slot != kNotFound) {
        printFoundEntry(session.table, slot);
    } else {
        std::cout << "\n\nNo match for '" << target << "' found...\n\n\n";
    }

    session.console.run(ConsoleCommand::Pause);
    return Screen::NameSearchMenu;
}

// ======================================================================
//  Search by first name, and by area code and number: a scan of all 16
//  slots, every match listed
// ======================================================================

namespace {

// The numbered line of one match: "3)<tab>Smith, John - (706) 358-9111".
void printMatchLine(const DirectoryTable& t, int matchNumber, int slot) {
    std::cout << matchNumber << ")\t" << t.lastName[slot] << ", " << t.firstName[slot] << " - ("
              << t.areaCode[slot] << ") " << t.number[slot] << "\n";
}

}  // namespace

Screen srchByFirst(Session& session) {
    const DirectoryTable& t = session.table;
    session.console.run(ConsoleCommand::ClearScreen);
    apstring target;
    std::cout << "Enter First Name to Find: ";
    bool wordRead = readWord(std::cin, target);
    std::cout << "\n\nSearching for '" << target << "' ...\n\n\n";

    int j = 0;
    // Without a typed name nothing matches, not even the empty slots.
    for (int i = 0; wordRead && i <= kSlotCount - 1; ++i) {
        if (target == t.firstName[i]) printMatchLine(t, ++j, i);
    }
    if (j == 0) std::cout << "* No match for '" << target << "' found...\n\n\n";

    session.console.run(ConsoleCommand::Pause);
    return Screen::NameSearchMenu;
}

Screen srchNumbers(Session& session) {
    const DirectoryTable& t = session.table;
    session.console.run(ConsoleCommand::ClearScreen);
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
        if (typedAreaCode == t.areaCode[i] && phoneNum == t.number[i]) printMatchLine(t, ++j, i);
    }
    if (j == 0) std::cout << "* No match for (" << typedAreaCode << ") " << phoneNum;
    std::cout << "\n\n";

    session.console.run(ConsoleCommand::Pause);
    return Screen::MainMenu;
}
