// telelist-check: tells what is wrong in a telephone directory data file,
// where, and what the directory will do with it.
#include <iostream>
#include <optional>
#include <string>

#include "check_file.h"
#include "data_file.h"
#include "tool.h"

namespace {

constexpr char kProgram[] = "telelist-check";

void printHelp() {
    std::cout << "Usage: " << kProgram << " [FILE]\n"
              << "Check a telephone directory data file the way teledir loads it.\n"
              << "FILE defaults to " << kDataFileName << " in the current directory.\n\n"
              << "Each finding is one line, FILE:LINE:COLUMN: error: ... or ... warning: ...,\n"
              << "followed by how many entries teledir loads and how many errors and warnings.\n\n"
              << "      --help     display this help and exit\n"
              << "      --version  output version information and exit\n\n"
              << "Exit status:\n"
              << " 0  no errors (warnings allowed)\n"
              << " 1  at least one error: teledir will not load the file as written\n"
              << " 2  the file cannot be read, the report cannot be written, or the arguments are wrong\n";
}

constexpr Tool kTool{kProgram, kCheckFailed, printHelp};

int run(int argc, char** argv) {
    std::optional<std::string> file;
    std::optional<int> ended = readArguments(kTool, argc, argv, {}, 1, [&](const Argument& operand) {
        file = operand.value;
        return std::string();
    });
    if (ended) return *ended;
    // An empty name is a file that cannot be opened, not the default.
    return checkDataFile(kProgram, file.value_or(kDataFileName), std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, run, argc, argv); }
