#include "startup.h"

#include <fstream>
#include <iostream>

#include "console.h"
#include "loader.h"
#include "screens.h"
#include "sort.h"

int runDirectory() {
    std::cout << "Alphabetically sorting data file by last name...\n\nOne moment please...";
    {
        // A missing or unreadable file reads as an empty one: no entries.
        // Binary, as Windows text mode would end the file at a Ctrl-Z byte;
        // CR LF line ends are whitespace all the same.
        std::ifstream infile(kDataFileName, std::ios::in | std::ios::binary);
        loadDirectory(infile);
    }
    sortData();
    runConsoleCommand(ConsoleCommand::ClearScreen);
    std::cout << "File Sorting Complete.\n\n";
    runConsoleCommand(ConsoleCommand::Pause);

    if (!runScreens()) {
        std::cerr << "telephone directory: cannot write to standard output" << std::endl;
        return 1;
    }
    runConsoleCommand(ConsoleCommand::FinalPause);
    return 0;
}
