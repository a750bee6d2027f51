#include "startup.h"

#include <iostream>
#include <string>
#include <utility>

#include "console.h"
#include "data_file.h"
#include "data_file_reader.h"
#include "loader.h"
#include "screens.h"
#include "sort.h"
#include "startup_messages.h"
#include "table.h"

int runDirectory() {
    std::cout << "Alphabetically sorting data file by last name...\n\nOne moment please...";
    DataFile file = readDataFile(kDataFileName);
    // A file that cannot be read gives no entries.
    DataFileReader reader(std::move(file.content));
    LoadResult loaded = loadDirectory(reader);
    std::string message = startupMessage(file, loaded, reader.content());
    if (loaded.tooMany) {
        // The index message the directory has always ended with comes last.
        std::cerr << message << tooManyEntriesMessage(loaded);
        apvector_detail::writeIllegalIndex(std::cerr, kSlotCount, kSlotCount);
        return 1;
    }
    sortData();
    runConsoleCommand(ConsoleCommand::ClearScreen);
    std::cout << "File Sorting Complete.\n\n";
    // After the clear and just before the pause, so they stay on the
    // screen while it waits.
    std::cerr << message;
    runConsoleCommand(ConsoleCommand::Pause);

    if (!runScreens()) {
        std::cerr << "telephone directory: cannot write to standard output" << std::endl;
        return 1;
    }
    runConsoleCommand(ConsoleCommand::FinalPause);
    return 0;
}
