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
#include "card_folder.h"
#include "data_file.h"
#include "diagnostic.h"
#include "export.h"
#include "fit.h"
#include "import.h"
#include "merge.h"
#include "message_text.h"
#include "output_file.h"
#include "tool.h"
#include "vdir_export.h"

namespace {

constexpr char kProgram[] = "telelist-convert";

// Exit statuses.
constexpr int kAllWritten = 0;  // everything written (warnings allowed)
constexpr int kNotAll = 1;      // something not written: at least one error
constexpr int kFailed = 2;      // cannot read or write, or wrong arguments

void printHelp() {
    std::cout << "Usage: " << kProgram << " --to vcard|csv [FILE] [-o OUT]\n"
              << "  or:  " << kProgram << " --to vdir [FILE] [--dry-run] -o DIR\n"
              << "  or:  " << kProgram
              << " [--from vcard|csv] [--category NAME]... [--merge [--dry-run]] FILE|DIR [-o OUT]\n"
              << "Convert a telephone directory data file to and from address book formats.\n\n"
              << "With --to, write the entries teledir loads from FILE (default " << kDataFileName << ")\n"
              << "as vCard 4.0 or CSV. Otherwise read the contacts of FILE, a vCard (2.1, 3.0\n"
              << "or 4.0) or CSV file (comma, semicolon or tab; a header row naming its\n"
              << "columns), in UTF-8 or UTF-16, and write at most 16 of them as a data file.\n"
              << "Without --from the format comes from FILE's name: .vcf or .vcard for vCard,\n"
              << ".csv for CSV. A folder DIR is read as its *.vcf files, sorted by name (the\n"
              << "folder vdirsyncer and khard keep: one card a file).\n\n"
              << "With --to vdir, write one card file a contact into the folder DIR, named by\n"
              << "its UID; a file this program did not write is never changed or removed.\n"
              << "With --merge, the entries OUT holds stay, in their order: a contact of the\n"
              << "same first and last name updates the number, and new contacts fill the free\n"
              << "slots; each entry kept, updated and added is told.\n\n"
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
              << "      --to FORMAT    export to FORMAT, vcard, csv or vdir (a folder of cards)\n"
              << "      --from FORMAT  import from FORMAT, vcard or csv\n"
              << "      --category NAME\n"
              << "                     import only the contacts in group NAME (vCard CATEGORIES,\n"
              << "                     Google labels, Outlook categories), in any letter case;\n"
              << "                     repeatable: a contact in any of them is taken\n"
              << "  -o, --output OUT   write to OUT instead of standard output\n"
              << "      --merge        merge the contacts into the data file OUT\n"
              << "      --dry-run      with --merge or --to vdir: tell what would change, write nothing\n"
              << "      --help         display this help and exit\n"
              << "      --version      output version information and exit\n\n"
              << "Exit status:\n"
              << " 0  everything written (warnings allowed)\n"
              << " 1  at least one error: something was not written, or FILE holds no contact\n"
              << " 2  FILE cannot be read, the result cannot be written, or the arguments are wrong\n";
}

constexpr Tool kTool{kProgram, kFailed, printHelp};

int cannot(const std::string& path, const std::string& failure) {
    std::cerr << problemLine(kProgram, path, failure) << '\n';
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
    bool vdir = false;  // --to vdir: to a folder of cards
    bool merge = false, dryRun = false;
    std::optional<std::string> file, output;
    Choice choice;
};

// Reports each message on standard error, in file order; returns the
// status they make. files are the names of the files read.
int report(const std::vector<std::string>& files, Messages messages) {
    std::stable_sort(messages.begin(), messages.end(), toldBefore);
    bool errors = false;
    for (const Message& message : messages) {
        errors = errors || message.severity == Severity::Error;
        std::cerr << diagnosticLine(files.at(message.file), {message.line, 0, message.severity, message.text})
                  << '\n';
    }
    return errors ? kNotAll : kAllWritten;
}

int report(const std::string& path, Messages messages) {
    return report(std::vector<std::string>{path}, std::move(messages));
}

// Whether OUT is the file to convert, by whatever name or link: then it is
// told, before anything is read, for the conversion would replace its own
// input. A FIFO or a terminal named twice loses nothing, and is let be.
bool refusedAsInput(const Arguments& arguments, const std::string& input) {
    std::error_code unknown;
    if (!arguments.output || !std::filesystem::is_regular_file(input, unknown) ||
        !std::filesystem::equivalent(input, *arguments.output, unknown))
        return false;
    std::cerr << problemLine(
                     kProgram, *arguments.output,
                     "is the input file " + escapedShort(input) + " itself; nothing is read or written")
              << '\n';
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
        std::cerr << problemLine(kProgram, *arguments.output,
                                 "warning: replaced by a new file; its " + std::to_string(otherLinks) +
                                     " other hard link" + (otherLinks == 1 ? " keeps" : "s keep") +
                                     " the old content")
                  << '\n';
    }
    return status;
}

// The data file an export reads, its entries and the load's messages;
// false, once said why, when it cannot be read.
bool loadExported(const std::string& path, std::vector<LoadedEntry>& entries, Messages& messages) {
    OpenedFile file = openDataFile(path);
    std::string failure = file.failure;
    if (file.isOpen()) entries = loadForExport(file.stream, messages, failure);
    if (failure.empty()) return true;
    cannot(path, failure);
    return false;
}

int exportFile(const Arguments& arguments) {
    const std::string path = arguments.file.value_or(kDataFileName);
    if (refusedAsInput(arguments, path)) return kFailed;
    Messages messages;
    std::vector<LoadedEntry> entries;
    if (!loadExported(path, entries, messages)) return kFailed;
    bool vcard = *arguments.to == Format::VCard;
    if (vcard) checkVCards(entries, messages);
    int status = report(path, messages);
    return writeResult(
        arguments,
        [&](const PieceSink& sink) { vcard ? writeVCards(entries, sink) : writeCsv(entries, sink); }, status);
}

// The data file into which --merge merges, its entries, or the status
// when it cannot be merged into: one that does not load whole is left as
// it is, whatever its problem, for the entries past it would be lost.
std::optional<int> loadMergeTarget(const std::string& path, std::vector<LoadedEntry>& entries) {
    std::error_code unknown;
    if (!std::filesystem::exists(path, unknown)) return std::nullopt;  // merged into an empty directory
    if (!std::filesystem::is_regular_file(path, unknown))
        return cannot(path, "is not a data file to merge into: --merge reads the entries OUT holds");
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) return cannot(path, file.failure);
    EntryReader reader(file.stream);
    LoadedDirectory loaded = loadEntries(reader);
    if (!loaded.loaded.readFailure.empty()) return cannot(path, loaded.loaded.readFailure);
    if (std::optional<LoadProblem> problem = loadProblem(loaded.loaded)) {
        std::cerr << diagnosticLine(path, {problem->line, 0, problem->severity, problem->message}) << '\n';
        return cannot(path,
                      "not merged into, as the directory does not load it whole (telelist-check tells "
                      "more); it is left as it was");
    }
    entries = std::move(loaded.entries);
    return std::nullopt;
}

// Tells what the merge made of each entry.
void tellMerged(const std::string& out, const Merge& merge) {
    for (const MergedEntry& merged : merge.entries()) {
        const LoadedEntry& entry = merged.entry;
        const char* what = merged.kind == MergedEntry::Kind::Kept      ? "kept"
                           : merged.kind == MergedEntry::Kind::Updated ? "updated"
                                                                       : "added";
        std::cerr << problemLine(
            kProgram, out,
            std::string(what) + ' ' + quotedName(entry) + ' ' + shownNumber(entry.areaCode, entry.number));
        if (merged.kind == MergedEntry::Kind::Updated)
            std::cerr << " (was " << shownNumber(merged.oldAreaCode, merged.oldNumber) << ')';
        std::cerr << '\n';
    }
}

// Tells what the merge made of each entry, and writes the result when it
// changes the data file.
int writeMerged(const Arguments& arguments, const Merge& merge, int status) {
    const std::string& out = *arguments.output;
    tellMerged(out, merge);
    std::error_code unknown;
    if (!merge.changed() && std::filesystem::exists(out, unknown)) {
        std::cerr << problemLine(kProgram, out, "nothing added or updated; left as it was") << '\n';
        return status;
    }
    if (arguments.dryRun) {
        std::cerr << problemLine(kProgram, out, "not written (--dry-run)") << '\n';
        return status;
    }
    std::vector<LoadedEntry> entries;
    for (const MergedEntry& merged : merge.entries()) entries.push_back(merged.entry);
    std::string text = dataFileText(entries);
    return writeResult(
        arguments, [&](const PieceSink& sink) { sink(text); }, status);
}

int importFile(const Arguments& arguments, bool folder) {
    const std::string& path = *arguments.file;
    if (refusedAsInput(arguments, path)) return kFailed;
    std::vector<LoadedEntry> held;
    if (arguments.merge) {
        if (std::optional<int> refused = loadMergeTarget(*arguments.output, held)) return *refused;
    }
    Merge merge(held);
    Room room;
    if (arguments.merge) room = [&](const LoadedEntry& entry) { return merge.take(entry); };
    std::vector<std::string> files{path};
    ImportResult imported;
    if (folder) {
        CardFiles cards = cardFilesIn(path);
        if (!cards.failure.empty()) return cannot(path, cards.failure);
        files = std::move(cards.paths);
        for (const std::string& card : files) {
            if (refusedAsInput(arguments, card)) return kFailed;
        }
        if (files.empty()) {
            std::cerr << problemLine(kProgram, path, "no card file (*.vcf) in the folder") << '\n';
            imported.errors = true;
        } else {
            imported = importVCardFiles(files, arguments.choice, room);
        }
    } else {
        OpenedFile file = openDataFile(path);
        if (!file.isOpen()) return cannot(path, file.failure);
        imported = importContacts(file.stream, *arguments.from, arguments.choice, room);
    }
    if (!imported.failure.empty()) return cannot(files.at(imported.failedFile), imported.failure);
    int status = report(files, std::move(imported.messages));
    for (const std::string* line : {&imported.notChosen, &imported.notKept}) {
        if (!line->empty()) std::cerr << problemLine(kProgram, path, *line) << '\n';
    }
    if (imported.entries.empty()) {
        if (arguments.merge) tellMerged(*arguments.output, merge);
        std::cerr << problemLine(
                         kProgram, path,
                         "no contact written" +
                             (arguments.output ? "; " + shownPath(*arguments.output) + " is left as it was"
                                               : ""))
                  << '\n';
        return kNotAll;
    }
    if (arguments.merge) return writeMerged(arguments, merge, status);
    std::string text = dataFileText(imported.entries);
    return writeResult(
        arguments, [&](const PieceSink& sink) { sink(text); }, status);
}

// --to vdir: the entries as a folder of cards.
int exportFolder(const Arguments& arguments) {
    const std::string path = arguments.file.value_or(kDataFileName);
    const std::string& folder = *arguments.output;
    Messages messages;
    std::vector<LoadedEntry> entries;
    if (!loadExported(path, entries, messages)) return kFailed;
    checkVCards(entries, messages);
    int status = report(path, messages);
    CardFolderWrite how;
    how.dryRun = arguments.dryRun;
    // Where the load stopped early, the contacts after it are not gone.
    how.removeGone = status == kAllWritten;
    std::optional<FolderFailure> failed =
        writeCardFolder(folder, entries, how, [&](const CardFileChange& change) {
            std::cerr << problemLine(kProgram, pathIn(folder, change.name), "");
            switch (change.kind) {
                case CardFileChange::Kind::Added: std::cerr << "added\n"; break;
                case CardFileChange::Kind::Changed: std::cerr << "changed\n"; break;
                case CardFileChange::Kind::Removed: std::cerr << "removed\n"; break;
                case CardFileChange::Kind::NotOurs:
                    std::cerr << "error: not written, as " << kProgram
                              << " did not write this file and it holds another card; " << change.detail
                              << " is not exported\n";
                    status = std::max(status, kNotAll);
                    break;
                case CardFileChange::Kind::Failed:
                    std::cerr << change.detail << '\n';
                    status = kFailed;
                    break;
            }
        });
    if (failed) return cannot(failed->path, failed->reason);
    if (arguments.dryRun) std::cerr << problemLine(kProgram, folder, "nothing written (--dry-run)") << '\n';
    return status;
}

enum OptionId { kTo, kFrom, kOutput, kMerge, kDryRun, kCategory };

// One option or operand into arguments; returns a usage problem or "".
std::string take(const Argument& argument, Arguments& arguments) {
    if (argument.kind == Argument::Kind::Operand) {
        arguments.file = argument.value;
    } else if (argument.option->id == kOutput) {
        arguments.output = argument.value;
    } else if (argument.option->id == kMerge) {
        arguments.merge = true;
    } else if (argument.option->id == kDryRun) {
        arguments.dryRun = true;
    } else if (argument.option->id == kTo && argument.value == "vdir") {
        arguments.to = Format::VCard;
        arguments.vdir = true;
    } else if (argument.option->id == kCategory) {
        if (groupKey(argument.value).empty())
            return "empty category name " + shownArgument(argument.value) + " for " + argument.name;
        arguments.choice.categories.push_back(argument.value);
    } else {
        std::optional<Format> format = formatNamed(argument.value);
        if (!format) {
            return "invalid format " + shownArgument(argument.value) + " for " + argument.name +
                   (argument.option->id == kTo ? ": vcard, csv or vdir" : ": vcard or csv");
        }
        if (argument.option->id == kTo) arguments.vdir = false;
        (argument.option->id == kTo ? arguments.to : arguments.from) = format;
    }
    return "";
}

int run(int argc, char** argv) {
    Arguments arguments;
    const std::vector<Option> options = {
        {kTo, '\0', "to", true},           {kFrom, '\0', "from", true},
        {kOutput, 'o', "output", true},    {kMerge, '\0', "merge", false},
        {kDryRun, '\0', "dry-run", false}, {kCategory, '\0', "category", true}};
    std::optional<int> ended = readArguments(
        kTool, argc, argv, options, 1, [&](const Argument& argument) { return take(argument, arguments); });
    if (ended) return *ended;
    if (arguments.to && arguments.from) return usageError(kTool, "--to and --from cannot be used together");
    if (arguments.to && !arguments.choice.categories.empty())
        return usageError(kTool, "--category chooses contacts to import: it cannot be used with --to");
    if (arguments.merge && arguments.to) return usageError(kTool, "--merge merges an import: not with --to");
    if (arguments.merge && !arguments.output)
        return usageError(kTool, "--merge needs -o OUT, the data file to merge into");
    if (arguments.dryRun && !arguments.merge && !arguments.vdir)
        return usageError(kTool, "--dry-run goes with --merge or --to vdir");
    if (arguments.vdir && !arguments.output)
        return usageError(kTool, "--to vdir needs -o DIR, the folder to write the cards into");
    if (arguments.vdir) return exportFolder(arguments);
    if (arguments.to) return exportFile(arguments);
    if (!arguments.file) return usageError(kTool, "missing file operand");
    std::error_code unknown;
    if (std::filesystem::is_directory(*arguments.file, unknown)) {
        if (arguments.from == Format::Csv)
            return usageError(kTool, "a folder is read as its vCard files (*.vcf): not with --from csv");
        return importFile(arguments, true);
    }
    if (!arguments.from) arguments.from = formatOfName(*arguments.file);
    if (!arguments.from) {
        return usageError(kTool,
                          "cannot tell the format of '" + shownPath(*arguments.file) +
                              "' from its name (.vcf, .vcard or .csv): give --from vcard or --from csv");
    }
    return importFile(arguments, false);
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, run, argc, argv); }
