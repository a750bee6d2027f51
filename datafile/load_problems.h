// The problems that end a load early, worded once for every program that
// reports them, so that the directory and telelist-check say the same.
#ifndef DATAFILE_LOAD_PROBLEMS_H
#define DATAFILE_LOAD_PROBLEMS_H

#include <optional>
#include <string>

#include "diagnostic.h"
#include "load.h"

// What ended the load.
enum class LoadStop {
    Utf16File,
    AddressBookFile,
    FieldTooLong,
    AreaCodeNotANumber,
    CutShort,
    SeventeenthEntry
};

struct LoadProblem {
    LoadStop stop;
    long long line;
    long long column;
    Severity severity;
    std::string message;  // no line end; the reporting program may add to it
};

// The one problem that ended the load before the end of the file, or that
// a 17th entry followed the 16th, when there is one: a UTF-16 file, a vCard
// or CSV file, a field too long, an area code that is not a number, an
// entry cut short by the end of the file, or a 17th entry. A failed read
// is not one of them.
std::optional<LoadProblem> loadProblem(const LoadResult& loaded);

#endif  // DATAFILE_LOAD_PROBLEMS_H
