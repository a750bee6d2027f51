// telelist-convert: the telephone directory's data file to and from the
// formats address books use, vCard and CSV.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "ascii.h"
#include "data_file.h"
#include "export.h"
#include "fit.h"
#include "import.h"
#include "message_text.h"
#include "output_file.h"
#include "tool.h"

namespace {

constexpr char kProgram[] = "telelist-convert";

// Exit statuses.
constexpr int kAllWritten = 0;  // everything written (warnings allowed)
constexpr int kNotAll = 1;      // something not written: at least one error
constexpr int kFailed = 2;      // cannot read or write, or wrong arguments

void printHelp() {
    std::cout << "Usage: " << kProgram << " --to vcard|csv [FILE] [-o OUT]\n"
              << "  or:  " << kProgram << " [--from vcard|csv] [--category NAME]... FILE [-o OUT]\n"
              << "Convert a telephone directory data file to and from address book formats.\n\n"
              << "With --to, write the entries teledir loads from FILE (default " << kDataFileName << ")\n"
              << "as vCard 4.0 or CSV. Otherwise read the contacts of FILE, a vCard (2.1, 3.0\n"
              << "or 4.0) or CSV file (comma, semicolon or tab; a header row naming its\n"
              << "columns), in UTF-8 or UTF-16, and write at most 16 of them as a data file.\n"
              << "Without --from the format comes from FILE's name: .vcf or .vcard for vCard,\n"
              << ".csv for CSV.\n"
              << "The result goes to standard output, or replaces OUT only once it is written\n"
              << "in full; when nothing can be written, OUT is left as it was. A link OUT is\n"
              << "followed; a FIFO, a device or a descriptor (/dev/stdout, /dev/fd/N) is\n"
              << "written into. OUT cannot be FILE itself.\n\n"
              << "What was not written, or was changed to fit, is told on standard error, one\n"
              << "line each: FILE:LINE: error: ... or FILE:LINE: warning: ...\n"
              << "Of several numbers the preferred one is written, a voice line before a fax\n"
              << "or pager, then the first; every digit is kept (a leading +1 may go).\n"
              << "Contacts starred or in a group of favourites come first, then the others,\n"
              << "each in the order of FILE; those past the 16th are told as not written.\n"
              << "CSV headers are known in English, German, French, Spanish, Italian, Dutch\n"
              << "and Portuguese (Outlook's and Google's exports among them).\n\n"
              << "      --to FORMAT    export to FORMAT, vcard or csv\n"
              << "      --from FORMAT  import from FORMAT, vcard or csv\n"
              << "      --category NAME\n"
              << "                     import only the contacts in group NAME (vCard CATEGORIES,\n"
              << "                     Google labels, Outlook categories), in any letter case;\n"
              << "                     repeatable: a contact in any of them is taken\n"
              << "  -o, --output OUT   write to OUT instead of standard output\n"

              << "      --help         display this help and exit\n"
              << "      --version      output version information and exit\n\n"
              << "Exit status:\n"
              << " 0  everything written (warnings allowed)\n"
              << " 1  at least one error: something was not written, or FILE holds no contact\n"
              << " 2  FILE cannot be read, the result cannot be written, or the arguments are wrong\n";
}

constexpr Tool kTool{kProgram, kFailed, printHelp};

int cannot(const std::string& path, const std::string& failure) {
    std::cerr << kProgram << ": " << shownPath(path) << ": " << failure << '\n';
    return kFailed;
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
    std::string extension = asciiLowered(path.substr(dot + 1));
    if (extension == "vcf" || extension == "vcard") return Format::VCard;
    if (extension == "csv") return Format::Csv;
    return std::nullopt;
}

struct Arguments {
    std::optional<Format> to, from;
    std::optional<std::string> file, output;
    Choice choice;
};

// Reports each message on standard error, in file order; returns the
// status they make.
int report(const std::string& path, Messages messages) {
    std::stable_sort(messages.begin(), messages.end(),
                     [](const Message& a, const Message& b) { return a.line < b.line; });
    bool errors = false;
    for (const Message& message : messages) {
        errors = errors || message.severity == Severity::Error;
        std::cerr << shownPath(path) << ':' << message.line << ": " << severityWord(message.severity) << ": "
                  << message.text << '\n';
    }
    return errors ? kNotAll : kAllWritten;
}

// Whether OUT is the file to convert, by whatever name or link: then it is
// told, before anything is read, for the conversion would replace its own
// input. A FIFO or a terminal named twice loses nothing, and is let be.
bool refusedAsInput(const Arguments& arguments, const std::string& input) {
    std::error_code unknown;
    if (!arguments.output || !std::filesystem::is_regular_file(input, unknown) ||
        !std::filesystem::equivalent(input, *arguments.output, unknown))
        return false;
    std::cerr << kProgram << ": " << escapedShort(*arguments.output) << ": is the input file "
              << escapedShort(input) << " itself; nothing is read or written\n";
    return true;
}

// Writes content to the output, standard output when there is none.
int writeResult(const Arguments& arguments, const Pieces& content, int status) {
    if (!arguments.output) {
#ifdef _WIN32
        // The result's bytes as they are: Windows' text mode would make each
        // LF a CR LF, and each of a vCard's CR LF a CR CR LF.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        content([](std::string_view piece) {
            return static_cast<bool>(
                std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size())));
        });
        return status;
    }
    unsigned long otherLinks = 0;
    std::string failure = writeOutputFile(*arguments.output, content, &otherLinks);
    if (!failure.empty()) return cannot(*arguments.output, failure);
    if (otherLinks > 0) {
        std::cerr << kProgram << ": " << escapedShort(*arguments.output)
                  << ": warning: replaced by a new file; its " << otherLinks << " other hard link"
                  << (otherLinks == 1 ? " keeps" : "s keep") << " the old content\n";
    }
    return status;
}

int exportFile(const Arguments& arguments) {
    const std::string path = arguments.file.value_or(kDataFileName);
    if (refusedAsInput(arguments, path)) return kFailed;
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) return cannot(path, file.failure);
    Messages messages;
    std::string failure;
    std::vector<Entry> entries = loadEntries(file.stream, messages, failure);
    if (!failure.empty()) return cannot(path, failure);
    bool vcard = *arguments.to == Format::VCard;
    if (vcard) checkVCards(entries, messages);
    int status = report(path, messages);
    return writeResult(
        arguments,
        [&](const PieceSink& sink) { vcard ? writeVCards(entries, sink) : writeCsv(entries, sink); }, status);
}

int importFile(const Arguments& arguments) {
    const std::string& path = *arguments.file;
    if (refusedAsInput(arguments, path)) return kFailed;
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) return cannot(path, file.failure);
    ImportResult imported = importContacts(file.stream, *arguments.from, arguments.choice);
    if (!imported.failure.empty()) return cannot(path, imported.failure);
    int status = report(path, std::move(imported.messages));
    for (const std::string* line : {&imported.notChosen, &imported.notKept}) {
        if (!line->empty()) std::cerr << kProgram << ": " << escaped(path) << ": " << *line << '\n';
    }
    if (imported.entries.empty()) {
        std::cerr << kProgram << ": " << shownPath(path) << ": no contact written"
                  << (arguments.output ? "; " + shownPath(*arguments.output) + " is left as it was" : "")
                  << '\n';
        return kNotAll;
    }
    std::string text = dataFileText(imported.entries);
    return writeResult(
        arguments, [&](const PieceSink& sink) { sink(text); }, status);
}

enum OptionId { kTo, kFrom, kOutput, kCategory };

// One option or operand into arguments; returns a usage problem or "".
std::string take(const Argument& argument, Arguments& arguments) {
    if (argument.kind == Argument::Kind::Operand) {
        arguments.file = argument.value;
    } else if (argument.option->id == kOutput) {
        arguments.output = argument.value;
    } else if (argument.option->id == kCategory) {
        if (groupKey(argument.value).empty())
            return "empty category name " + shownArgument(argument.value) + " for " + argument.name;
        arguments.choice.categories.push_back(argument.value);
    } else {
        std::optional<Format> format = formatNamed(argument.value);
        if (!format) {
            return "invalid format " + shownArgument(argument.value) + " for " + argument.name +
                   ": vcard or csv";
        }
        (argument.option->id == kTo ? arguments.to : arguments.from) = format;
    }
    return "";
}

int run(int argc, char** argv) {
    Arguments arguments;
    const std::vector<Option> options = {{kTo, '\0', "to", true},
                                         {kFrom, '\0', "from", true},
                                         {kOutput, 'o', "output", true},
                                         {kCategory, '\0', "category", true}};
    std::optional<int> ended = readArguments(
        kTool, argc, argv, options, 1, [&](const Argument& argument) { return take(argument, arguments); });
    if (ended) return *ended;
    if (arguments.to && arguments.from) return usageError(kTool, "--to and --from cannot be used together");
    if (arguments.to && !arguments.choice.categories.empty())
        return usageError(kTool, "--category chooses contacts to import: it cannot be used with --to");
    if (arguments.to) return exportFile(arguments);
    if (!arguments.file) return usageError(kTool, "missing file operand");
    if (!arguments.from) arguments.from = formatOfName(*arguments.file);
    if (!arguments.from) {
        return usageError(kTool,
                          "cannot tell the format of '" + shownPath(*arguments.file) +
                              "' from its name (.vcf, .vcard or .csv): give --from vcard or --from csv");
    }
    return importFile(arguments);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, run, argc, argv); }
