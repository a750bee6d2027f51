// Contacts of an address book file made into the directory's entries, the
// file read one contact at a time: memory stays bounded and time linear
// whatever the file holds.
#ifndef CONVERT_IMPORT_H
#define CONVERT_IMPORT_H

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
    std::vector<LoadedEntry> entries;
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
    std::string failure;  // the file could not be read: "cannot read: ..."
};

// Reads the contacts of source, a vCard or CSV file. A file that holds no
// contact (an empty file, one that is no vCard, a CSV file without a column
// of names or numbers this program knows) gets an error saying what was
// looked for.
ImportResult importContacts(std::istream& source, Format format, const Choice& choice = {});

#endif  // CONVERT_IMPORT_H
