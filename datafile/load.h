// Loading the data file's entries into a table.
#ifndef DATAFILE_LOAD_H
#define DATAFILE_LOAD_H

#include <optional>
#include <string>
#include <vector>

#include "entry_reader.h"
#include "table.h"

// What loading the data file found.
struct LoadResult {
    std::vector<EntryRead> entries;          // one per filled slot, in file order
    bool tooMany = false;                    // a 17th entry follows the 16th
    TokenRead extraEntry;                    // the 17th entry's first token
    std::optional<ByteOrder> utf16;          // the file is UTF-16: nothing is loaded
    std::optional<AddressBook> addressBook;  // the file is a vCard or CSV (in UTF-16 too): nothing is loaded
    std::string readFailure;                 // a read of the file failed: "cannot read: ..."

    // The file is no data file that can be read (UTF-16, a vCard or CSV).
    bool notADataFile() const { return utf16 || addressBook; }
};

// Fills slots 0, 1, ... of table with the file's entries in file order.
// Stops at an area code that is not a number (that entry keeps its names
// and gets no number), at a field longer than kFieldLimit (the entry keeps
// the fields before it), at the end of the file, or before a 17th entry,
// which it reports without reading further than its first token. A file
// that cannot be read to the point where the load stops leaves the table
// empty, as one that cannot be opened does, and so does a UTF-16 file,
// whose tokens would be its bytes paired with NUL bytes, and an address
// book, whose tokens would be its lines.
LoadResult loadDirectory(EntryReader& reader, const DirectoryTable& table);

#endif  // DATAFILE_LOAD_H
