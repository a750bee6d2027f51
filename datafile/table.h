// The directory table: four parallel columns of 16 slots each. Slot i of
// the four columns together is one entry; a slot no entry filled holds
// empty texts and area code 0. The table keeps no count of entries, so
// every pass over it covers all 16 slots.
#ifndef DATAFILE_TABLE_H
#define DATAFILE_TABLE_H

#include <string_view>

#include "apstring.h"
#include "apvector.h"

constexpr int kSlotCount = 16;

// A field of the table as text, NUL bytes and all.
inline std::string_view textOf(const apstring& field) {
    return {field.c_str(), static_cast<std::size_t>(field.length())};
}

// The four columns a load, the sort and the searches work on, wherever
// they live: the directory's globals, or a table of the caller's own.
struct DirectoryTable {
    apvector<apstring>& firstName;
    apvector<apstring>& lastName;
    apvector<int>& areaCode;
    apvector<apstring>& number;
};

// A table that owns its columns: 16 empty slots.
struct OwnedTable {
    apvector<apstring> firstName{kSlotCount};
    apvector<apstring> lastName{kSlotCount};
    apvector<int> areaCode{kSlotCount};
    apvector<apstring> number{kSlotCount};

    DirectoryTable columns() { return {firstName, lastName, areaCode, number}; }
};

#endif  // DATAFILE_TABLE_H
