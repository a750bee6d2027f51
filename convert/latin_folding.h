// Names from address books compared as a reader would: without letter case,
// and for column names without accents, blanks and punctuation. Only the
// Latin letters of Latin-1 and Windows-1252 are folded, the letters of the
// languages whose exports this program reads; others are compared as they
// are.
#ifndef CONVERT_LATIN_FOLDING_H
#define CONVERT_LATIN_FOLDING_H

#include <cstddef>
#include <string>
#include <string_view>

// text with its letters in lower case, as UTF-8: "Télé" and "TÉLÉ" alike.
// Bytes that are not UTF-8 are read as Windows-1252, as the import reads
// them. Characters are added while the result is shorter than limit.
std::string caseFolded(std::string_view text, std::size_t limit);

// text as a key to look a column name up by: in lower case, accents
// dropped, and only letters and digits kept, "Téléphone (bureau)" and
// "telephone_bureau" alike. Characters are added while the result is
// shorter than limit.
std::string nameKey(std::string_view text, std::size_t limit);

#endif  // CONVERT_LATIN_FOLDING_H
