// teledir with a console that carries out nothing and notes each command in
// standard output instead ("[cls]", "[pause]", "[PAUSE]", "[exit]", each on
// a line of its own), so a test sees exactly where the commands fall among
// the texts.
#include <iostream>

#include "startup.h"

namespace {

class RecordingConsole final : public Console {
public:
    void run(ConsoleCommand command) override { std::cout << '[' << commandLine(command) << "]\n"; }
};

}  // namespace

int main() {
    OwnedTable table;
    RecordingConsole console;
    return runDirectory("telephone directory", table.columns(), console);
}
