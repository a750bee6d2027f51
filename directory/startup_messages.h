// What the directory tells its user about the data file at start-up, on
// standard error, one line each in the form editors understand:
// "telelist.dat:4: warning: ...".
#ifndef DIRECTORY_STARTUP_MESSAGES_H
#define DIRECTORY_STARTUP_MESSAGES_H

#include <string>

#include "data_file.h"
#include "loader.h"

// The line about a file that could not be read, or about a load that did
// not take the whole file, ending in a line end; empty when there is none.
std::string startupMessage(const DataFile& file, const LoadResult& loaded, const std::string& content);

// The line about a 17th entry, ending in a line end.
std::string tooManyEntriesMessage(const LoadResult& loaded);

#endif  // DIRECTORY_STARTUP_MESSAGES_H
