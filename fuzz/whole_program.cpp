// Whole-program fuzz target: one run of the directory program in-process.
//
// Input: the data file's bytes, one 0xFF byte, then what the user types.
// Without a 0xFF byte the whole input is typed and there is no data file.
// The run happens in a private temporary directory (entered for the run
// only, so libFuzzer's relative paths keep working) with standard input,
// output and error redirected to string streams and a console that only
// records its commands. Afterwards the run is checked: exit status 0, the
// start-up and closing texts, the order of the console commands, what each
// screen starts with, and the sorted table against a model of the load: the
// same entries, in order of last name. A
// data file with a 17th entry must instead end the run at start-up with
// status 1, the index message last on standard error and the first 16
// entries loaded.
//
// telelist-check then checks the same data file in-process: it must count
// as many entries loaded as the directory filled slots, and report an
// error exactly when the model finds the file cut short, stopped by an
// area code that is not a number, or too long, or when it is UTF-16.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "check_file.h"
#include "entry_reader.h"
#include "screen_texts.h"
#include "startup.h"

namespace {

using namespace screen_texts;

struct Command {
    ConsoleCommand command;
    std::streamoff at;  // how much output came before it
};

// The program's console, recording instead of touching a terminal.
class RecordingConsole final : public Console {
public:
    void run(ConsoleCommand command) override {
        std::cout.flush();
        commands.push_back({command, std::cout.tellp()});
    }
    std::vector<Command> commands;
};

// What a cleared screen shows first, one per screen.
const std::string kScreenStarts[] = {kMainMenu,       kNameMenu.substr(0, kNameMenu.find('\n') + 1),
                                     "\n1)\t",        kNumberSearch,
                                     kLastNamePrompt, kFirstNamePrompt};

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

bool startsWith(const std::string& s, std::size_t at, const std::string& prefix) {
    return s.compare(at, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct Entry {
    std::string first, last, phone;
    int code = 0;
    bool operator<(const Entry& other) const {
        return std::tie(last, first, phone, code) <
               std::tie(other.last, other.first, other.phone, other.code);
    }
    bool operator==(const Entry& other) const {
        return std::tie(last, first, phone, code) ==
               std::tie(other.last, other.first, other.phone, other.code);
    }
};

struct ModelLoad {
    std::size_t entries = 0;  // slots filled
    bool complete = true;     // no entry cut short or stopped by its area code
    bool tooMany = false;     // a 17th entry follows
};

// Reads one word; a word longer than the data file's field limit becomes
// the empty text and ends the load.
bool readField(std::istream& in, std::string& field) {
    in >> field;
    if (field.size() <= kFieldLimit) return true;
    field.clear();
    return false;
}

// The sign and digits that an int read at data[at] would take.
std::size_t numberLength(const std::string& data, std::size_t at) {
    std::size_t length = 0;
    if (at < data.size() && (data[at] == '+' || data[at] == '-')) ++length;
    while (at + length < data.size() && data[at + length] >= '0' && data[at + length] <= '9') ++length;
    return length;
}

// Loads the data file the way the program is meant to: four tokens per
// entry, an area code that is not a number or a field longer than the
// limit ends the load, a 17th entry is not read.
ModelLoad modelLoad(const std::string& data, std::vector<Entry>& slots) {
    std::istringstream in(data);
    ModelLoad load;
    for (; in && !(in >> std::ws).eof(); ++load.entries) {
        if (load.entries == slots.size()) {
            load.tooMany = true;
            break;
        }
        Entry& e = slots[load.entries];
        bool whole = readField(in, e.first) && readField(in, e.last);
        int code = 0;
        bool codeRead = false;
        if (whole) {
            in >> std::ws;
            if (in.good() && numberLength(data, static_cast<std::size_t>(in.tellg())) <= kFieldLimit)
                codeRead = static_cast<bool>(in >> code);
        }
        if (codeRead) e.code = code;
        whole = codeRead && readField(in, e.phone);
        load.complete = load.complete && whole && !e.phone.empty();
        if (!whole) {
            ++load.entries;
            break;
        }
    }
    return load;
}

std::string text(const apstring& s) { return std::string(s.c_str(), s.length()); }

std::vector<Entry> entriesOf(const DirectoryTable& table) {
    std::vector<Entry> entries(kSlotCount);
    for (int i = 0; i < kSlotCount; ++i)
        entries[i] = {text(table.firstName[i]), text(table.lastName[i]), text(table.number[i]),
                      table.areaCode[i]};
    return entries;
}

// The table holds exactly the loaded slots, in file order.
void checkLoaded(const DirectoryTable& table, const std::vector<Entry>& slots) {
    if (entriesOf(table) != slots) fail("table differs from the loaded data file");
}

// The table holds the loaded slots, whole, in ascending order of last name
// (bytes compared as unsigned, as std::string does).
void checkSorted(const DirectoryTable& table, std::vector<Entry> slots) {
    std::vector<Entry> sorted = entriesOf(table);
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i].last < sorted[i - 1].last) fail("table not in order of last name");
    std::sort(slots.begin(), slots.end());
    std::sort(sorted.begin(), sorted.end());
    if (sorted != slots) fail("the sorted table holds other entries than the data file");
}

void checkCommands(const std::vector<Command>& commands, const std::string& out) {
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
            for (const std::string& start : kScreenStarts) known = known || startsWith(out, c.at, start);
            if (!known) fail("a cleared screen that starts with no screen's text");
        }
    }
}

// A 17th entry: the start-up text only, no console command, the message
// last on standard error, and the first 16 entries loaded but not sorted.
void checkTooMany(int status, const std::string& shown, const std::string& errors, bool commandGiven,
                  const DirectoryTable& table, const std::vector<Entry>& slots) {
    if (status != 1) fail("a 17th entry must end the program with status 1");
    if (shown != kStartupText) fail("a 17th entry: output after the start-up text");
    if (commandGiven) fail("a 17th entry: a console command");
    if (!endsWith(errors, kIndexMessage)) fail("a 17th entry: the index message is not the last line");
    checkLoaded(table, slots);
}

// telelist-check on the same file: it counts the entries the model loaded,
// which the directory's table holds.
void checkChecker(const ModelLoad& load) {
    std::ostringstream out, err;
    int status = checkDataFile("telelist-check", "telelist.dat", out, err);
    const std::string report = out.str();
    std::size_t summary = report.rfind("telelist.dat: ");
    if (summary == std::string::npos || !err.str().empty()) fail("telelist-check: no summary line");
    std::size_t counted =
        std::stoul(report.substr(summary + std::char_traits<char>::length("telelist.dat: ")));
    if (counted != load.entries) fail("telelist-check counts other entries loaded than the directory");
    if (status != (load.complete && !load.tooMany ? 0 : 1))
        fail("telelist-check: an error reported for a sound file, or none for a broken one");
}

}  // namespace

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
    OwnedTable table;
    RecordingConsole console;
    int status = runDirectory("telephone directory", table.columns(), console);
    std::cin.rdbuf(oldIn);
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    std::cin.clear();

    const std::string shown = out.str();
    // A file taken for UTF-16 loads nothing. Its text is paired with NUL
    // bytes, unless a byte-order mark starts it (only FE FF can here).
    if (haveFile && err.str().find("is UTF-16") != std::string::npos) {
        const std::string file = input.substr(0, split);
        if (file.find('\0') == std::string::npos && file.rfind("\xFE\xFF", 0) != 0)
            fail("a file with no NUL byte and no byte-order mark taken for UTF-16");
        slots.assign(kSlotCount, Entry{});
        load = ModelLoad{};
        load.complete = false;  // telelist-check reports it as an error
    }
    // A file taken for a vCard or CSV address book loads nothing either,
    // and telelist-check reports it as an error.
    if (haveFile && err.str().find("address book") != std::string::npos &&
        err.str().find("which the directory cannot read") != std::string::npos) {
        slots.assign(kSlotCount, Entry{});
        load = ModelLoad{};
        load.complete = false;
    }
    if (load.tooMany) {
        checkTooMany(status, shown, err.str(), !console.commands.empty(), table.columns(), slots);
    } else {
        if (status != 0) fail("exit status is not 0");
        if (!startsWith(shown, 0, kStart)) fail("start-up text");
        if (!endsWith(shown, kMainMenu) && !endsWith(shown, kInvalid)) fail("a run ends at a menu");
        if (!haveFile && err.str().rfind("telelist.dat: warning: cannot open: ", 0) != 0)
            fail("no message about a missing data file");
        if (haveFile && load.complete && !err.str().empty())
            fail("message on standard error for a well-formed data file");
        checkCommands(console.commands, shown);
        checkSorted(table.columns(), slots);
    }
    if (haveFile) checkChecker(load);
    if (fchdir(homeDir) != 0) fail("cannot return from the temporary directory");
    return 0;
}
