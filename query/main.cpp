// telelist-query: the entries of a telephone directory data file that have
// a name or a number, for scripts and caller ID.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "data_file.h"
#include "query_run.h"
#include "tool.h"

namespace {

constexpr char kProgram[] = "telelist-query";

void printHelp() {
    std::cout << "Usage: " << kProgram << " [OPTION]... [NAME]\n"
              << "Print the entries of a telephone directory data file, as teledir loads and sorts\n"
              << "them, that have NAME as first or last name; with no NAME and no --first, --last\n"
              << "or --number, every entry. Given several, an entry must match each.\n\n"
              << "  -f, --file FILE    read FILE instead of " << kDataFileName
              << " in the current directory\n"
              << "      --first NAME   entries whose first name is NAME\n"
              << "      --last NAME    entries whose last name is NAME, marking those teledir's\n"
              << "                     last-name search never shows (it shows one entry a name)\n"
              << "      --number NUMBER\n"
              << "                     entries with that phone number, in any common form:\n"
              << "                     358-9111 (under any area code, a weaker match),\n"
              << "                     (312) 358-9111, +1 312 358 9111, +44 20 7946 0958,\n"
              << "                     tel:+1-418-656-9254;ext=102, 656-9254 x102 (an extension\n"
              << "                     given must be the entry's; none given, any matches)\n"
              << "  -i, --ignore-case  compare names without letter case and accents, in any script\n"
              << "      --tsv          print first name, last name, area code and number separated\n"
              << "                     by tabs (with --last, then true or false: shown by teledir;\n"
              << "                     with --number, then the match: exact, same number, weaker);\n"
              << "                     a backslash, tab or line end in a field is written \\\\, \\t,\n"
              << "                     \\n or \\r, every other byte that is not printable UTF-8\n"
              << "                     \\xNN, as without --tsv\n"
              << "      --json         print one JSON object a line: first, last, area_code,\n"
              << "                     number, line (with --last, shown_by_last_name_search; with\n"
              << "                     --number, match and match_reason); a byte\n"
              << "                     that is not UTF-8 is the character \\u00XX of its Latin-1\n"
              << "                     value, and the field's exact bytes follow in hex, as\n"
              << "                     first_bytes, last_bytes or number_bytes; a character\n"
              << "                     escaped without --json is \\uXXXX\n"
              << "      --why          when nothing is found, tell why on standard error, and what\n"
              << "                     would find it; with --last, name the entry teledir shows\n"
              << "                     instead of each one it never shows; past where the load\n"
              << "                     stopped it reads 64 MiB at most\n"
              << "      --help         display this help and exit\n"
              << "      --version      output version information and exit\n\n"
              << "Names are compared byte for byte unless -i is given. Without --tsv or --json\n"
              << "each entry is one line, as teledir shows a match, with every byte that is not\n"
              << "printable UTF-8 written as \\xNN. A problem that ended the load early is told\n"
              << "on standard error as telelist-check words it, and the lookup runs on the\n"
              << "entries loaded.\n\n"
              << "Exit status:\n"
              << " 0  at least one entry found\n"
              << " 1  no entry found\n"
              << " 2  the file cannot be read or is no data file (UTF-16, a vCard or CSV), the output\n"
              << "    cannot be written, or the arguments are wrong\n";
}

constexpr Tool kTool{kProgram, kQueryFailed, printHelp};

enum OptionId { kFile, kFirst, kLast, kNumber, kIgnoreCase, kTsv, kJson, kWhy };

// Sets the criterion of field, replacing an earlier one of the same field.
void setCriterion(Query& query, Criterion criterion) {
    for (Criterion& given : query.criteria) {
        if (given.field == criterion.field) {
            given = std::move(criterion);
            return;
        }
    }
    query.criteria.push_back(std::move(criterion));
}

// Checks and sets the value of an option that takes one; a usage problem,
// or empty.
std::string setValue(QueryOptions& options, const Argument& argument) {
    int id = argument.option->id;
    const std::string& value = argument.value;
    if (id == kFile) {
        options.file = value;
        return "";
    }
    Field field = id == kFirst ? Field::First : id == kLast ? Field::Last : Field::Number;
    if (field == Field::Number) {
        PhoneNumber number = readPhoneNumber(value);
        if (number.kind == NumberKind::NotANumber)
            return "invalid number " + shownArgument(value) + " for --number: digits, as in 358-9111";
        setCriterion(options.query, {field, value, number});
        return "";
    }
    if (value.empty()) return "empty name for " + argument.name;
    setCriterion(options.query, {field, value, std::nullopt});
    return "";
}

// With -i, a name that folds to nothing (combining marks alone) would find
// every name without letters: a usage problem, or empty.
std::string nameWithoutLetters(const Query& query) {
    if (!query.ignoreCase) return "";
    for (const Criterion& criterion : query.criteria) {
        if (criterion.field == Field::Number || !foldName(criterion.text).text.empty()) continue;
        std::string name = criterion.field == Field::Name    ? "NAME"
                           : criterion.field == Field::First ? "name for --first"
                                                             : "name for --last";
        return name + " " + shownArgument(criterion.text) +
               " is only accents (combining marks), which -i leaves out";
    }
    return "";
}

int run(int argc, char** argv) {
    QueryOptions options;
    bool tsv = false, json = false;
    std::vector<Option> known = {
        {kFile, 'f', "file", true},
        {kFirst, '\0', "first", true},
        {kLast, '\0', "last", true},
        {kNumber, '\0', "number", true},
        {kIgnoreCase, 'i', "ignore-case", false},
        {kTsv, '\0', "tsv", false},
        {kJson, '\0', "json", false},
        {kWhy, '\0', "why", false},
    };
    std::optional<int> ended = readArguments(kTool, argc, argv, known, 1, [&](const Argument& argument) {
        if (argument.kind == Argument::Kind::Operand) {
            if (argument.value.empty()) return std::string("empty NAME");
            setCriterion(options.query, {Field::Name, argument.value, std::nullopt});
            return std::string();
        }
        switch (argument.option->id) {
            case kIgnoreCase: options.query.ignoreCase = true; break;
            case kTsv: tsv = true; break;
            case kJson: json = true; break;
            case kWhy: options.why = true; break;
            default: return setValue(options, argument);
        }
        return std::string();
    });
    if (ended) return *ended;
    if (std::string problem = nameWithoutLetters(options.query); !problem.empty())
        return usageError(kTool, problem);
    if (tsv && json) return usageError(kTool, "--tsv and --json cannot be used together");
    options.format = tsv ? OutputFormat::Tsv : json ? OutputFormat::Json : OutputFormat::Lines;
    return runQuery(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, run, argc, argv); }
