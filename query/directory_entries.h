// The entries of a data file as teledir loads them, in the order of its
// table, with what its last-name search shows of them.
#ifndef QUERY_DIRECTORY_ENTRIES_H
#define QUERY_DIRECTORY_ENTRIES_H

#include <string>
#include <vector>

#include "entry_reader.h"
#include "load.h"

struct Entry {
    std::string first, last;
    int areaCode = 0;
    std::string number;
    long long line = 0;  // of its first name in the file
    // The entry teledir's last-name search shows for this one's last name
    // when it is another (an index into the entries), or -1.
    int shownInstead = -1;
};

struct DirectoryEntries {
    std::vector<Entry> entries;  // sorted as teledir sorts its table
    LoadResult loaded;
};

// Loads the data file's entries from reader as teledir does and sorts them.
DirectoryEntries loadEntries(EntryReader& reader);

// "Smith, Ann (line 4)", escaped for a message.
std::string entryName(const Entry& entry);

#endif  // QUERY_DIRECTORY_ENTRIES_H
