// What telelist-check finds in a data file, kind by kind.
#ifndef CHECK_FINDINGS_H
#define CHECK_FINDINGS_H

#include <string>
#include <vector>

#include "diagnostic.h"
#include "file_layout.h"
#include "loaded_entries.h"

using Finding = Diagnostic;
using Findings = std::vector<Finding>;

// The fields of each entry loaded (control bytes, the area code's form and
// the number's), and what ended the load early: a field too long, an area code that is not a
// number, an entry cut short, or a 17th entry. A UTF-16 file is the one
// finding it has.
void checkEntries(const LoadedDirectory& directory, const FileLayout& layout, Findings& findings);

// The lines the load reached that do not hold one entry of four fields,
// or hold bytes that are not UTF-8, and a byte-order mark.
void checkLayout(const FileLayout& layout, Findings& findings);

// Entries the last-name search can never show because another entry has
// the same last name.
void checkSameLastNames(const LoadedDirectory& directory, Findings& findings);

#endif  // CHECK_FINDINGS_H
