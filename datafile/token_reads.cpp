#include "token_reads.h"

#include <istream>

#include "apstring.h"

bool readNumber(std::istream& in, int& value) {
    int typed = 0;
    if (!(in >> typed)) return false;
    value = typed;
    return true;
}

bool readWord(std::istream& in, apstring& word) {
    in >> word;
    // A read that finds no word leaves the text empty; a word is never empty.
    return word.length() > 0;
}
