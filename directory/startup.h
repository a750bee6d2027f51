// One whole run of the directory, from the start-up text to the end.
#ifndef DIRECTORY_STARTUP_H
#define DIRECTORY_STARTUP_H

#include <string_view>

#include "console.h"
#include "table.h"

// Loads "telelist.dat" from the current directory into table (16 empty
// slots), sorts it, serves the menus until Quit with console carrying out
// the console commands, and returns the exit status: 0 after Quit or the
// end of input, 1 after a 17th entry, when standard output could not be
// written or standard input could not be read, and when the run failed
// (exhausted memory, a text too long for a string). What ends the run
// early is told on standard error as "PROGRAM: ...".
int runDirectory(std::string_view program, const DirectoryTable& table, Console& console);

#endif  // DIRECTORY_STARTUP_H
