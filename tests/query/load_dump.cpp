// Prints the entries the data file FILE loads, in file order, one a line:
// first name, last name, area code, number and line, separated by tabs, each
// name and the number in hex (so that any byte survives).
#include <iostream>

#include "data_file.h"
#include "load.h"

namespace {

void printHex(const apstring& text) {
    static const char kHex[] = "0123456789abcdef";
    for (int k = 0; k < text.length(); ++k) {
        auto byte = static_cast<unsigned char>(text[k]);
        std::cout << kHex[byte >> 4] << kHex[byte & 0xF];
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    OpenedFile file = openDataFile(argv[1]);
    EntryReader reader(file.stream);
    OwnedTable table;
    LoadResult loaded = loadDirectory(reader, table.columns());
    for (std::size_t k = 0; k < loaded.entries.size(); ++k) {
        int slot = static_cast<int>(k);
        printHex(table.firstName[slot]);
        std::cout << '\t';
        printHex(table.lastName[slot]);
        std::cout << '\t' << table.areaCode[slot] << '\t';
        printHex(table.number[slot]);
        std::cout << '\t' << loaded.entries[k].first.line << '\n';
    }
    return 0;
}
