#include <iostream>

#include "screens.h"

namespace {

Screen show(Screen screen) {
    switch (screen) {
        case Screen::MainMenu: return menuOptions();
        case Screen::NameSearchMenu: return srchNames();
        case Screen::FullList: return dispList();
        case Screen::NumberSearch: return srchNumbers();
        case Screen::FirstNameSearch: return srchByFirst();
        case Screen::LastNameSearch: return srchByLast();
        case Screen::Finished: break;  // GCOVR_EXCL_LINE: the loop stops before it
    }
    return Screen::Finished;  // GCOVR_EXCL_LINE
}

}  // namespace

bool runScreens() {
    Screen next = Screen::MainMenu;
    // Once output fails nobody can see the screens, so the session ends
    // instead of reading on.
    while (next != Screen::Finished && std::cout) next = show(next);
    return static_cast<bool>(std::cout);
}
