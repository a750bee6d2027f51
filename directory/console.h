// The console commands the screens give: clearing the screen and waiting
// for a key. A session is handed the console that carries them out: the
// terminal's (terminal_console.h) in the program, a recording one in tests.
#ifndef DIRECTORY_CONSOLE_H
#define DIRECTORY_CONSOLE_H

enum class ConsoleCommand {
    ClearScreen,  // "cls"
    Pause,        // "pause": press-a-key prompt and wait
    FinalPause,   // "PAUSE": the same, once before the program ends
    Exit,         // "exit": Quit's command; has no effect
};

// The command line the Windows command interpreter is given.
inline const char* commandLine(ConsoleCommand command) {
    switch (command) {
        case ConsoleCommand::ClearScreen: return "cls";
        case ConsoleCommand::Pause: return "pause";
        case ConsoleCommand::FinalPause: return "PAUSE";
        case ConsoleCommand::Exit: return "exit";
    }
    return "";  // GCOVR_EXCL_LINE: every command is named above
}

class Console {
public:
    virtual ~Console() = default;
    // Carries out command, after what the screens wrote to standard output.
    virtual void run(ConsoleCommand command) = 0;
};

#endif  // DIRECTORY_CONSOLE_H
