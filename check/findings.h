// What telelist-check finds in a data file, kind by kind.
#ifndef CHECK_FINDINGS_H
#define CHECK_FINDINGS_H

#include <string>
#include <vector>

#include "file_layout.h"
#include "load.h"

enum class Severity {
    Error,    // the directory will not load the file as written
    Warning,  // it loads, but probably not as meant
};

struct Finding {
    int line;
    int column;
    Severity severity;
    std::string message;
};

using Findings = std::vector<Finding>;

// The fields of each loaded entry: control bytes, the area code's form and
// the number's, an area code that is not a number, a field too long, an
// entry cut short, and a 17th entry.
void checkEntries(const LoadResult& loaded, const FileLayout& layout, Findings& findings);

// The lines the load reached that do not hold one entry of four fields,
// and a byte-order mark.
void checkLayout(const FileLayout& layout, Findings& findings);

// Entries the last-name search can never show because another entry has
// the same last name. Sorts table, into which the file was loaded.
void checkSameLastNames(const LoadResult& loaded, const DirectoryTable& table, Findings& findings);

#endif  // CHECK_FINDINGS_H
