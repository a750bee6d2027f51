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

void appendFolded(FoldedName& folded, const FoldRange& range, char32_t c) {
    switch (range.fold) {
        case Fold::Dropped: break;
        case Fold::Same: appendUtf8(folded.text, range.to); break;
        case Fold::Shifted: appendUtf8(folded.text, range.to + (c - range.first)); break;
        case Fold::Alternate:
            // The characters between the range's pairs fold to themselves.
            if ((c - range.first) % 2 != 0) {
                appendUtf8(folded.text, c);
                return;
            }
            appendUtf8(folded.text, range.to + (c - range.first));
            break;
        case Fold::Expanded:
            for (unsigned k = 0; k < range.length; ++k)
                appendUtf8(folded.text, kFoldExpansions[range.to + k]);
            break;
    }
    if (range.dropsMark) folded.accents.push_back(folded.text.size());
}

}  // namespace

FoldedName foldName(std::string_view name) {
    FoldedName folded;
    folded.text.reserve(name.size());
    while (!name.empty()) {
        Utf8Char character = decodeUtf8(name);
        std::size_t taken = character.length > 0 ? character.length : name.size();
        const FoldRange* range = character.valid ? rangeOf(character.code) : nullptr;
        if (range != nullptr) {
            appendFolded(folded, *range, character.code);
        } else {
            folded.text.append(name.substr(0, taken));
        }
        name.remove_prefix(taken);
    }
    return folded;
}
