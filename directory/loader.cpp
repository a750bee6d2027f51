#include "loader.h"

#include <iostream>

#include "input.h"
#include "table.h"

namespace {

// True when another entry starts in the file: the stream is still good and
// something other than whitespace is left. Trailing whitespace after the
// 16th entry therefore does not count as a 17th.
bool entryFollows(std::istream& infile) {
    // good() also turns away a file that cannot be read at all, such as a
    // directory of that name, whose first read fails without ending.
    infile >> std::ws;
    return infile.good();
}

void warnAboutEntry(int slot, const apstring& first, const apstring& last, const char* problem) {
    std::cerr << kDataFileName << ": entry " << slot + 1 << " (" << first << ' ' << last << ") " << problem
              << std::endl;
}

// Reads one entry (first name, last name, area code, number) into slot.
void readEntry(std::istream& infile, int slot) {
    // All four fields of the slot are reached before anything is read, so a
    // 17th entry stops the program here with nothing of it read.
    apstring& first = firstName[slot];
    apstring& last = lastName[slot];
    int& code = areaCode[slot];
    apstring& phone = number[slot];

    infile >> first >> last >> std::ws;
    bool codePresent = infile && !infile.eof();
    bool codeRead = readNumber(infile, code);
    infile >> phone;  // after a failed area code this finds the stream failed

    if (codePresent && !codeRead) {
        warnAboutEntry(slot, first, last,
                       "has an area code that is not a number; the rest of the file was not loaded");
    } else if (!codeRead || phone.length() == 0) {
        warnAboutEntry(slot, first, last, "is cut short by the end of the file");
    }
}

}  // namespace

void loadDirectory(std::istream& infile) {
    for (int vectorSize = 0; entryFollows(infile); ++vectorSize) readEntry(infile, vectorSize);
}
