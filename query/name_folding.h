// Names compared without letter case and accents, in any script, for
// telelist-query -i: "muller" finds "Müller", "SWIATEK" finds "Świątek".
//
// The folding is a table made from Unicode's own data by
// scripts/generate-name-folding.py (full case folding, decompositions, and
// combining marks dropped), not a library. A maintained library would
// serve (utf8proc builds everywhere the programs do, and folds so); the
// table is kept because the programs then build from a C++ compiler alone,
// with no dependency to find or ship, one small generated table does the
// one job asked of it, and the tests pin it to the Unicode version its
// header names, so which names match changes only when it is made again.
#ifndef QUERY_NAME_FOLDING_H
#define QUERY_NAME_FOLDING_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct FoldedName {
    std::string text;  // UTF-8; bytes that are not UTF-8 kept as they are
    // Where accents were dropped: the length of text after each character
    // that bore one. Two names that fold alike with the same accents here
    // differ in letter case only.
    std::vector<std::size_t> accents;
};

FoldedName foldName(std::string_view name);

// foldName(name).text == folded, found without folding more of name than
// it takes to tell: for a lookup through many words, most unlike.
bool foldsTo(std::string_view name, std::string_view folded);

#endif  // QUERY_NAME_FOLDING_H
