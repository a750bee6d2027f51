#include "query_run.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "entry_reader.h"
#include "load_problems.h"
#include "message_text.h"
#include "unread_words.h"
#include "why.h"

namespace {

int cannotRead(const std::string& path, const std::string& failure, std::ostream& err) {
    err << "telelist-query: " << shownPath(path) << ": " << failure << '\n';
    return kQueryFailed;
}

bool searchesLastName(const Query& query) {
    return std::any_of(query.criteria.begin(), query.criteria.end(),
                       [](const Criterion& criterion) { return criterion.field == Field::Last; });
}

}  // namespace

int runQuery(const QueryOptions& options, std::ostream& out, std::ostream& err) {
    OpenedFile file = openDataFile(options.file);
    if (!file.isOpen()) return cannotRead(options.file, file.failure, err);
    // Only --why reads past the load, and only it needs the words noted.
    std::unique_ptr<UnreadWords> unread = options.why ? std::make_unique<UnreadWords>() : nullptr;
    EntryReader reader(file.stream, unread.get());
    DirectoryEntries directory = loadEntries(reader);
    if (!directory.loaded.readFailure.empty())
        return cannotRead(options.file, directory.loaded.readFailure, err);
    if (std::optional<LoadProblem> problem = loadProblem(directory.loaded)) {
        err << shownPath(options.file) << ':' << problem->line << ':' << problem->column << ": "
            << severityWord(problem->severity) << ": " << problem->message << '\n';
    }
    // A file that is no data file cannot be searched: not a "not found".
    if (directory.loaded.notADataFile()) return kQueryFailed;

    std::vector<std::size_t> found = matchingEntries(options.query, directory.entries);
    bool lastName = searchesLastName(options.query);
    // With --number, how each entry's number answers it.
    auto number = std::find_if(options.query.criteria.begin(), options.query.criteria.end(),
                               [](const Criterion& criterion) { return criterion.field == Field::Number; });
    for (std::size_t k : found) {
        const Entry& entry = directory.entries[k];
        std::optional<CallerIdMatch> match;
        if (number != options.query.criteria.end()) match = Matcher(*number, false).numberMatch(entry);
        out << entryLine(entry, options.format, lastName, match ? &*match : nullptr);
    }
    if (!options.why) return found.empty() ? kQueryMissed : kQueryFound;

    std::vector<std::string> lines;
    if (found.empty()) {
        auto searchUnread = [&](UnreadWords::Wanted wanted) {
            unread->lookFrom(*unreadFrom(directory.loaded), std::move(wanted));
            UnreadFound found;
            if (reader.readToEnd(kUnreadLimit)) {
                unread->fileEnded();
            } else {
                // A read error stops it too; a field too long leaves nothing
                // to search.
                found.stoppedAtLimit = !reader.readFailed();
            }
            found.line = unread->foundLine();
            found.lastLine = unread->line();
            return found;
        };
        lines = whyNotFound(options.query, directory, searchUnread);
    } else if (lastName) {
        lines = unshownEntries(directory.entries, found);
    }
    out.flush();  // the entries before what is said of them, where both go to one terminal
    for (const std::string& line : lines) err << line << '\n';
    if (reader.readFailed()) return cannotRead(options.file, reader.failure(), err);
    return found.empty() ? kQueryMissed : kQueryFound;
}
