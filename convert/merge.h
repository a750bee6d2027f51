// Contacts merged into the entries a data file already holds, in place of
// replacing them: the entries stay, in their order; a contact with the
// same first and last name (byte for byte, as the directory's searches
// compare names) gives that entry its number; the others fill the free
// slots in the order they come.
#ifndef CONVERT_MERGE_H
#define CONVERT_MERGE_H

#include <string>
#include <vector>

#include "contact.h"

struct MergedEntry {
    enum class Kind { Kept, Updated, Added };
    Entry entry;
    Kind kind = Kind::Kept;
    int oldAreaCode = 0;    // an entry updated: its number before
    std::string oldNumber;  // the same
};

class Merge {
public:
    explicit Merge(const std::vector<Entry>& existing);

    // Takes entry, read from the contacts, when it has a place: the first
    // entry of the same names no contact has been merged into yet, else a
    // free slot. False when it has none.
    bool take(const Entry& entry);

    // The directory merged: the entries it held first, then those added.
    const std::vector<MergedEntry>& entries() const { return merged_; }
    // Whether anything was added or a number changed.
    bool changed() const;

private:
    std::vector<MergedEntry> merged_;
    std::vector<bool> matched_;  // for each entry held before, whether a contact was merged into it
};

// An area code and number as the merge's report shows them: 312 555-0101.
std::string shownNumber(int areaCode, const std::string& number);

#endif  // CONVERT_MERGE_H
