// What telelist-convert carries between its readers and writers: contacts
// as an address book file holds them, entries as the data file holds them,
// and the messages about both.
#ifndef CONVERT_CONTACT_H
#define CONVERT_CONTACT_H

#include <climits>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "load_problems.h"  // Severity: an error is something not written
#include "message_text.h"

// The longest property value or CSV field kept, in bytes: four times the
// data file's field limit, room for a longest field written as
// quoted-printable. A longer value is cut here and its contact not written;
// what the directory cannot use (a photo, a sound, a key) is never kept.
constexpr std::size_t kValueLimit = std::size_t{4} << 16;

// A phone number as written, with how strongly the file prefers it.
struct PhoneValue {
    static constexpr int kNotPreferred = INT_MAX;
    std::string text;
    int preference = kNotPreferred;  // 1 is the most preferred (vCard PREF=1, TYPE=pref)
    bool voice = true;               // false for a fax, pager, modem or other line no one answers
};

// One contact of a vCard or CSV file, before it is fitted to an entry. Of
// its phone numbers only the one to be written is kept: the most preferred;
// among equals a voice line before any other; then the first in the file.
struct Contact {
    static constexpr std::size_t kNoteLimit = 8;
    static constexpr std::size_t kGroupLimit = 64;
    static constexpr std::size_t kGroupNameLimit = 256;

    long long line = 0;       // where the contact starts in the file
    std::string first, last;  // given and family name, as read
    std::string fullName;     // FN, or a full-name column
    std::optional<PhoneValue> phone;
    long long phones = 0;      // numbers given, empty ones left out
    bool phoneIsFirst = true;  // phone is the first number given
    // The groups it is in (vCard CATEGORIES, Google's labels, Outlook's
    // categories), by their groupKey; at most kGroupLimit.
    std::vector<std::string> groups;
    bool groupsCut = false;          // it is in more
    bool starred = false;            // in a group of favourites: starred, favorites or favourites
    std::vector<std::string> notes;  // what reading it changed, for warnings; at most kNoteLimit
    long long notesLeftOut = 0;
    std::string failure;  // why it cannot be written, when it cannot

    // Counts number and keeps it when it goes before the one kept.
    void addPhone(PhoneValue number);
    void note(std::string text);
    // Adds the group named name, blanks at either end aside, unless it is
    // blank or already there.
    void addGroup(std::string_view name);
    // The first reason is the one told.
    void fail(std::string reason) {
        if (failure.empty()) failure = std::move(reason);
    }
};

// One entry of the data file.
struct Entry {
    long long line = 0;  // where it came from in the file read
    std::string first, last;
    int areaCode = 0;
    std::string number;
    std::size_t file = 0;  // of several files read as one (a folder), which
};

// The entry's name as messages quote it.
std::string quotedName(const Entry& entry);

struct Message {
    long long line;
    Severity severity;
    std::string text;
    std::size_t file = 0;  // of several files read as one (a folder), which
};

// a is told before b: file order, then line order.
inline bool toldBefore(const Message& a, const Message& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
}

using Messages = std::vector<Message>;

// Where the readers tell what they find about the file itself rather than
// one contact: a card without END, a quote never closed, a header row; and,
// once at the end, what the contacts written held that an entry has no room
// for, as a list: "6 e-mail addresses, 1 photo" (nothing when empty).
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void report(long long line, Severity severity, std::string text) = 0;
    virtual void notKept(std::string list) = 0;
    // Whether the contact taken that starts at line is written, asked once
    // every contact is read.
    virtual bool written(long long line) const {
        (void)line;
        return true;
    }
};

// Where a reader hands each contact it reads: true when it is taken. A
// contact taken may yet be left out, when the contacts after it hold
// favourites enough to fill the directory: once every contact is read,
// Reporter::written tells. At most twice the directory's 16 are taken.
using TakeContact = std::function<bool(Contact&)>;

// A group's name as groups are compared: without blanks at either end, case
// folded, cut to Contact::kGroupNameLimit bytes.
std::string groupKey(std::string_view name);

// A group of favourites, by its groupKey: starred (Google's own), favorites
// or favourites.
bool isFavourites(std::string_view key);

// "1 photo", "6 photos".
std::string counted(long long count, const char* one, const char* many);

#endif  // CONVERT_CONTACT_H
