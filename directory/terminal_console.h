// The console of a real session. The commands act only when standard input
// and output are both a terminal, so piped and redirected runs carry only
// the program's own text and never wait. On Windows they are handed to the
// command interpreter; elsewhere they are done directly on the terminal.
#ifndef DIRECTORY_TERMINAL_CONSOLE_H
#define DIRECTORY_TERMINAL_CONSOLE_H

#include "console.h"

class TerminalConsole final : public Console {
public:
    // On Windows, from the first console made to the end of the program,
    // each of standard input, output and error that is a console goes
    // through the console's UTF-16 calls: the UTF-8 written shows as the
    // characters it encodes (bytes that are not UTF-8 as U+FFFD), and what
    // is typed arrives as UTF-8. A session is handed its console, so all it
    // reads and writes goes this way. Pipes and files, and every stream
    // elsewhere, carry the program's bytes unchanged.
    TerminalConsole();

    // Flushes standard output, then carries out the command in an
    // interactive session.
    void run(ConsoleCommand command) override;
};

#endif  // DIRECTORY_TERMINAL_CONSOLE_H
