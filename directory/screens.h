// The program's screens. Each one shows itself, reads what it needs and
// returns the screen to show next; the loop in runScreens() shows them one
// after another, so a long session does not deepen the call stack.
#ifndef DIRECTORY_SCREENS_H
#define DIRECTORY_SCREENS_H

#include "console.h"
#include "table.h"

// What every screen works with: the sorted table, only read from here on,
// and the console its commands go to. Dialogue is on standard input and
// output.
struct Session {
    DirectoryTable table;
    Console& console;
};

enum class Screen {
    MainMenu,         // menuOptions
    NameSearchMenu,   // srchNames
    FullList,         // dispList
    NumberSearch,     // srchNumbers
    FirstNameSearch,  // srchByFirst
    LastNameSearch,   // srchByLast
    Finished,         // Quit chosen, or standard input ended at a menu
};

Screen menuOptions(Session& session);
Screen srchNames(Session& session);
void end_prog(Session& session);
Screen dispList(Session& session);
Screen srchByLast(Session& session);
Screen srchByFirst(Session& session);
Screen srchNumbers(Session& session);

// Shows screens from the main menu on until the user quits or standard
// output can no longer be written; false in the second case.
bool runScreens(Session& session);

#endif  // DIRECTORY_SCREENS_H
