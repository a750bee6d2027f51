#ifndef DIRECTORY_LOADER_H
#define DIRECTORY_LOADER_H

#include <iosfwd>

// Name of the data file, looked up in the current working directory.
constexpr const char kDataFileName[] = "telelist.dat";

// Fills slots 0, 1, ... with the file's entries in file order. A 17th entry
// stops the program with the vector's index message and status 1; an area
// code that is not a number ends the load at its entry, with a warning.
void loadDirectory(std::istream& infile);

#endif  // DIRECTORY_LOADER_H
