// Reading the data file into memory, for the directory and telelist-check.
#ifndef DATAFILE_FILE_CONTENTS_H
#define DATAFILE_FILE_CONTENTS_H

#include <string>

// Name of the data file, looked up in the current working directory.
constexpr const char kDataFileName[] = "telelist.dat";

struct FileContents {
    bool readable = false;
    std::string bytes;    // as they are in the file, line ends included
    std::string failure;  // why it could not be read: "cannot open: No such file or directory"
};

// Reads the whole file at path; readable is false when it cannot be opened
// or read (missing, no permission, a directory).
FileContents readFileContents(const std::string& path);

#endif  // DATAFILE_FILE_CONTENTS_H
