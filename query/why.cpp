#include "why.h"

#include <algorithm>

#include "load_problems.h"
#include "message_text.h"

namespace {

// ======================================================================
//  What was looked for, as the first line names it
// ======================================================================

std::string shownNumberOf(const Criterion& criterion) {
    return criterion.number->kind == NumberKind::Digits ? quoted(criterion.text)
                                                        : escapedShort(displayNumber(*criterion.number));
}

std::string described(const Criterion& criterion) {
    switch (criterion.field) {
        case Field::Name: return "the name " + quoted(criterion.text);
        case Field::First: return "first name " + quoted(criterion.text);
        case Field::Last: return "last name " + quoted(criterion.text);
        case Field::Number: break;
    }
    return "number " + shownNumberOf(criterion);
}

std::string notFound(const Query& query) {
    if (query.criteria.size() == 1 && query.criteria[0].field == Field::Name)
        return "no entry " + quoted(query.criteria[0].text);
    std::string line = "no entry with ";
    for (std::size_t k = 0; k < query.criteria.size(); ++k)
        line += (k == 0 ? "" : " and ") + described(query.criteria[k]);
    return line;
}

// ======================================================================
//  Names: letter case and accents, blanks and hyphens, the other field
// ======================================================================

constexpr char kBlankInName[] = "a name in the data file cannot hold a blank";

bool hasBlank(const std::string& name) { return name.find(' ') != std::string::npos; }

std::string withoutBlanksOrHyphens(std::string_view name) {
    std::string kept;
    for (char c : name)
        if (c != ' ' && c != '-') kept += c;
    return kept;
}

// The names of entry that a search of field looks at.
std::vector<const std::string*> searchedNames(const Entry& entry, Field field) {
    if (field == Field::First) return {&entry.first};
    if (field == Field::Last) return {&entry.last};
    return {&entry.first, &entry.last};
}

// The first name among the entries, of those field searches, for which
// alike(name) holds, with its entry.
template <typename Alike>
std::pair<const Entry*, const std::string*> firstAlike(const std::vector<Entry>& entries, Field field,
                                                       Alike alike) {
    for (const Entry& entry : entries) {
        for (const std::string* name : searchedNames(entry, field))
            if (alike(*name)) return {&entry, name};
    }
    return {nullptr, nullptr};
}

std::string at(const Entry& entry, const std::string& name) {
    return quoted(name) + " (line " + std::to_string(entry.line) + ")";
}

void caseAndAccents(const Matcher& matcher, const std::vector<Entry>& entries,
                    std::vector<std::string>& reasons) {
    if (matcher.ignoresCase()) return;
    const FoldedName typed = foldName(matcher.criterion().text);
    if (typed.text.empty()) return;  // accents alone, which -i refuses
    FoldedName other;
    auto [entry, name] = firstAlike(entries, matcher.criterion().field, [&](const std::string& candidate) {
        other = foldName(candidate);
        return other.text == typed.text;
    });
    if (entry == nullptr) return;
    reasons.push_back(at(*entry, *name) + " differs in " +
                      (other.accents == typed.accents ? "letter case" : "accents") + ": try -i");
}

void blanksAndHyphens(const Matcher& matcher, const std::vector<Entry>& entries,
                      std::vector<std::string>& reasons) {
    const std::string& typed = matcher.criterion().text;
    const std::string squeezed = withoutBlanksOrHyphens(typed);
    const std::string folded = foldName(squeezed).text;
    bool caseToo = false;
    auto [entry, name] = firstAlike(entries, matcher.criterion().field, [&](const std::string& candidate) {
        std::string other = withoutBlanksOrHyphens(candidate);
        if (other.size() == candidate.size() && squeezed.size() == typed.size()) return false;
        if (other == squeezed) return true;
        caseToo = !folded.empty() && foldName(other).text == folded;
        return caseToo;
    });
    std::string blank = hasBlank(typed) ? std::string(kBlankInName) + "; " : "";
    if (entry != nullptr) {
        reasons.push_back(blank + at(*entry, *name) + " differs in blanks or hyphens: search for " +
                          quoted(*name) + (caseToo && !matcher.ignoresCase() ? " with -i" : ""));
        return;
    }
    // "Mary Ann" may be a first and a last name: the load splits a name at
    // its blank.
    std::size_t space = typed.find(' ');
    if (space == std::string::npos) return;
    std::string firstWord = typed.substr(0, space), lastWord = typed.substr(space + 1);
    Matcher first({Field::First, firstWord, std::nullopt}, matcher.ignoresCase());
    Matcher last({Field::Last, lastWord, std::nullopt}, matcher.ignoresCase());
    for (const Entry& candidate : entries) {
        if (!hasBlank(lastWord) && first.matches(candidate) && last.matches(candidate)) {
            reasons.push_back(blank + entryName(candidate) + " has first name " + quoted(candidate.first) +
                              " and last name " + quoted(candidate.last) + ": search with --first " +
                              quoted(firstWord) + " --last " + quoted(lastWord));
            return;
        }
    }
    reasons.push_back(std::string(kBlankInName) + ": no name is " + quoted(typed));
}

void otherField(const Matcher& matcher, const std::vector<Entry>& entries,
                std::vector<std::string>& reasons) {
    Field field = matcher.criterion().field;
    if (field == Field::Name) return;
    Field other = field == Field::First ? Field::Last : Field::First;
    auto [entry, name] =
        firstAlike(entries, other, [&](const std::string& candidate) { return matcher.sameName(candidate); });
    if (entry == nullptr) return;
    reasons.push_back(quoted(matcher.criterion().text) + " is the " +
                      (other == Field::First ? "first" : "last") + " name of " + entryName(*entry) +
                      ": search with " + (other == Field::First ? "--first" : "--last") + " or as NAME");
}

// ======================================================================
//  Numbers: another area code, another form
// ======================================================================

std::string shownEntryNumber(const Entry& entry) {
    return escapedShort(displayNumber(readEntryNumber(entry.areaCode, entry.number)));
}

// The entry whose number is nearest the one looked for, and why it is not
// that number: the same number with another extension, the same digits in
// another country, the same seven digits under another area code (another
// number, which --why never offers as this one).
void nearNumbers(const Matcher& matcher, const std::vector<Entry>& entries,
                 std::vector<std::string>& reasons) {
    const Mismatch nearest[] = {Mismatch::OtherExtension, Mismatch::OtherCountry, Mismatch::OtherAreaCode};
    for (Mismatch wanted : nearest) {
        for (const Entry& entry : entries) {
            if (matcher.numberMatch(entry).reason != wanted) continue;
            std::string near = entryName(entry) + " has " + shownEntryNumber(entry);
            if (wanted == Mismatch::OtherExtension) {
                near += ", the same number with another extension or none: look it up without the extension";
            } else if (wanted == Mismatch::OtherCountry) {
                near += ", the same digits with another country code: another number";
            } else {
                near += ", the same last seven digits under another area code: another number";
            }
            reasons.push_back(near);
            return;
        }
    }
}

// ======================================================================
//  The rest of the file, past where the load stopped
// ======================================================================

std::string stopped(const LoadProblem& problem) {
    return "line " + std::to_string(problem.line) + ", column " + std::to_string(problem.column) + ": " +
           problem.message;
}

UnreadWords::Wanted wantedWord(const Matcher& matcher) {
    if (matcher.criterion().field != Field::Number)
        return [&matcher](std::string_view, std::string_view word) { return matcher.sameName(word); };
    // A number with the area code before it, or on its own.
    return [&matcher](std::string_view previous, std::string_view word) {
        const PhoneNumber& typed = *matcher.criterion().number;
        return compareForCallerId(typed, readEntryNumber(previous, word)).strength != MatchStrength::None ||
               compareForCallerId(typed, readEntryNumber(0, word)).strength != MatchStrength::None;
    };
}

void unreadLines(const Matcher& matcher, const LoadResult& loaded, const UnreadSearch& searchUnread,
                 std::vector<std::string>& reasons) {
    std::optional<LoadProblem> problem = loadProblem(loaded);
    if (!problem || problem->stop == LoadStop::CutShort) return;
    if (!unreadFrom(loaded)) {
        reasons.push_back("the rest of the file, which may hold it, is not read: the load stopped at " +
                          stopped(*problem));
        return;
    }
    UnreadFound found = searchUnread(wantedWord(matcher));
    const Criterion& criterion = matcher.criterion();
    std::string what = criterion.field == Field::Number ? shownNumberOf(criterion) : quoted(criterion.text);
    if (found.line != 0) {
        reasons.push_back(what + " is on line " + std::to_string(found.line) +
                          ", past where the load stopped: " + stopped(*problem));
    } else if (found.stoppedAtLimit) {
        reasons.push_back(what + " is not in the first " + std::to_string(kUnreadLimit >> 20) +
                          " MiB past where the load stopped, up to line " + std::to_string(found.lastLine) +
                          ", and the rest of the file is not read: the load stopped at " + stopped(*problem));
    }
}

std::vector<std::string> reasonsFor(const Matcher& matcher, const DirectoryEntries& directory,
                                    const UnreadSearch& searchUnread) {
    std::vector<std::string> reasons;
    if (matcher.criterion().field == Field::Number) {
        nearNumbers(matcher, directory.entries, reasons);
    } else {
        caseAndAccents(matcher, directory.entries, reasons);
        blanksAndHyphens(matcher, directory.entries, reasons);
        otherField(matcher, directory.entries, reasons);
    }
    unreadLines(matcher, directory.loaded, searchUnread, reasons);
    if (reasons.empty()) {
        reasons.push_back(directory.entries.empty()
                              ? std::string("the directory is empty")
                              : "none of the " + std::to_string(directory.entries.size()) +
                                    " entries loaded is like it");
    }
    return reasons;
}

}  // namespace

std::optional<std::size_t> unreadFrom(const LoadResult& loaded) {
    if (loaded.tooMany) return loaded.extraEntry.begin;
    if (loaded.utf16 || loaded.entries.empty()) return std::nullopt;
    const EntryRead& last = loaded.entries.back();
    if (last.tooLong() == nullptr && last.code.present && !last.codeIsNumber) return last.code.begin;
    return std::nullopt;
}

std::vector<std::string> whyNotFound(const Query& query, const DirectoryEntries& directory,
                                     const UnreadSearch& searchUnread) {
    if (query.criteria.empty()) {
        std::optional<LoadProblem> problem = loadProblem(directory.loaded);
        return {"no entry: the directory is empty" +
                (problem ? "; the load stopped at " + stopped(*problem) : "")};
    }
    std::vector<Matcher> matchers;
    for (const Criterion& criterion : query.criteria) matchers.emplace_back(criterion, query.ignoreCase);
    auto alone = [&](const Matcher& matcher) {
        return std::find_if(directory.entries.begin(), directory.entries.end(),
                            [&](const Entry& entry) { return matcher.matches(entry); });
    };
    std::string line = notFound(query);
    auto missing = std::find_if(matchers.begin(), matchers.end(), [&](const Matcher& matcher) {
        return alone(matcher) == directory.entries.end();
    });
    if (missing == matchers.end()) {
        // Each finds entries of its own, but none all of them.
        for (const Matcher& matcher : matchers)
            line += "; " + described(matcher.criterion()) + " finds " + entryName(*alone(matcher));
        return {line};
    }
    if (matchers.size() > 1) line += ": none with " + described(missing->criterion());
    std::vector<std::string> reasons = reasonsFor(*missing, directory, searchUnread);
    std::vector<std::string> lines = {line + "; " + reasons[0]};
    lines.insert(lines.end(), reasons.begin() + 1, reasons.end());
    return lines;
}

std::vector<std::string> unshownEntries(const std::vector<Entry>& entries,
                                        const std::vector<std::size_t>& found) {
    std::vector<std::string> lines;
    for (std::size_t k : found) {
        const Entry& entry = entries[k];
        if (entry.shownInstead < 0) continue;
        lines.push_back(entryName(entry) + ": teledir's last-name search for " + quoted(entry.last) +
                        " shows " + entryName(entries[static_cast<std::size_t>(entry.shownInstead)]) +
                        " instead");
    }
    return lines;
}
