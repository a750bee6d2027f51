// telelist-query: the entries of a telephone directory data file that have
// a name or a number, for scripts and caller ID.
#include <iostream>
#include <string>

#include "data_file.h"
#include "message_text.h"
#include "query_run.h"
#include "tool_run.h"

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
              << "                     358-9111 (under any area code), (312) 358-9111,\n"
              << "                     312.358.9111, +1 312 358 9111, tel:+1-312-358-9111;\n"
              << "                     other numbers match by their digits\n"
              << "  -i, --ignore-case  compare names without letter case and accents, in any script\n"
              << "      --tsv          print first name, last name, area code and number separated\n"
              << "                     by tabs (with --last, then true or false: shown by teledir);\n"
              << "                     a backslash, tab or line end in a field is written \\\\, \\t,\n"
              << "                     \\n or \\r\n"
              << "      --json         print one JSON object a line: first, last, area_code,\n"
              << "                     number, line (with --last, shown_by_last_name_search); a byte\n"
              << "                     that is not UTF-8 is the character \\u00XX of its Latin-1\n"
              << "                     value, and the field's exact bytes follow in hex, as\n"
              << "                     first_bytes, last_bytes or number_bytes\n"
              << "      --why          when nothing is found, tell why on standard error, and what\n"
              << "                     would find it; with --last, name the entry teledir shows\n"
              << "                     instead of each one it never shows\n"
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
              << " 2  the file cannot be read, the output cannot be written, or the arguments are wrong\n";
}

void printVersion() { std::cout << kProgram << " (telephone directory) " << TELEDIR_VERSION << '\n'; }

int usageError(const std::string& problem) {
    std::cerr << kProgram << ": " << problem << "\nTry '" << kProgram << " --help' for more information.\n";
    return kQueryFailed;
}

// An argument as a usage error shows it.
std::string shownArgument(const std::string& argument) { return "'" + escapedShort(argument) + "'"; }

bool takesValue(const std::string& name) {
    return name == "--file" || name == "--first" || name == "--last" || name == "--number";
}

bool isFlag(const std::string& name) {
    return name == "--ignore-case" || name == "--tsv" || name == "--json" || name == "--why";
}

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

// Checks and sets the value of option name; an error message, or empty.
std::string setValue(QueryOptions& options, const std::string& name, const std::string& value) {
    if (name == "--file") {
        options.file = value;
        return "";
    }
    Field field = name == "--first" ? Field::First : name == "--last" ? Field::Last : Field::Number;
    if (field == Field::Number) {
        std::optional<TypedNumber> number = typedNumber(value);
        if (!number)
            return "invalid number " + shownArgument(value) + " for --number: digits, as in 358-9111";
        setCriterion(options.query, {field, value, number});
        return "";
    }
    if (value.empty()) return "empty name for " + name;
    setCriterion(options.query, {field, value, std::nullopt});
    return "";
}

int run(int argc, char** argv) {
    QueryOptions options;
    bool optionsEnded = false, tsv = false, json = false, named = false;
    for (int k = 1; k < argc; ++k) {
        std::string arg = argv[k];
        if (!optionsEnded && arg == "--help") {
            printHelp();
            return kQueryFound;
        }
        if (!optionsEnded && arg == "--version") {
            printVersion();
            return kQueryFound;
        }
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            if (named) return usageError("extra operand " + shownArgument(arg));
            if (arg.empty()) return usageError("empty NAME");
            named = true;
            setCriterion(options.query, {Field::Name, arg, std::nullopt});
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg[1] != '-') {
            // Short options, perhaps several in one: "-i", "-f FILE", "-fFILE", "-if FILE".
            for (std::size_t at = 1; at < arg.size(); ++at) {
                if (arg[at] == 'i') {
                    options.query.ignoreCase = true;
                    continue;
                }
                if (arg[at] != 'f')
                    return usageError("invalid option -- " + shownArgument(arg.substr(at, 1)));
                if (at + 1 == arg.size() && k + 1 == argc)
                    return usageError("option -- 'f' requires an argument");
                options.file = at + 1 < arg.size() ? arg.substr(at + 1) : argv[++k];
                break;
            }
            continue;
        }
        // "--first Ann", "--first=Ann".
        std::size_t equals = arg.find('=');
        bool hasValue = equals != std::string::npos;
        std::string name = arg.substr(0, equals), value = hasValue ? arg.substr(equals + 1) : "";
        if (isFlag(name)) {
            if (hasValue) return usageError("option '" + name + "' doesn't allow an argument");
            options.query.ignoreCase = options.query.ignoreCase || name == "--ignore-case";
            tsv = tsv || name == "--tsv";
            json = json || name == "--json";
            options.why = options.why || name == "--why";
            continue;
        }
        if (!takesValue(name)) return usageError("unrecognized option " + shownArgument(arg));
        if (!hasValue) {
            if (k + 1 == argc) return usageError("option '" + name + "' requires an argument");
            value = argv[++k];
        }
        std::string problem = setValue(options, name, value);
        if (!problem.empty()) return usageError(problem);
    }
    if (tsv && json) return usageError("--tsv and --json cannot be used together");
    options.format = tsv ? OutputFormat::Tsv : json ? OutputFormat::Json : OutputFormat::Lines;
    return runQuery(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kProgram, kQueryFailed, run, argc, argv); }
