// How a run of the data file's command-line tools (telelist-check,
// telelist-convert) ends, the same for both.
#ifndef DATAFILE_TOOL_RUN_H
#define DATAFILE_TOOL_RUN_H

// Returns run(argc, argv). A result that did not reach standard output (a
// full disk, a closed stream) is a failure whatever the run found, and so
// is exhausted memory: either gets "PROGRAM: ..." on standard error and
// failedStatus.
int runTool(const char* program, int failedStatus, int (*run)(int, char**), int argc, char** argv);

#endif  // DATAFILE_TOOL_RUN_H
