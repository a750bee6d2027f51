// telelist-check: tells what is wrong in a telephone directory data file,
// where, and what the directory will do with it.
#include <iostream>
#include <optional>
#include <string>

#include "check_file.h"
#include "data_file.h"
#include "message_text.h"
#include "tool_run.h"

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

void printVersion() { std::cout << kProgram << " (telephone directory) " << TELEDIR_VERSION << '\n'; }

int usageError(const std::string& problem) {
    std::cerr << kProgram << ": " << problem << "\nTry '" << kProgram << " --help' for more information.\n";
    return kCheckFailed;
}

int run(int argc, char** argv) {
    std::optional<std::string> file;
    bool optionsEnded = false;
    for (int k = 1; k < argc; ++k) {
        std::string arg = argv[k];
        if (!optionsEnded && arg == "--help") {
            printHelp();
            return kCheckClean;
        }
        if (!optionsEnded && arg == "--version") {
            printVersion();
            return kCheckClean;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return usageError(
                (arg[1] == '-' ? "unrecognized option '" : "invalid option -- '") +
                escapedShort(arg.substr(arg[1] == '-' ? 0 : 1, arg[1] == '-' ? std::string::npos : 1)) + "'");
        } else if (file) {
            return usageError("extra operand '" + escapedShort(arg) + "'");
        } else {
            file = arg;
        }
    }
    // An empty name is a file that cannot be opened, not the default.
    return checkDataFile(file.value_or(kDataFileName), std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kProgram, kCheckFailed, run, argc, argv); }
