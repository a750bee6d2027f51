// teledir: the interactive telephone directory.
#include "startup.h"
#include "terminal_console.h"

// The directory table, constructed in this order before main and destroyed
// in reverse after it.
apvector<apstring> firstName(kSlotCount);
apvector<apstring> lastName(kSlotCount);
apvector<int> areaCode(kSlotCount);
apvector<apstring> number(kSlotCount);

// The name its messages on standard error give it.
constexpr char kProgram[] = "telephone directory";

int main() {
    TerminalConsole console;
    return runDirectory(kProgram, {firstName, lastName, areaCode, number}, console);
}
