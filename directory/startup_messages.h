// What the directory tells its user about the data file at start-up, on
// standard error, one line each in the form editors understand:
// "telelist.dat:4: warning: ...".
#ifndef DIRECTORY_STARTUP_MESSAGES_H
#define DIRECTORY_STARTUP_MESSAGES_H

#include <string>
#include <vector>

#include "data_file.h"
#include "loader.h"

// The lines about a file that could not be read, or about a load that did
// not take the whole file, each ending in a line end.
std::vector<std::string> startupMessages(const DataFile& file, const LoadResult& loaded,
                                         const std::string& content);

// The line about a 17th entry, then the index message the directory has
// always ended with when a file has too many entries.
std::string tooManyEntriesMessage(const LoadResult& loaded);

#endif  // DIRECTORY_STARTUP_MESSAGES_H
