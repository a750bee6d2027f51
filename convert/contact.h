// What telelist-convert carries between its readers and writers: contacts
// as an address book file holds them, entries as the data file holds them,
// and the messages about both.
#ifndef CONVERT_CONTACT_H
#define CONVERT_CONTACT_H

#include <climits>
#include <string>
#include <vector>

#include "load_problems.h"  // Severity: an error is something not written
#include "message_text.h"

// A phone number as written, with how strongly the file prefers it.
struct PhoneValue {
    static constexpr int kNotPreferred = INT_MAX;
    std::string text;
    int preference = kNotPreferred;  // 1 is the most preferred (vCard PREF=1, TYPE=pref)
};

// One contact of a vCard or CSV file, before it is fitted to an entry.
struct Contact {
    int line = 0;                    // where the contact starts in the file
    std::string first, last;         // given and family name, as read
    std::string fullName;            // FN, or a full-name column
    std::vector<PhoneValue> phones;  // in file order
    std::vector<std::string> notes;  // what reading it changed, for warnings naming it
};

// One entry of the data file.
struct Entry {
    int line = 0;  // where it came from in the file read
    std::string first, last;
    int areaCode = 0;
    std::string number;
};

// The entry's name as messages quote it.
inline std::string quotedName(const Entry& entry) { return quoted(entry.first + " " + entry.last); }

struct Message {
    int line;
    Severity severity;
    std::string text;
};

using Messages = std::vector<Message>;

#endif  // CONVERT_CONTACT_H
