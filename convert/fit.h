// Contacts made into entries that teledir loads whole and telelist-check
// finds no error in: valid UTF-8 without control characters, one name a
// field, no blanks, an area code that is a number, every digit kept.
#ifndef CONVERT_FIT_H
#define CONVERT_FIT_H

#include <optional>
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

// The number text as the data file's area code and number (the phone-number
// unit reads it), every digit of it kept, and a warning for any number that
// is not a North American one of ten digits: one with no area code, another
// country's, digits of no known country, text that is no number, and
// eleven digits starting with 1, which may be another country's.
FittedNumber fitNumber(std::string_view text);

// text without blanks at either end, and each run of blanks inside it one
// hyphen (blanks: the data file's field separators).
std::string withoutBlanks(std::string_view text);

// What cleanText changed.
struct Cleaning {
    bool controls = false;    // control characters or escape sequences removed
    bool notUtf8 = false;     // bytes that are not UTF-8 read as Windows-1252
    bool surrogates = false;  // UTF-16 surrogates on their own written as U+FFFD
};

// text as valid UTF-8 that shows as it reads: bytes that are not UTF-8
// taken as Windows-1252 characters, but for a UTF-16 surrogate written as
// UTF-8 would (ED A0 80 to ED BF BF): a pair of them as its character, one
// on its own as U+FFFD; control characters (C0 but the field
// separators, DEL, C1), whole terminal escape sequences and byte-order
// marks removed.
std::string cleanText(std::string_view text, Cleaning& cleaning);

// A contact fitted: the entry, or nothing when it cannot be written, and
// what to tell about it (an error when it is not written).
struct Fitted {
    std::optional<Entry> entry;
    Messages messages;
    std::string shownName;  // the contact as messages name it
};
Fitted fitContact(const Contact& contact);

// Warnings for entries the last-name search never shows, since another
// has the same last name. Entries read from several files (a folder) have
// files, their names, to tell where the entry shown instead is.
void checkSameLastNames(const std::vector<Entry>& entries, Messages& messages,
                        const std::vector<std::string>& files = {});

// The data file holding entries, one a line: "First Last AAA NUMBER\n".
std::string dataFileText(const std::vector<Entry>& entries);

#endif  // CONVERT_FIT_H
