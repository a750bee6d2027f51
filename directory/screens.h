// The program's screens. Each one shows itself, reads what it needs and
// returns the screen to show next; the loop in runScreens() shows them one
// after another, so a long session does not deepen the call stack.
#ifndef DIRECTORY_SCREENS_H
#define DIRECTORY_SCREENS_H

enum class Screen {
    MainMenu,         // menuOptions
    NameSearchMenu,   // srchNames
    FullList,         // dispList
    NumberSearch,     // srchNumbers
    FirstNameSearch,  // srchByFirst
    LastNameSearch,   // srchByLast
    Finished,         // Quit chosen, or standard input ended at a menu
};

Screen menuOptions();
Screen srchNames();
void end_prog();
Screen dispList();
Screen srchByLast();
Screen srchByFirst();
Screen srchNumbers();

// Shows screens from the main menu on until the user quits or standard
// output can no longer be written; false in the second case.
bool runScreens();

#endif  // DIRECTORY_SCREENS_H
