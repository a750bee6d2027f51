// ======================================================================
//  Console layer: the only place that touches the terminal directly.
//
//  The commands act only in an interactive session, when standard input
//  and standard output are both a terminal (on Windows, a console).
//  Otherwise they do nothing, so a piped or redirected run carries exactly
//  the program's own text and never waits.
//
//  Windows: each command line goes to the command interpreter.
//  POSIX:   "cls" writes the clear-screen escape sequences (a line end on a
//           terminal without them); "pause"/"PAUSE" prompt and read one key
//           straight from the terminal in non-canonical, no-echo mode;
//           "exit" does nothing. The terminal's settings are saved once and
//           put back after every key, and by the signal handlers while a
//           key is awaited. That saved state is file-wide because the
//           signal handlers must reach it.
// ======================================================================
#include "terminal_console.h"

#include <iostream>

#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

namespace {

// A console, not just any character device: the NUL device is one too.
bool isConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

// True when standard input and output are both a console; asked once.
bool interactiveSession() {
    static const bool answer = isConsole(STD_INPUT_HANDLE) && isConsole(STD_OUTPUT_HANDLE);
    return answer;
}

// Hands the command line to the command interpreter and waits for it.
void carryOut(ConsoleCommand command) { std::system(commandLine(command)); }

}  // namespace

#else

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kCursorHome[] = "\x1b[H";     // CUP: cursor to the top left
constexpr char kEraseDisplay[] = "\x1b[2J";  // ED 2: blank the whole screen
constexpr char kPressAnyKey[] = "Press any key to continue . . . ";
constexpr unsigned char kEscape = 0x1b;
// How long the rest of a multi-byte key may lag behind its first byte.
constexpr int kKeyTailMillis = 100;

struct termios originalMode;  // as the terminal was found
volatile sig_atomic_t haveOriginalMode = 0;
volatile sig_atomic_t awaitingKey = 0;  // key mode is (to be) in force
volatile sig_atomic_t continued = 0;    // SIGCONT came since the last Ctrl-Z

// True when standard input and output are both a terminal; asked once.
bool interactiveSession() {
    static const bool answer = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
    return answer;
}

// A terminal that cannot take escape sequences, or an unknown one.
bool dumbTerminal() {
    const char* term = std::getenv("TERM");
    return term == nullptr || *term == '\0' || std::strcmp(term, "dumb") == 0;
}

// Puts the terminal back as it was found. Async-signal-safe.
void restoreTerminal() {
    if (haveOriginalMode) tcsetattr(STDIN_FILENO, TCSANOW, &originalMode);
}

// One key at a time, unechoed, every key a key: flow control (Ctrl-S,
// Ctrl-Q) and the extended keys (Ctrl-V, Ctrl-O) are off, while the signal
// keys (Ctrl-C, Ctrl-Z, Ctrl-\) keep their meaning. TCSANOW keeps
// type-ahead for later reads. False when the terminal refused the mode.
// Async-signal-safe.
bool applyKeyMode() {
    struct termios keyMode = originalMode;
    keyMode.c_iflag &= ~static_cast<tcflag_t>(IXON);
    keyMode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    keyMode.c_cc[VMIN] = 1;
    keyMode.c_cc[VTIME] = 0;
    while (tcsetattr(STDIN_FILENO, TCSANOW, &keyMode) == -1) {
        if (errno != EINTR) return false;
    }
    // tcsetattr succeeds when any part of the change was made: read it back.
    struct termios now {};
    return tcgetattr(STDIN_FILENO, &now) == 0 && (now.c_lflag & ICANON) == 0;
}

// Ctrl-C, SIGTERM, SIGHUP, Ctrl-\: restore the terminal, then die of the
// same signal as the program would have without this handler.
// The program dies here, so its coverage is never saved.
void onFatalSignal(int sig) {  // GCOVR_EXCL_START
    if (awaitingKey) restoreTerminal();
    (void)signal(sig, SIG_DFL);
    (void)raise(sig);
}  // GCOVR_EXCL_STOP

// `fg` or `bg`: the stop really happened.
void onContinue(int) { continued = 1; }

// Ctrl-Z: restore the terminal, stop, and on `fg` take key mode up again and
// show the prompt anew. Where nothing can resume the program (no shell with
// job control ran it), the kernel does not stop it: the wait just goes on.
void onStopSignal(int) {
    int savedErrno = errno;
    if (awaitingKey) restoreTerminal();
    continued = 0;
    (void)signal(SIGTSTP, SIG_DFL);
    sigset_t stopOnly;
    sigemptyset(&stopOnly);
    sigaddset(&stopOnly, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stopOnly, nullptr);
    (void)raise(SIGTSTP);  // stops here until continued

    struct sigaction again {};
    again.sa_handler = onStopSignal;
    again.sa_flags = SA_RESTART;
    sigemptyset(&again.sa_mask);
    sigaction(SIGTSTP, &again, nullptr);
    if (awaitingKey) {
        (void)applyKeyMode();
        if (continued) {
            ssize_t ignored = write(STDOUT_FILENO, kPressAnyKey, sizeof kPressAnyKey - 1);
            (void)ignored;
        }
    }
    errno = savedErrno;
}

// A signal the program was started with ignored (under nohup, say) stays
// ignored: the handler would otherwise make it end or stop the program.
void catchUnlessIgnored(int sig, const struct sigaction& action) {
    struct sigaction current {};
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
    sigaction(sig, &action, nullptr);
}

void installSignalHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = onFatalSignal;
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) catchUnlessIgnored(sig, action);
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESTART;
    catchUnlessIgnored(SIGTSTP, action);
    action.sa_handler = onContinue;
    catchUnlessIgnored(SIGCONT, action);
}

// Saves the terminal's settings the first time a key is awaited.
bool saveOriginalModeOnce() {
    if (haveOriginalMode) return true;
    if (tcgetattr(STDIN_FILENO, &originalMode) == -1) return false;
    haveOriginalMode = 1;
    installSignalHandlers();
    return true;
}

// Reads one byte from the terminal, waiting at most timeoutMillis (or for
// ever when negative). False on timeout, end of input or error.
bool readByte(unsigned char& byte, int timeoutMillis) {
    for (;;) {
        if (timeoutMillis >= 0) {
            struct pollfd ready = {STDIN_FILENO, POLLIN, 0};
            int polled = poll(&ready, 1, timeoutMillis);
            if (polled == -1 && errno == EINTR) continue;
            // An error or hang-up instead of input would block the read.
            if (polled != 1 || (ready.revents & POLLIN) == 0) return false;
        }
        ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got == 1) return true;
        if (got == -1 && errno == EINTR) continue;
        return false;
    }
}

bool isFinalByte(unsigned char byte) { return byte >= 0x40 && byte <= 0x7e; }

// Consumes the rest of an escape sequence after its ESC: CSI (ESC [ ...
// final byte), the Linux console's F1 to F5 (ESC [ [ A to E), SS3 (ESC O x),
// or ESC plus one key (Alt-x). A lone ESC is the Escape key itself.
void consumeEscapeSequence() {
    unsigned char byte = 0;
    if (!readByte(byte, kKeyTailMillis)) return;
    if (byte == 'O') {
        readByte(byte, kKeyTailMillis);
    } else if (byte == '[' && readByte(byte, kKeyTailMillis)) {
        if (byte == '[') {
            readByte(byte, kKeyTailMillis);
            return;
        }
        while (!isFinalByte(byte) && readByte(byte, kKeyTailMillis)) {
        }
    }
}

// Consumes the continuation bytes of a UTF-8 character whose lead is lead.
void consumeUtf8Tail(unsigned char lead) {
    int tail = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
    unsigned char byte = 0;
    while (tail-- > 0 && readByte(byte, kKeyTailMillis)) {
    }
}

// Waits for one key press; every byte the key sends is consumed.
void readOneKey() {
    unsigned char first = 0;
    if (!readByte(first, -1)) return;
    if (first == kEscape) {
        consumeEscapeSequence();
    } else {
        consumeUtf8Tail(first);
    }
}

// Reads and drops everything up to the next line end (or end of input).
void skipLine() {
    unsigned char byte = 0;
    while (readByte(byte, -1) && byte != '\n') {
    }
}

// Blanks the screen, cursor at the top left; a line end on a dumb terminal.
void clearScreen() {
    if (dumbTerminal()) {
        std::cout << '\n';
    } else {
        std::cout << kCursorHome << kEraseDisplay;
    }
    std::cout << std::flush;
}

// Waits for one key in key mode. A terminal that cannot be put in key mode
// still echoes and edits lines, so there a line end continues.
void waitForKey() {
    std::cout << kPressAnyKey << std::flush;
    bool keyMode = false;
    if (saveOriginalModeOnce()) {
        awaitingKey = 1;
        keyMode = applyKeyMode();
        if (keyMode) readOneKey();
        restoreTerminal();
        awaitingKey = 0;
    }
    if (keyMode) {
        std::cout << '\n' << std::flush;
    } else {
        skipLine();  // the terminal echoed the line end
    }
}

// Carries out the command on the terminal.
void carryOut(ConsoleCommand command) {
    switch (command) {
        case ConsoleCommand::ClearScreen: clearScreen(); break;
        case ConsoleCommand::Pause:
        case ConsoleCommand::FinalPause: waitForKey(); break;
        case ConsoleCommand::Exit: break;
    }
}

}  // namespace

#endif

void TerminalConsole::run(ConsoleCommand command) {
    std::cout.flush();
    if (interactiveSession()) carryOut(command);
}
