#include "check_file.h"

#include <algorithm>
#include <ostream>

#include "data_file.h"
#include "diagnostic.h"
#include "file_layout.h"
#include "findings.h"
#include "loaded_entries.h"
#include "message_text.h"

namespace {

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Writes each finding and the summary line; returns how many are errors.
// The file's name is escaped as the file's bytes are, so that no line of
// the report sends a control byte to the terminal, and cut when long.
std::size_t report(const std::string& name, const Findings& findings, std::size_t loaded, std::ostream& out) {
    std::size_t errors = 0;
    for (const Finding& finding : findings) {
        errors += finding.severity == Severity::Error ? 1 : 0;
        out << diagnosticLine(name, finding) << '\n';
    }
    out << shownPath(name) << ": " << counted(loaded, "entry", "entries") << " loaded, "
        << counted(errors, "error", "errors") << ", "
        << counted(findings.size() - errors, "warning", "warnings") << '\n';
    return errors;
}

}  // namespace

int checkDataFile(std::string_view program, const std::string& path, std::ostream& out, std::ostream& err) {
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) {
        err << problemLine(program, path, file.failure) << '\n';
        return kCheckFailed;
    }
    FileLayout layout;
    EntryReader reader(file.stream, &layout);
    LoadedDirectory directory = loadEntries(reader);
    const LoadResult& loaded = directory.loaded;
    layout.loadEnded(loaded);
    if (reader.readToEnd()) layout.fileEnded();
    if (reader.readFailed()) {
        err << problemLine(program, path, reader.failure()) << '\n';
        return kCheckFailed;
    }
    Findings findings;
    // The layout of a file that is no data file says nothing of use.
    if (!loaded.notADataFile()) checkLayout(layout, findings);
    checkEntries(directory, layout, findings);
    checkSameLastNames(directory, findings);
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    std::size_t errors = report(path, findings, loaded.entries.size(), out);
    return errors > 0 ? kCheckErrors : kCheckClean;
}
