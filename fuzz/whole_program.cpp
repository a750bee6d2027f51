// Whole-program fuzz target: one run of the directory program in-process.
//
// Input: the data file's bytes, one 0xFF byte, then what the user types.
// Without a 0xFF byte the whole input is typed and there is no data file.
// The run happens in a private temporary directory (entered for the run
// only, so libFuzzer's relative paths keep working) with standard input,
// output and error redirected to string streams and a console that only
// records its commands. Afterwards the run is checked: exit status 0, the
// start-up and closing texts, the order of the console commands, what each
// screen starts with, and the sorted table against a model of the load. A
// data file with a 17th entry must instead end the run at start-up with
// status 1, the index message last on standard error and the first 16
// entries loaded.
//
// telelist-check then checks the same data file in-process: it must count
// as many entries loaded as the directory filled slots, and report an
// error exactly when the model finds the file cut short, stopped by an
// area code that is not a number, or too long.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "console.h"
#include "file_check.h"
#include "startup.h"
#include "table.h"

namespace {

// Empties every slot again, as a fresh process would find the table.
void clearDirectory() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        firstName[slot] = "";
        lastName[slot] = "";
        areaCode[slot] = 0;
        number[slot] = "";
    }
}

struct Command {
    ConsoleCommand command;
    std::streamoff at;  // how much output came before it
};
std::vector<Command> commands;

constexpr char kStart[] =
    "Alphabetically sorting data file by last name...\n\nOne moment please..."
    "File Sorting Complete.\n\n";
constexpr char kMainMenu[] =
    "Menu Options:\n (1) Search for a Name\n (2) Search for a Number\n (3) Display Full List\n"
    " (4) Quit\n: ";
constexpr char kInvalid[] = "\n\nInvalid Menu Option\n\n";
// What a cleared screen shows first, one per screen.
const char* const kScreenStarts[] = {kMainMenu,
                                     "Search Options by Name:\n",
                                     "\n1)\t",
                                     "Searching Telephone Directory by Phone Number:\n",
                                     "Enter Last Name to Find: ",
                                     "Enter First Name to Find: "};

std::string workDir;  // under $TMPDIR, else /tmp
int homeDir = -1;     // where libFuzzer was started

void removeWorkDir() {
    std::remove((workDir + "/telelist.dat").c_str());
    rmdir(workDir.c_str());
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "whole program: %s\n", what);
    std::abort();
}

bool startsWith(const std::string& s, std::size_t at, const char* prefix) {
    return s.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool endsWith(const std::string& s, const char* suffix) {
    std::size_t n = std::char_traits<char>::length(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

struct Entry {
    std::string first, last, phone;
    int code = 0;
};

struct ModelLoad {
    std::size_t entries = 0;  // slots filled
    bool complete = true;     // no entry cut short or stopped by its area code
    bool tooMany = false;     // a 17th entry follows
};

// Loads the data file the way the program is meant to: four tokens per
// entry, an area code that is not a number ends the load, a 17th entry is
// not read.
ModelLoad modelLoad(const std::string& data, std::vector<Entry>& slots) {
    std::istringstream in(data);
    ModelLoad load;
    for (; in && !(in >> std::ws).eof(); ++load.entries) {
        if (load.entries == slots.size()) {
            load.tooMany = true;
            break;
        }
        Entry& e = slots[load.entries];
        in >> e.first >> e.last;
        int code = 0;
        bool codeRead = static_cast<bool>(in >> code);
        if (codeRead) e.code = code;
        in >> e.phone;
        load.complete = load.complete && codeRead && !e.phone.empty();
    }
    return load;
}

// Selection sort on the last name, first smallest name of each pass.
void modelSort(std::vector<Entry>& slots) {
    for (std::size_t k = 0; k + 1 < slots.size(); ++k) {
        std::size_t minPosition = k;
        for (std::size_t j = k + 1; j < slots.size(); ++j)
            if (slots[j].last < slots[minPosition].last) minPosition = j;
        if (minPosition != k) std::swap(slots[k], slots[minPosition]);
    }
}

std::string text(const apstring& s) { return std::string(s.c_str(), s.length()); }

void checkTable(const std::vector<Entry>& slots) {
    for (int i = 0; i < kSlotCount; ++i) {
        const Entry& e = slots[i];
        if (text(firstName[i]) != e.first || text(lastName[i]) != e.last || text(number[i]) != e.phone ||
            areaCode[i] != e.code)
            fail("table differs from the loaded and sorted data file");
    }
}

void checkCommands(const std::string& out) {
    std::size_t n = commands.size();
    if (n < 4 || commands[0].command != ConsoleCommand::ClearScreen ||
        commands[1].command != ConsoleCommand::Pause)
        fail("start-up commands");
    if (commands[n - 2].command != ConsoleCommand::Exit ||
        commands[n - 1].command != ConsoleCommand::FinalPause ||
        commands[n - 1].at != static_cast<std::streamoff>(out.size()))
        fail("a run must end with exit, then PAUSE");
    for (std::size_t i = 0; i < n; ++i) {
        const Command& c = commands[i];
        if (i + 2 < n && (c.command == ConsoleCommand::Exit || c.command == ConsoleCommand::FinalPause))
            fail("exit or PAUSE before the end");
        if (c.command == ConsoleCommand::Pause && (c.at == 0 || out[c.at - 1] != '\n'))
            fail("a pause that does not follow a finished line");
        if (c.command == ConsoleCommand::ClearScreen && i > 0) {
            bool known = false;
            for (const char* start : kScreenStarts) known = known || startsWith(out, c.at, start);
            if (!known) fail("a cleared screen that starts with no screen's text");
        }
    }
}

constexpr char kIndexMessage[] = "Illegal vector index: 16 max index = 15\n";

// A 17th entry: the start-up text only, no console command, the message
// last on standard error, and the first 16 entries loaded but not sorted.
void checkTooMany(int status, const std::string& shown, const std::string& errors,
                  const std::vector<Entry>& slots) {
    if (status != 1) fail("a 17th entry must end the program with status 1");
    if (shown != "Alphabetically sorting data file by last name...\n\nOne moment please...")
        fail("a 17th entry: output after the start-up text");
    if (!commands.empty()) fail("a 17th entry: a console command");
    if (!endsWith(errors, kIndexMessage)) fail("a 17th entry: the index message is not the last line");
    checkTable(slots);
}

// Slots the directory's load filled: every entry has a first name.
std::size_t filledSlots() {
    std::size_t filled = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) filled += firstName[slot].length() > 0 ? 1 : 0;
    return filled;
}

// telelist-check on the same file, with the table as a fresh process has it.
void checkChecker(const ModelLoad& load, std::size_t directoryLoaded) {
    clearDirectory();
    std::ostringstream out, err;
    int status = checkDataFile("telelist.dat", out, err);
    const std::string report = out.str();
    std::size_t summary = report.rfind("telelist.dat: ");
    if (summary == std::string::npos || !err.str().empty()) fail("telelist-check: no summary line");
    std::size_t counted =
        std::stoul(report.substr(summary + std::char_traits<char>::length("telelist.dat: ")));
    if (counted != directoryLoaded || counted != load.entries)
        fail("telelist-check counts other entries loaded than the directory");
    if (status != (load.complete && !load.tooMany ? 0 : 1))
        fail("telelist-check: an error reported for a sound file, or none for a broken one");
}

}  // namespace

// The program's console, recording instead of touching a terminal.
void runConsoleCommand(ConsoleCommand command) {
    std::cout.flush();
    commands.push_back({command, std::cout.tellp()});
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/teledir-fuzz-XXXXXX";
    homeDir = open(".", O_RDONLY | O_DIRECTORY);
    if (homeDir < 0 || mkdtemp(pattern.data()) == nullptr) {
        std::perror("whole program: temporary directory");
        std::exit(2);
    }
    workDir = pattern;
    std::atexit(removeWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (chdir(workDir.c_str()) != 0) fail("cannot enter the temporary directory");
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\xFF');
    std::vector<Entry> slots(kSlotCount);
    ModelLoad load;
    std::remove("telelist.dat");
    std::string typed = input;
    bool haveFile = split != std::string::npos;
    if (haveFile) {
        std::string file = input.substr(0, split);
        typed = input.substr(split + 1);
        load = modelLoad(file, slots);
        std::FILE* f = std::fopen("telelist.dat", "wb");
        if (f == nullptr || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0)
            fail("cannot write telelist.dat");
    }

    std::istringstream in(typed);
    std::ostringstream out, err;
    std::streambuf* oldIn = std::cin.rdbuf(in.rdbuf());
    std::streambuf* oldOut = std::cout.rdbuf(out.rdbuf());
    std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
    std::cin.clear();
    commands.clear();
    clearDirectory();
    int status = runDirectory();
    std::cin.rdbuf(oldIn);
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    std::cin.clear();

    const std::string shown = out.str();
    if (load.tooMany) {
        checkTooMany(status, shown, err.str(), slots);
    } else {
        modelSort(slots);
        if (status != 0) fail("exit status is not 0");
        if (!startsWith(shown, 0, kStart)) fail("start-up text");
        if (!endsWith(shown, kMainMenu) && !endsWith(shown, kInvalid)) fail("a run ends at a menu");
        if (!haveFile && err.str().rfind("telelist.dat: warning: cannot open: ", 0) != 0)
            fail("no message about a missing data file");
        if (haveFile && load.complete && !err.str().empty())
            fail("message on standard error for a well-formed data file");
        checkCommands(shown);
        checkTable(slots);
    }
    if (haveFile) checkChecker(load, filledSlots());
    if (fchdir(homeDir) != 0) fail("cannot return from the temporary directory");
    return 0;
}
