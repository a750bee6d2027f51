#include "lookup.h"

Matcher::Matcher(const Criterion& criterion, bool ignoreCase)
    : criterion_(criterion),
      ignoreCase_(ignoreCase),
      folded_(ignoreCase ? foldName(criterion.text).text : "") {}

bool Matcher::sameName(std::string_view name) const {
    return ignoreCase_ ? foldsTo(name, folded_) : name == criterion_.text;
}

bool Matcher::matches(const Entry& entry) const {
    switch (criterion_.field) {
        case Field::Name: return sameName(entry.first) || sameName(entry.last);
        case Field::First: return sameName(entry.first);
        case Field::Last: return sameName(entry.last);
        case Field::Number: break;
    }
    return numberMatch(entry).strength != MatchStrength::None;
}

CallerIdMatch Matcher::numberMatch(const Entry& entry) const {
    return compareForCallerId(*criterion_.number, readEntryNumber(entry.areaCode, entry.number));
}

std::vector<std::size_t> matchingEntries(const Query& query, const std::vector<Entry>& entries) {
    std::vector<Matcher> matchers;
    for (const Criterion& criterion : query.criteria) matchers.emplace_back(criterion, query.ignoreCase);
    std::vector<std::size_t> found;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        bool all = true;
        for (const Matcher& matcher : matchers) all = all && matcher.matches(entries[k]);
        if (all) found.push_back(k);
    }
    return found;
}
