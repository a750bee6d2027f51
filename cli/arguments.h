// A tool's command-line arguments in UTF-8, the encoding of the data file
// and of the names a user types, on every system.
#ifndef CLI_ARGUMENTS_H
#define CLI_ARGUMENTS_H

#include <string>
#include <vector>

class Utf8Arguments {
public:
    // POSIX systems hand a program its arguments as typed: argv as it is.
    // Windows hands main() its arguments in the ANSI code page, which holds
    // few of the world's letters: they are taken again from the wide
    // command line, and made UTF-8.
    Utf8Arguments(int argc, char** argv);

    int count() const { return static_cast<int>(pointers_.size()) - 1; }
    char** values() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;  // into texts_, or argv; a null pointer last, as in argv
};

#endif  // CLI_ARGUMENTS_H
