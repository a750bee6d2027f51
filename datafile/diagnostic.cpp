#include "diagnostic.h"

#include "message_text.h"

namespace {

const char* severityWord(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

}  // namespace

std::string diagnosticLine(std::string_view path, const Diagnostic& diagnostic) {
    std::string line = shownPath(path);
    if (diagnostic.line > 0) {
        line += ':' + std::to_string(diagnostic.line);
        if (diagnostic.column > 0) line += ':' + std::to_string(diagnostic.column);
    }
    return line + ": " + severityWord(diagnostic.severity) + ": " + diagnostic.message;
}

std::string problemLine(std::string_view program, std::string_view path, std::string_view reason) {
    std::string line(program);
    return line.append(": ").append(shownPath(path)).append(": ").append(reason);
}
