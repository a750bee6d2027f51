#include "check_file.h"

#include <algorithm>
#include <ostream>

#include "data_file.h"
#include "file_layout.h"
#include "findings.h"
#include "load.h"
#include "message_text.h"

namespace {

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Writes each finding and the summary line; returns how many are errors.
// The file's name is escaped as the file's bytes are, so that no line of
// the report sends a control byte to the terminal, and cut when long.
std::size_t report(const std::string& name, const Findings& findings, std::size_t loaded, std::ostream& out) {
    std::string path = shownPath(name);
    std::size_t errors = 0;
    for (const Finding& finding : findings) {
        errors += finding.severity == Severity::Error ? 1 : 0;
        out << path << ':' << finding.line << ':' << finding.column << ": " << severityWord(finding.severity)
            << ": " << finding.message << '\n';
    }
    out << path << ": " << counted(loaded, "entry", "entries") << " loaded, "
        << counted(errors, "error", "errors") << ", "
        << counted(findings.size() - errors, "warning", "warnings") << '\n';
    return errors;
}

}  // namespace

int checkDataFile(const std::string& path, std::ostream& out, std::ostream& err) {
    OpenedFile file = openDataFile(path);
    if (!file.isOpen()) {
        err << "telelist-check: " << shownPath(path) << ": " << file.failure << '\n';
        return kCheckFailed;
    }
    FileLayout layout;
    EntryReader reader(file.stream, &layout);
    OwnedTable table;
    LoadResult loaded = loadDirectory(reader, table.columns());
    layout.loadEnded(loaded);
    if (reader.readToEnd()) layout.fileEnded();
    if (reader.readFailed()) {
        err << "telelist-check: " << shownPath(path) << ": " << reader.failure() << '\n';
        return kCheckFailed;
    }
    Findings findings;
    // The layout of a file that is no data file says nothing of use.
    if (!loaded.notADataFile()) checkLayout(layout, findings);
    checkEntries(loaded, table.columns(), layout, findings);
    checkSameLastNames(loaded, table.columns(), findings);
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    std::size_t errors = report(path, findings, loaded.entries.size(), out);
    return errors > 0 ? kCheckErrors : kCheckClean;
}
