// Prints the entries the data file FILE loads, in file order, one a line:
// first name, last name, area code, number and line, separated by tabs, each
// name and the number in hex (so that any byte survives).
#include <iostream>

#include "data_file.h"
#include "loaded_entries.h"

namespace {

void printHex(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        std::cout << kHex[byte >> 4] << kHex[byte & 0xF];
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    OpenedFile file = openDataFile(argv[1]);
    EntryReader reader(file.stream);
    for (const LoadedEntry& entry : loadEntries(reader).entries) {
        printHex(entry.first);
        std::cout << '\t';
        printHex(entry.last);
        std::cout << '\t' << entry.areaCode << '\t';
        printHex(entry.number);
        std::cout << '\t' << entry.line << '\n';
    }
    return 0;
}
