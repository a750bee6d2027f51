// What telelist-query looks for, and which entries match it.
#ifndef QUERY_LOOKUP_H
#define QUERY_LOOKUP_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "directory_entries.h"
#include "name_folding.h"
#include "phone_number.h"

enum class Field {
    Name,    // NAME: the first or the last name
    First,   // --first
    Last,    // --last
    Number,  // --number
};

struct Criterion {
    Field field;
    std::string text;                   // as given
    std::optional<PhoneNumber> number;  // for Field::Number
};

struct Query {
    std::vector<Criterion> criteria;  // an entry must match each; none: every entry
    bool ignoreCase = false;          // -i: names compared as foldName folds them
};

// One criterion, ready to compare entries and words with.
class Matcher {
public:
    Matcher(const Criterion& criterion, bool ignoreCase);

    bool matches(const Entry& entry) const;
    // How the entry's number answers the one looked for (Field::Number).
    CallerIdMatch numberMatch(const Entry& entry) const;
    // A name of the file is the one looked for (not for Field::Number).
    bool sameName(std::string_view name) const;
    const Criterion& criterion() const { return criterion_; }
    bool ignoresCase() const { return ignoreCase_; }

private:
    Criterion criterion_;
    bool ignoreCase_;
    std::string folded_;  // the name folded, with -i
};

// The indexes of the entries that match every criterion, in table order.
std::vector<std::size_t> matchingEntries(const Query& query, const std::vector<Entry>& entries);

#endif  // QUERY_LOOKUP_H
