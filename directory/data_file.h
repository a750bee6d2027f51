// Reading the data file into memory, for the directory and telelist-check.
#ifndef DIRECTORY_DATA_FILE_H
#define DIRECTORY_DATA_FILE_H

#include <string>

// Name of the data file, looked up in the current working directory.
constexpr const char kDataFileName[] = "telelist.dat";

struct DataFile {
    bool readable = false;
    std::string content;  // the bytes as a text stream delivers them
    std::string failure;  // why it could not be read: "cannot open: No such file or directory"
};

// Reads the whole file at path as text; readable is false when it cannot be
// opened or read (missing, no permission, a directory).
DataFile readDataFile(const std::string& path);

#endif  // DIRECTORY_DATA_FILE_H
