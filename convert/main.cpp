// telelist-convert: the telephone directory's data file to and from the
// formats address books use, vCard and CSV.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "csv_import.h"
#include "data_file.h"
#include "export.h"
#include "fit.h"
#include "output_file.h"
#include "tool_run.h"
#include "vcard_import.h"

namespace {

constexpr char kProgram[] = "telelist-convert";

// Exit statuses.
constexpr int kAllWritten = 0;  // everything written (warnings allowed)
constexpr int kNotAll = 1;      // something not written: at least one error
constexpr int kFailed = 2;      // cannot read or write, or wrong arguments

// The largest file imported: far beyond any address book, and a file
// such as /dev/zero does not take all memory.
constexpr std::size_t kImportLimit = std::size_t{256} << 20;

enum class Format { VCard, Csv };

void printHelp() {
    std::cout << "Usage: " << kProgram << " --to vcard|csv [FILE] [-o OUT]\n"
              << "  or:  " << kProgram << " [--from vcard|csv] FILE [-o OUT]\n"
              << "Convert a telephone directory data file to and from address book formats.\n\n"
              << "With --to, write the entries teledir loads from FILE (default " << kDataFileName << ")\n"
              << "as vCard 4.0 or CSV. Otherwise read the contacts of FILE, a vCard (2.1, 3.0\n"
              << "or 4.0) or CSV file, and write them as a data file. Without --from the format\n"
              << "comes from FILE's name: .vcf or .vcard for vCard, .csv for CSV.\n"
              << "The result goes to standard output, or replaces OUT only once it is written\n"
              << "in full.\n\n"
              << "What was not written, or was changed to fit, is told on standard error, one\n"
              << "line each: FILE:LINE: error: ... or FILE:LINE: warning: ...\n\n"
              << "      --to FORMAT    export to FORMAT, vcard or csv\n"
              << "      --from FORMAT  import from FORMAT, vcard or csv\n"
              << "  -o, --output OUT   write to OUT instead of standard output\n"
              << "      --help         display this help and exit\n"
              << "      --version      output version information and exit\n\n"
              << "Exit status:\n"
              << " 0  everything written (warnings allowed)\n"
              << " 1  at least one error: something was not written\n"
              << " 2  FILE cannot be read, the result cannot be written, or the arguments are wrong\n";
}

void printVersion() { std::cout << kProgram << " (telephone directory) " << TELEDIR_VERSION << '\n'; }

int usageError(const std::string& problem) {
    std::cerr << kProgram << ": " << problem << "\nTry '" << kProgram << " --help' for more information.\n";
    return kFailed;
}

int cannot(const std::string& path, const std::string& failure) {
    std::cerr << kProgram << ": " << path << ": " << failure << '\n';
    return kFailed;
}

std::string lowered(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

std::optional<Format> formatNamed(const std::string& name) {
    if (name == "vcard") return Format::VCard;
    if (name == "csv") return Format::Csv;
    return std::nullopt;
}

// The format a file name's extension tells.
std::optional<Format> formatOfName(const std::string& path) {
    std::size_t dot = path.rfind('.');
    std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    std::string extension = lowered(path.substr(dot + 1));
    if (extension == "vcf" || extension == "vcard") return Format::VCard;
    if (extension == "csv") return Format::Csv;
    return std::nullopt;
}

struct Arguments {
    std::optional<Format> to, from;
    std::optional<std::string> file, output;
};

// Reports each message on standard error, in file order; returns the
// status they make.
int report(const std::string& path, Messages messages) {
    std::stable_sort(messages.begin(), messages.end(),
                     [](const Message& a, const Message& b) { return a.line < b.line; });
    bool errors = false;
    for (const Message& message : messages) {
        errors = errors || message.severity == Severity::Error;
        std::cerr << path << ':' << message.line << ": " << severityWord(message.severity) << ": "
                  << message.text << '\n';
    }
    return errors ? kNotAll : kAllWritten;
}

// Writes content to the output, standard output when there is none.
int writeResult(const Arguments& arguments, const std::string& content, int status) {
    if (!arguments.output) {
        std::cout << content;
        return status;
    }
    std::string failure = writeFileAtomically(*arguments.output, content);
    return failure.empty() ? status : cannot(*arguments.output, failure);
}

int exportFile(const Arguments& arguments) {
    const std::string path = arguments.file.value_or(kDataFileName);
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) return cannot(path, file.failure);
    Messages messages;
    std::string failure;
    std::vector<Entry> entries = loadEntries(file.stream, messages, failure);
    if (!failure.empty()) return cannot(path, failure);
    std::string content = *arguments.to == Format::VCard ? vcardText(entries, messages) : csvText(entries);
    int status = report(path, messages);
    return writeResult(arguments, content, status);
}

// The whole of the file at path into text; the reason when it cannot be read.
std::string readWhole(const std::string& path, std::string& text) {
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) return file.failure;
    char chunk[1 << 16];
    while (file.stream) {
        errno = 0;
        file.stream.read(chunk, sizeof chunk);
        if (file.stream.bad()) return std::string("cannot read: ") + std::strerror(errno != 0 ? errno : EIO);
        text.append(chunk, static_cast<std::size_t>(file.stream.gcount()));
        if (text.size() > kImportLimit) return "cannot read: larger than 256 MiB, which no address book is";
    }
    return "";
}

int importFile(const Arguments& arguments) {
    const std::string& path = *arguments.file;
    std::string text;
    std::string failure = readWhole(path, text);
    if (!failure.empty()) return cannot(path, failure);
    std::vector<Contact> contacts =
        *arguments.from == Format::VCard ? readVCards(text) : readCsvContacts(text);
    Messages messages;
    std::vector<Entry> entries = fitContacts(contacts, messages);
    int status = report(path, messages);
    return writeResult(arguments, dataFileText(entries), status);
}

int run(int argc, char** argv) {
    Arguments arguments;
    bool optionsEnded = false;
    for (int k = 1; k < argc; ++k) {
        std::string arg = argv[k];
        if (!optionsEnded && arg == "--help") {
            printHelp();
            return kAllWritten;
        }
        if (!optionsEnded && arg == "--version") {
            printVersion();
            return kAllWritten;
        }
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            if (arguments.file) return usageError("extra operand '" + arg + "'");
            arguments.file = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // An option with a value: "--to csv", "--to=csv", "-o OUT", "-oOUT".
        std::string name = arg, value;
        bool hasValue = false;
        std::size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        } else if (arg.compare(0, 2, "-o") == 0 && arg.size() > 2) {
            name = "-o";
            value = arg.substr(2);
            hasValue = true;
        }
        if (name != "--to" && name != "--from" && name != "-o" && name != "--output") {
            return usageError(arg[1] == '-' ? "unrecognized option '" + arg + "'"
                                            : "invalid option -- '" + arg.substr(1, 1) + "'");
        }
        if (!hasValue) {
            if (k + 1 == argc) {
                std::string option = name == "-o" ? "-- 'o'" : "'" + name + "'";
                return usageError("option " + option + " requires an argument");
            }
            value = argv[++k];
        }
        if (name == "-o" || name == "--output") {
            arguments.output = value;
            continue;
        }
        std::optional<Format> format = formatNamed(value);
        if (!format)
            return usageError("invalid format '" + value.append("' for ").append(name) + ": vcard or csv");
        (name == "--to" ? arguments.to : arguments.from) = format;
    }
    if (arguments.to && arguments.from) return usageError("--to and --from cannot be used together");
    if (arguments.to) return exportFile(arguments);
    if (!arguments.file) return usageError("missing file operand");
    if (!arguments.from) arguments.from = formatOfName(*arguments.file);
    if (!arguments.from) {
        return usageError("cannot tell the format of '" + *arguments.file +
                          "' from its name (.vcf, .vcard or .csv): give --from vcard or --from csv");
    }
    return importFile(arguments);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kProgram, kFailed, run, argc, argv); }
