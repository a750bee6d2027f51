// A console that carries out nothing and notes each command in standard
// output instead ("[cls]", "[pause]", "[PAUSE]", "[exit]", each on a line of
// its own), so a test sees exactly where the commands fall among the texts.
#include <iostream>

#include "console.h"

void runConsoleCommand(ConsoleCommand command) { std::cout << '[' << commandLine(command) << "]\n"; }
