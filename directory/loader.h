#ifndef DIRECTORY_LOADER_H
#define DIRECTORY_LOADER_H

#include <vector>

#include "data_file_reader.h"

// What loading the data file found.
struct LoadResult {
    std::vector<EntryRead> entries;  // one per filled slot, in file order
    bool tooMany = false;            // a 17th entry follows the 16th
    TokenRead extraEntry;            // where the 17th entry starts
};

// Fills slots 0, 1, ... with the file's entries in file order. Stops at an
// area code that is not a number (that entry keeps its names and gets no
// number), at the end of the file, or before a 17th entry, which it reports
// without reading it.
LoadResult loadDirectory(DataFileReader& reader);

#endif  // DIRECTORY_LOADER_H
