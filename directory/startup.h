#ifndef DIRECTORY_STARTUP_H
#define DIRECTORY_STARTUP_H

// One whole run: loads and sorts "telelist.dat" from the current directory,
// serves the menus until Quit, and returns the exit status (0 after Quit,
// 1 when standard output could not be written).
int runDirectory();

#endif  // DIRECTORY_STARTUP_H
