// telelist-query's work: load the data file as teledir does, look up the
// entries, write them, and tell why when there are none.
#ifndef QUERY_QUERY_RUN_H
#define QUERY_QUERY_RUN_H

#include <iosfwd>
#include <string>

#include "data_file.h"
#include "lookup.h"
#include "output.h"

// Exit statuses, as grep's.
constexpr int kQueryFound = 0;   // at least one entry found
constexpr int kQueryMissed = 1;  // none
constexpr int kQueryFailed =
    2;  // the file cannot be read or is no data file, the output not written, or wrong arguments

struct QueryOptions {
    std::string program;  // the name problems are told under
    std::string file = kDataFileName;
    Query query;
    OutputFormat format = OutputFormat::Lines;
    bool why = false;  // --why
};

// Runs the lookup: the entries found on out, a problem that ended the load
// early ("FILE:LINE:COLUMN: error: ...") and, with --why, why nothing was
// found on err; a file that cannot be read as "PROGRAM: FILE: reason".
// Returns the exit status.
int runQuery(const QueryOptions& options, std::ostream& out, std::ostream& err);

#endif  // QUERY_QUERY_RUN_H
