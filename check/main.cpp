// telelist-check: tells what is wrong in a telephone directory data file,
// where, and what the directory will do with it.
#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "check_file.h"
#include "data_file.h"

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
            return usageError((arg[1] == '-' ? "unrecognized option '" : "invalid option -- '") +
                              arg.substr(arg[1] == '-' ? 0 : 1) + "'");
        } else if (file) {
            return usageError("extra operand '" + arg + "'");
        } else {
            file = arg;
        }
    }
    // An empty name is a file that cannot be opened, not the default.
    return checkDataFile(file.value_or(kDataFileName), std::cout, std::cerr);
}

// A report that did not reach standard output (a full disk, a closed
// stream) is a failure, whatever the file held.
int withOutputWritten(int status) {
    errno = 0;
    if (std::cout.flush()) return status;
    int error = errno;
    std::cerr << kProgram << ": write error" << (error != 0 ? std::string(": ") + std::strerror(error) : "")
              << std::endl;
    return kCheckFailed;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return withOutputWritten(run(argc, argv));
    } catch (const std::exception& error) {  // GCOVR_EXCL_START: only exhausted memory gets here
        std::cerr << kProgram << ": " << error.what() << std::endl;
        return kCheckFailed;
    }  // GCOVR_EXCL_STOP
}
