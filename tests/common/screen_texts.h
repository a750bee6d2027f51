// The directory's screen texts as the tests expect them, one copy for every
// test source. Line ends are "\n"; a terminal shows them as "\r\n"
// (onTerminal).
#ifndef TESTS_COMMON_SCREEN_TEXTS_H
#define TESTS_COMMON_SCREEN_TEXTS_H

#include <string>

namespace screen_texts {

inline const std::string kStartupText =
    "Alphabetically sorting data file by last name...\n\nOne moment please...";
inline const std::string kSortingComplete = "File Sorting Complete.\n\n";
inline const std::string kStart = kStartupText + kSortingComplete;  // on pipes, without a message
inline const std::string kMainMenu =
    "Menu Options:\n (1) Search for a Name\n (2) Search for a Number\n (3) Display Full List\n (4) Quit\n: ";
inline const std::string kNameMenu =
    "Search Options by Name:\n (1) by First Name\n (2) by Last Name\n (3) Back to Main Menu\n: ";
inline const std::string kInvalid = "\n\nInvalid Menu Option\n\n";
inline const std::string kNumberSearch = "Searching Telephone Directory by Phone Number:\n";
inline const std::string kLastNamePrompt = "Enter Last Name to Find: ";
inline const std::string kFirstNamePrompt = "Enter First Name to Find: ";
inline const std::string kIndexMessage = "Illegal vector index: 16 max index = 15\n";

// text as a terminal in its usual mode shows it: each "\n" as "\r\n".
inline std::string onTerminal(const std::string& text) {
    std::string shown;
    for (char c : text) {
        if (c == '\n') shown += '\r';
        shown += c;
    }
    return shown;
}

}  // namespace screen_texts

#endif  // TESTS_COMMON_SCREEN_TEXTS_H
