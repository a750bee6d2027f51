// Names compared without letter case and accents, in any script, for
// telelist-query -i: "muller" finds "Müller", "SWIATEK" finds "Świątek".
//
// The folding is a table made from Unicode's own data by
// scripts/generate-name-folding.py (decompositions, full case folding, and
// combining marks dropped), not a library: no maintained Unicode library
// builds for every platform we ship with the C++ runtime linked in, and ICU,
// which comes closest, would make each program tens of megabytes larger.
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
