// Opening the data file, for the directory and telelist-check.
#ifndef DATAFILE_DATA_FILE_H
#define DATAFILE_DATA_FILE_H

#include <fstream>
#include <string>

// Name of the data file, looked up in the current working directory.
constexpr const char kDataFileName[] = "telelist.dat";

struct OpenedFile {
    std::ifstream stream;  // binary: Windows text mode would end the file at a Ctrl-Z byte
    std::string failure;   // why it is not open: "cannot open: No such file or directory"
    bool isOpen() const { return failure.empty(); }
};

// Opens the file at path (a name as systemPath takes it) for reading.
// Opening one that turns out to be a directory fails too ("cannot read: Is
// a directory"); a read error later is the reader's to tell.
OpenedFile openDataFile(const std::string& path);

#endif  // DATAFILE_DATA_FILE_H
