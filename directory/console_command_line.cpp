#include "console.h"

const char* commandLine(ConsoleCommand command) {
    switch (command) {
        case ConsoleCommand::ClearScreen: return "cls";
        case ConsoleCommand::Pause: return "pause";
        case ConsoleCommand::FinalPause: return "PAUSE";
        case ConsoleCommand::Exit: return "exit";
    }
    return "";  // GCOVR_EXCL_LINE: every command is named above
}
