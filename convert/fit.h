// Contacts made into entries that teledir loads and telelist-check finds
// no error in: one name a field, no blanks, an area code that is a number,
// at most 16 entries.
#ifndef CONVERT_FIT_H
#define CONVERT_FIT_H

#include <string>
#include <string_view>
#include <vector>

#include "contact.h"

// A phone number as the data file holds it.
struct FittedNumber {
    int areaCode = 0;
    std::string number;
    std::string change;  // how the number was changed to fit, for a warning; empty when not
};

// The number text as an area code and a number:
// - "(AREA) NUMBER", the form the vCard export writes: both as written;
// - ten digits, or eleven starting with 1 (+1, the North American plan),
//   among blanks, dots, hyphens and parentheses: "312 358-9111";
// - seven digits: area code 0, "358-9111";
// - anything else (letters, extensions, other countries, other lengths):
//   area code 0, and the text as it stands, each run of blanks a hyphen.
// text must hold something other than blanks.
FittedNumber fitNumber(std::string_view text);

// text without blanks at either end, and each run of blanks inside it one
// hyphen (blanks: the data file's field separators).
std::string withoutBlanks(std::string_view text);

// The contacts, in file order, as entries: each with its preferred number,
// names without blanks, at most 16. Reports on messages what was not
// written or was changed, and entries the last-name search would not show.
std::vector<Entry> fitContacts(const std::vector<Contact>& contacts, Messages& messages);

// The data file holding entries, one a line: "First Last AAA NUMBER\n".
std::string dataFileText(const std::vector<Entry>& entries);

#endif  // CONVERT_FIT_H
