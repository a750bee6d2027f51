#ifndef DIRECTORY_FILE_CHECK_H
#define DIRECTORY_FILE_CHECK_H

#include <iosfwd>
#include <string>

// Exit statuses of telelist-check.
constexpr int kCheckClean = 0;       // no error; warnings allowed
constexpr int kCheckErrors = 1;      // at least one error
constexpr int kCheckUnreadable = 2;  // the file cannot be read, or wrong arguments

// Loads the data file at path into the directory table as the directory
// does and writes each finding ("FILE:LINE:COLUMN: error: ...") and a
// summary line to out; a file that cannot be read gets one line on err
// instead. Returns the exit status. Expects the table as a fresh program
// finds it.
int checkDataFile(const std::string& path, std::ostream& out, std::ostream& err);

#endif  // DIRECTORY_FILE_CHECK_H
