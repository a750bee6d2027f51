// The order of the table: the sort by last name that start-up runs once,
// and the binary search by last name that relies on it.
#ifndef DATAFILE_SORTED_TABLE_H
#define DATAFILE_SORTED_TABLE_H

#include <vector>

#include "table.h"

constexpr int kNotFound = -1;

// Puts all 16 slots in ascending order of last name, moving whole entries.
// A selection sort that takes the first smallest name of each pass, so it
// is not stable; empty slots (empty last name) end up in front.
void sortData(const DirectoryTable& table);

// The same sort, moving carried[i] along with slot i, so that a caller can
// follow entries through it. carried has 16 elements.
void sortData(const DirectoryTable& table, apvector<int>& carried);

// The first slot on the binary search's probe path (7, then 3 or 11, ...)
// whose last name equals target, or kNotFound.
int findLastName(const DirectoryTable& table, const apstring& target);

// An entry the last-name search never shows: the search for its last name
// meets another entry with that name first. Slots are places in the sorted
// table; places are the slots the two entries held before the sort (for a
// table just loaded, their order in the file).
struct UnreachableEntry {
    int slot;
    int place;
    int shownSlot;  // the entry the search shows instead
    int shownPlace;
};

// Sorts table as sortData does, setting place[slot] to the slot the entry
// held before the sort (place has 16 elements), and lists, in slot order,
// the entries the search never shows. Empty last names (empty slots) are
// not searched for.
std::vector<UnreachableEntry> unreachableEntries(const DirectoryTable& table, apvector<int>& place);

#endif  // DATAFILE_SORTED_TABLE_H
