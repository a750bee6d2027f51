// telelist-check's work on one data file: its findings and their report.
#ifndef CHECK_CHECK_FILE_H
#define CHECK_CHECK_FILE_H

#include <iosfwd>
#include <string>
#include <string_view>

// Exit statuses of telelist-check.
constexpr int kCheckClean = 0;   // no error; warnings allowed
constexpr int kCheckErrors = 1;  // at least one error
constexpr int kCheckFailed = 2;  // the file cannot be read, the report not written, or wrong arguments

// Loads the data file at path into a table of its own as the directory
// does and writes each finding ("FILE:LINE:COLUMN: error: ...") and a
// summary line to out; a file that cannot be read gets one line on err
// instead, "PROGRAM: FILE: reason". Returns the exit status.
int checkDataFile(std::string_view program, const std::string& path, std::ostream& out, std::ostream& err);

#endif  // CHECK_CHECK_FILE_H
