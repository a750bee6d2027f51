// What the command-line tools (telelist-check, telelist-convert,
// telelist-query) share
// around their own work: --help and --version, usage errors, and how a run
// ends.
#ifndef CLI_TOOL_H
#define CLI_TOOL_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "command_line.h"

struct Tool {
    const char* name;     // "telelist-check"
    int failedStatus;     // wrong arguments, a result not written, a failed run (exhausted memory)
    void (*printHelp)();  // --help's text, on standard output
};

// Tells problem on standard error, then how to get help; returns the
// tool's failed status.
int usageError(const Tool& tool, const std::string& problem);

// Reads the command line (see ArgumentReader), handing each option and
// operand in turn to take, which returns a usage problem or an empty text.
// --help and --version print their text. Returns the status the run ends
// with when it ends there: 0 after --help or --version, the failed status
// after the first usage problem, which is told; nothing when every argument
// was taken.
std::optional<int> readArguments(const Tool& tool, int argc, char** argv, std::vector<Option> options,
                                 std::size_t operandLimit,
                                 const std::function<std::string(const Argument&)>& take);

// Returns run(argc, argv). A result that did not reach standard output (a
// full disk, a closed stream) is a failure whatever the run found, and so
// is an exception the run did not catch (exhausted memory, a text too long
// for a string): either gets "PROGRAM: ..." on standard error and
// the failed status. A write error gives the reason of the first write that
// failed, which may be long before the end of the run.
int runTool(const Tool& tool, int (*run)(int, char**), int argc, char** argv);

#endif  // CLI_TOOL_H
