#include "name_folding.h"

#include <algorithm>
#include <iterator>

#include "name_folding_table.h"
#include "text_encoding.h"

namespace {

const FoldRange* rangeOf(char32_t c) {
    const FoldRange* end = std::end(kFoldRanges);
    const FoldRange* range =
        std::lower_bound(std::begin(kFoldRanges), end, c,
                         [](const FoldRange& candidate, char32_t code) { return candidate.last < code; });
    return range != end && range->first <= c ? range : nullptr;
}

// Appends what c, of range, folds to; true when that drops a combining
// mark (c bears an accent).
bool appendFolded(std::string& text, const FoldRange& range, char32_t c) {
    switch (range.fold) {
        case Fold::Dropped: break;
        case Fold::Same: appendUtf8(text, range.to); break;
        case Fold::Shifted: appendUtf8(text, range.to + (c - range.first)); break;
        case Fold::Alternate:
            // The characters between the range's pairs fold to themselves.
            if ((c - range.first) % 2 != 0) {
                appendUtf8(text, c);
                return false;
            }
            appendUtf8(text, range.to + (c - range.first));
            break;
        case Fold::Expanded:
            for (unsigned k = 0; k < range.length; ++k) appendUtf8(text, kFoldExpansions[range.to + k]);
            break;
    }
    return range.dropsMark;
}

// Folds name a character at a time: take(folded, accent) is handed what
// each folds to, and whether it bore an accent, and returns false to stop.
template <typename Take>
void foldEach(std::string_view name, Take take) {
    std::string folded;
    while (!name.empty()) {
        Utf8Char character = decodeUtf8(name);
        std::size_t taken = character.length > 0 ? character.length : name.size();
        const FoldRange* range = character.valid ? rangeOf(character.code) : nullptr;
        folded.clear();
        bool accent = false;
        if (range != nullptr) {
            accent = appendFolded(folded, *range, character.code);
        } else {
            folded.append(name.substr(0, taken));
        }
        if (!take(std::string_view(folded), accent)) return;
        name.remove_prefix(taken);
    }
}

}  // namespace

FoldedName foldName(std::string_view name) {
    FoldedName folded;
    folded.text.reserve(name.size());
    foldEach(name, [&](std::string_view piece, bool accent) {
        folded.text += piece;
        if (accent) folded.accents.push_back(folded.text.size());
        return true;
    });
    return folded;
}

bool foldsTo(std::string_view name, std::string_view folded) {
    bool same = true;
    foldEach(name, [&](std::string_view piece, bool) {
        same = folded.substr(0, piece.size()) == piece;
        folded.remove_prefix(same ? piece.size() : 0);
        return same;
    });
    return same && folded.empty();
}
