// Contacts of an address book file made into the directory's entries, the
// file read one contact at a time: memory stays bounded and time linear
// whatever the file holds.
#ifndef CONVERT_IMPORT_H
#define CONVERT_IMPORT_H

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "contact.h"

enum class Format { VCard, Csv };

// Which of the contacts are written, besides those that cannot be.
struct Choice {
    // The groups a contact must be in one of (vCard CATEGORIES, Google's
    // labels, Outlook's categories), in any letter case; "starred",
    // "favorites" and "favourites" each stand for any group of favourites.
    // None: every contact.
    std::vector<std::string> categories;
};

struct ImportResult {
    // At most the directory's 16: the favourites (starred by Google, or in
    // a group of favourites) first, then the others, each in file order.
    std::vector<Entry> entries;
    // What was not written or was changed, in file order: a few hundred
    // lines at most, the rest counted in a last line.
    Messages messages;
    bool errors = false;  // something in the file is not written
    // What the contacts written held that an entry has no room for, in a
    // sentence: "not kept, as ...: 6 e-mail addresses, 1 photo"; or empty.
    std::string notKept;
    // How many contacts are not in the categories chosen, in a sentence: "12
    // contacts not in the categories asked for are not written"; or empty.
    std::string notChosen;
    std::string failure;         // the file could not be read: "cannot read: ..."
    std::size_t failedFile = 0;  // of several files, the one that could not be read
};

// Whether the import keeps an entry it read, in place of keeping the first
// 16 (favourites first): asked of each entry chosen in turn, in file order,
// it keeps those it is true for.
using Room = std::function<bool(const Entry&)>;

// Reads the contacts of source, a vCard or CSV file. A file that holds no
// contact (an empty file, one that is no vCard, a CSV file without a column
// of names or numbers this program knows) gets an error saying what was
// looked for.
ImportResult importContacts(std::istream& source, Format format, const Choice& choice = {},
                            const Room& room = nullptr);

// The contacts of the vCard files at paths (a folder's), read in turn as
// though one file, one file open at a time; entries and messages carry the
// index of their file in paths. A file that cannot be opened or read ends
// the import with failure and failedFile set.
ImportResult importVCardFiles(const std::vector<std::string>& paths, const Choice& choice = {},
                              const Room& room = nullptr);

#endif  // CONVERT_IMPORT_H
