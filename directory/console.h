// The console commands: clearing the screen and waiting for a key. They act
// only when standard input and output are both a terminal, so piped and
// redirected runs carry only the program's own text and never wait. On
// Windows they are handed to the command interpreter; elsewhere they are
// done directly on the terminal.
#ifndef DIRECTORY_CONSOLE_H
#define DIRECTORY_CONSOLE_H

enum class ConsoleCommand {
    ClearScreen,  // "cls"
    Pause,        // "pause": press-a-key prompt and wait
    FinalPause,   // "PAUSE": the same, once before the program ends
    Exit,         // "exit": Quit's command; has no effect
};

// The command line the Windows command interpreter is given.
const char* commandLine(ConsoleCommand command);

// Flushes standard output, then carries out the command in an interactive
// session.
void runConsoleCommand(ConsoleCommand command);

#endif  // DIRECTORY_CONSOLE_H
