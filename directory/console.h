// The console commands: clearing the screen and waiting for a key. On
// Windows they are handed to the command interpreter; elsewhere they are
// done directly on the terminal, and do nothing when the stream concerned
// is not a terminal, so piped runs carry only the program's own text.
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

// Flushes standard output, then carries out the command.
void runConsoleCommand(ConsoleCommand command);

#endif  // DIRECTORY_CONSOLE_H
