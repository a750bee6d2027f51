// The console of a real session. The commands act only when standard input
// and output are both a terminal, so piped and redirected runs carry only
// the program's own text and never wait. On Windows they are handed to the
// command interpreter; elsewhere they are done directly on the terminal.
#ifndef DIRECTORY_TERMINAL_CONSOLE_H
#define DIRECTORY_TERMINAL_CONSOLE_H

#include "console.h"

class TerminalConsole final : public Console {
public:
    // Flushes standard output, then carries out the command in an
    // interactive session.
    void run(ConsoleCommand command) override;
};

#endif  // DIRECTORY_TERMINAL_CONSOLE_H
