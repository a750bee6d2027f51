// The entries of a data file as teledir loads them, one record each, made
// once from the load for every program: the fields, where the file holds
// them, their places in file order and in the sorted table, and what the
// last-name search shows of them.
#ifndef DATAFILE_LOADED_ENTRIES_H
#define DATAFILE_LOADED_ENTRIES_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostic.h"
#include "entry_reader.h"
#include "load.h"

struct LoadedEntry {
    std::string first, last;
    int areaCode = 0;
    std::string number;
    long long line = 0;    // of its first name in the file (of the contact, for one made from a contact)
    std::size_t file = 0;  // of several files read as one (a folder of cards), which
    // Where its last name starts; column 0 for one made from a contact.
    long long lastLine = 0, lastColumn = 0;
    std::size_t filePlace = 0;    // among the entries, in file order
    std::size_t sortedPlace = 0;  // among the entries, in the order of teledir's sorted table
    // The entry (by its file place) that teledir's last-name search shows
    // for this one's last name, when it is another.
    std::optional<std::size_t> shownInstead;
};

struct LoadedDirectory {
    std::vector<LoadedEntry> entries;  // in file order
    LoadResult loaded;

    // The entries in the order of teledir's sorted table.
    std::vector<LoadedEntry> inTableOrder() const;
};

// Loads the data file from reader as teledir does, sorting the table once.
LoadedDirectory loadEntries(EntryReader& reader);

// Sets each entry's sortedPlace and shownInstead from its last name, as the
// table teledir would load from entries, in file order, would have them: for
// entries about to be written. At most the table's 16.
void placeEntries(std::vector<LoadedEntry>& entries);

// "Ann Smith", quoted and cut as a message quotes a name.
std::string quotedName(const LoadedEntry& entry);

// "Smith, Ann (line 4)", escaped and cut for a message.
std::string entryName(const LoadedEntry& entry);

// The warning that the last-name search never shows hidden, since for its
// last name it shows shown: at hidden's last name, which is what the search
// compares and where a change would make it found. shown is told by its
// line, or by shownFile and line when it came from another file.
Diagnostic sameLastNameWarning(const LoadedEntry& hidden, const LoadedEntry& shown,
                               std::string_view shownFile = {});

#endif  // DATAFILE_LOADED_ENTRIES_H
