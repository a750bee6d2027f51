#include "startup.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "data_file.h"
#include "diagnostic.h"
#include "entry_reader.h"
#include "load.h"
#include "load_problems.h"
#include "screens.h"
#include "sorted_table.h"

// ======================================================================
//  Start-up messages: what the directory tells its user about the data
//  file, on standard error, one line each in the form editors understand:
//  "telelist.dat:4: warning: ...".
// ======================================================================

namespace {

std::string cannotRead(const std::string& failure) {
    return diagnosticLine(kDataFileName, {0, 0, Severity::Warning, failure + "; the directory is empty"}) +
           '\n';
}

// The line about a file that could not be read, or about a load that did
// not take the whole file, ending in a line end; empty when there is none.
// A problem with the file is worded as telelist-check words it, which
// tells more.
std::string startupMessage(const OpenedFile& file, const LoadResult& loaded) {
    if (!file.isOpen()) return cannotRead(file.failure);
    if (!loaded.readFailure.empty()) return cannotRead(loaded.readFailure);
    std::optional<LoadProblem> problem = loadProblem(loaded);
    if (!problem) return "";
    // The line alone: the directory's messages have always left out the column.
    return diagnosticLine(kDataFileName,
                          {problem->line, 0, problem->severity, problem->message + " (run telelist-check)"}) +
           '\n';
}

// ======================================================================
//  The run
// ======================================================================

int runSession(std::string_view program, const DirectoryTable& table, Console& console) {
    // On the screen before the file is opened, which may take a while (a
    // named pipe waits for its writer).
    std::cout << "Alphabetically sorting data file by last name...\n\nOne moment please..." << std::flush;
    // A file that cannot be opened gives no entries.
    OpenedFile file = openDataFile(kDataFileName);
    EntryReader reader(file.stream);
    LoadResult loaded = loadDirectory(reader, table);
    std::string message = startupMessage(file, loaded);
    if (loaded.tooMany) {
        // The index message the directory has always ended with comes last.
        std::cerr << message;
        writeIllegalIndex(std::cerr, kSlotCount, kSlotCount);
        return 1;
    }
    sortData(table);
    console.run(ConsoleCommand::ClearScreen);
    std::cout << "File Sorting Complete.\n\n";
    // After the clear and just before the pause, so they stay on the
    // screen while it waits.
    std::cerr << message;
    console.run(ConsoleCommand::Pause);

    Session session{table, console};
    if (!runScreens(session)) {
        std::cerr << program << ": cannot write to standard output" << std::endl;
        return 1;
    }
    console.run(ConsoleCommand::FinalPause);
    // The input stream takes a read error (standard input a directory, or
    // not open for reading) for its end, and the session has ended as at
    // the end; only the C stream underneath still knows it was no end.
    if (std::ferror(stdin) != 0) {
        std::cerr << program << ": cannot read standard input" << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace

int runDirectory(std::string_view program, const DirectoryTable& table, Console& console) {
    try {
        return runSession(program, table, console);
    } catch (const std::exception& error) {  // GCOVR_EXCL_START: needs gigabytes of input
        // Only a failure no screen handles gets here: exhausted memory, a
        // text too long for a string.
        std::cerr << program << ": " << error.what() << std::endl;
        return 1;
    }  // GCOVR_EXCL_STOP
}
