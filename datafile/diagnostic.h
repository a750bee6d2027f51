// The two forms every program tells a problem in, made here alone:
// "FILE:LINE[:COLUMN]: severity: message" about a place in a file, in the
// form editors and compilers use, and "PROGRAM: PATH: reason" about a file
// as a whole. The program's name is its caller's to give.
#ifndef DATAFILE_DIAGNOSTIC_H
#define DATAFILE_DIAGNOSTIC_H

#include <string>
#include <string_view>

enum class Severity {
    Error,    // what the file holds is not loaded, or not as written
    Warning,  // it loads, but probably not as meant
};

// A problem at a place in a file. Line 0 is the file as a whole, column 0
// a whole line: the line leaves them out.
struct Diagnostic {
    long long line = 0;
    long long column = 0;
    Severity severity = Severity::Error;
    std::string message;  // already escaped where it quotes the file
};

// "FILE:LINE:COLUMN: severity: message", without a line end; path as
// shownPath shows it.
std::string diagnosticLine(std::string_view path, const Diagnostic& diagnostic);

// "PROGRAM: PATH: reason", without a line end; path as shownPath shows it.
std::string problemLine(std::string_view program, std::string_view path, std::string_view reason);

#endif  // DATAFILE_DIAGNOSTIC_H
