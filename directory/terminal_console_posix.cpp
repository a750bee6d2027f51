// ======================================================================
//  The console layer on POSIX systems: the only place that touches the
//  terminal directly.
//
//  The commands act only in an interactive session, when standard input
//  and standard output are both a terminal. Otherwise they do nothing, so
//  a piped or redirected run carries exactly the program's own text and
//  never waits.
//
//  "cls" writes the clear-screen escape sequences (a line end on a terminal
//  without them); "pause"/"PAUSE" prompt and read one key straight from the
//  terminal in non-canonical, no-echo mode; "exit" does nothing. The
//  terminal's mode is saved at the first pause and put back after every
//  key, and by the signal handlers while a key is awaited.
// ======================================================================
#include "terminal_console.h"

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "ending_signals.h"

namespace {

constexpr char kCursorHome[] = "\x1b[H";     // CUP: cursor to the top left
constexpr char kEraseDisplay[] = "\x1b[2J";  // ED 2: blank the whole screen
constexpr char kPressAnyKey[] = "Press any key to continue . . . ";
constexpr unsigned char kEscape = 0x1b;
// How long the rest of a multi-byte key may lag behind its first byte.
constexpr int kKeyTailMillis = 100;

// What the pauses share with the signal handlers, all in one place, and
// file-wide because a handler can reach nothing else. Zero until the first
// pause sets it up (setUpOnce); the handlers are installed only then.
struct KeyWaitState {
    // The mode to put back: the terminal's at the first pause, or as the
    // shell gave it back after a stop (resumeWait). Meaningful once
    // haveOriginalMode is set; from then on written only by resumeWait, in
    // a handler, while awaitingKey.
    struct termios originalMode {};
    // 0 until setUpOnce has taken originalMode, 1 from then on; set before
    // the handlers are installed, so that they never find it 0.
    volatile sig_atomic_t haveOriginalMode = 0;
    // Counts how often resumeWait took originalMode anew, so that
    // applyKeyMode can tell that the mode it started from was replaced.
    volatile sig_atomic_t originalModeTaken = 0;
    // 1 exactly while a pause holds the terminal (KeyMode): from just before
    // key mode is set to just after originalMode is put back. The handlers
    // touch the terminal only then.
    volatile sig_atomic_t awaitingKey = 0;
    // 1 only inside onStopSignal, around the stop it raises: onContinue
    // leaves taking up the wait to it then.
    volatile sig_atomic_t stopping = 0;
    // Set by every SIGCONT and cleared by onStopSignal before it stops, so
    // that it can tell whether the program was really stopped and continued
    // (without job control the kernel discards the stop).
    volatile sig_atomic_t continued = 0;
};

KeyWaitState state;

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

// Only the foreground process group may set the terminal's mode: from the
// background the attempt stops the program (SIGTTOU), and the terminal is
// the shell's then anyway. Nothing stops the program on a terminal that is
// not this session's (tcgetpgrp fails) or has no foreground group: it is
// ours then. Async-signal-safe.
bool ownsTerminal() {
    pid_t foreground = tcgetpgrp(STDIN_FILENO);
    return foreground <= 0 || foreground == getpgrp();
}

// Puts the terminal back as it was found. Async-signal-safe.
void restoreTerminal() {
    if (state.haveOriginalMode && ownsTerminal()) tcsetattr(STDIN_FILENO, TCSANOW, &state.originalMode);
}

// One key at a time, unechoed, every key a key: flow control (Ctrl-S,
// Ctrl-Q) and the extended keys (Ctrl-V, Ctrl-O) are off, while the signal
// keys (Ctrl-C, Ctrl-Z, Ctrl-\) keep their meaning. TCSANOW keeps
// type-ahead for later reads. False when the terminal refused the mode.
// Made again when a stop during the change took the original mode anew.
// Async-signal-safe.
bool applyKeyMode() {
    int set = 0;
    sig_atomic_t madeFrom = 0;
    do {
        madeFrom = state.originalModeTaken;
        struct termios keyMode = state.originalMode;
        keyMode.c_iflag &= ~static_cast<tcflag_t>(IXON);
        keyMode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
        keyMode.c_cc[VMIN] = 1;
        keyMode.c_cc[VTIME] = 0;
        set = tcsetattr(STDIN_FILENO, TCSANOW, &keyMode);
    } while ((set == -1 && errno == EINTR) || madeFrom != state.originalModeTaken);
    if (set == -1) return false;
    // tcsetattr succeeds when any part of the change was made: read it back.
    struct termios now {};
    return tcgetattr(STDIN_FILENO, &now) == 0 && (now.c_lflag & ICANON) == 0;
}

// A signal that ends the program: restore the terminal, then die of the
// same signal as the program would have without this handler. A fault
// (SIGSEGV and the like) raised again here is delivered as the handler
// returns, before the faulting instruction could run again.
// The program dies here, so its coverage is never saved.
void onFatalSignal(int sig) {  // GCOVR_EXCL_START
    if (state.awaitingKey) restoreTerminal();
    (void)signal(sig, SIG_DFL);
    (void)raise(sig);
}  // GCOVR_EXCL_STOP

// Takes up the wait again after the program was continued (promptAgain:
// the shell has written below the prompt meanwhile), or after a Ctrl-Z that
// did not stop it. Unless the terminal is still in key mode, its mode now
// is the one to put back at the end: the shell may have changed it while
// the program was stopped, and a program started in the background may
// have found the shell's own line-editing mode at first. In the background
// (after `bg`) it does nothing: the wait's read stops the program (SIGTTIN)
// until `fg`. Async-signal-safe.
void resumeWait(bool promptAgain) {
    if (!state.awaitingKey || !ownsTerminal()) return;
    struct termios now {};
    if (tcgetattr(STDIN_FILENO, &now) == 0 && (now.c_lflag & (ICANON | ECHO)) != 0) {
        state.originalMode = now;
        state.originalModeTaken = state.originalModeTaken + 1;
    }
    (void)applyKeyMode();
    if (promptAgain) {
        ssize_t ignored = write(STDOUT_FILENO, kPressAnyKey, sizeof kPressAnyKey - 1);
        (void)ignored;
    }
}

// `fg` or `bg`. A stop by SIGSTOP, which cannot be caught, shows only here,
// so this takes the wait up; after any other stop this runs inside
// onStopSignal, which takes it up itself as the stop ends.
void onContinue(int) {
    int savedErrno = errno;
    state.continued = 1;
    if (!state.stopping) resumeWait(true);
    errno = savedErrno;
}

// Ctrl-Z (SIGTSTP), or the terminal stopping a program in the background
// that sets its mode (SIGTTOU) or reads it (SIGTTIN): restore the terminal
// if it is ours, stop, and once continued in the foreground take key mode
// up again and show the prompt anew. Where nothing can resume the program
// (no shell with job control ran it), the kernel does not stop it: the wait
// just goes on.
void onStopSignal(int sig) {
    int savedErrno = errno;
    if (state.awaitingKey) restoreTerminal();
    state.continued = 0;
    state.stopping = 1;
    struct sigaction byDefault {
    }, mine{};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(sig, &byDefault, &mine);
    sigset_t stopOnly;
    sigemptyset(&stopOnly);
    sigaddset(&stopOnly, sig);
    sigprocmask(SIG_UNBLOCK, &stopOnly, nullptr);
    (void)raise(sig);  // stops here until continued
    state.stopping = 0;
    sigaction(sig, &mine, nullptr);
    resumeWait(state.continued != 0);
    errno = savedErrno;
}

// Only a default action is replaced. A signal the program was started with
// ignored (under nohup, say) stays ignored: the handler would otherwise make
// it end or stop the program. One a sanitizer's runtime handles (SIGSEGV,
// say) stays with it, so that its report is not lost.
void catchIfDefault(int sig, const struct sigaction& action) {
    struct sigaction current {};
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_DFL) return;
    sigaction(sig, &action, nullptr);
}

void installSignalHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = onFatalSignal;
    for (int sig : endingSignals()) catchIfDefault(sig, action);
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTSTP, SIGTTIN, SIGTTOU}) catchIfDefault(sig, action);
    action.sa_handler = onContinue;
    catchIfDefault(SIGCONT, action);
}

// Sets state up the first time a key is awaited: saves the terminal's mode
// and installs the handlers, before key mode is first set, as started in
// the background the program stops right there (SIGTTOU). False when the
// terminal's mode cannot be read.
bool setUpOnce() {
    if (state.haveOriginalMode) return true;
    if (tcgetattr(STDIN_FILENO, &state.originalMode) == -1) return false;
    state.haveOriginalMode = 1;
    installSignalHandlers();
    return true;
}

// A pause's hold on the terminal: key mode, where the terminal takes it,
// for the life of the object, and the mode found put back at its end. The
// handlers restore the terminal meanwhile.
class KeyMode {
public:
    KeyMode() {
        state.awaitingKey = 1;
        inForce_ = applyKeyMode();
    }
    ~KeyMode() {
        restoreTerminal();
        state.awaitingKey = 0;
    }
    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;

    bool inForce() const { return inForce_; }

private:
    bool inForce_ = false;
};

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
    if (setUpOnce()) {
        KeyMode held;
        keyMode = held.inForce();
        if (keyMode) readOneKey();
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

// A terminal takes the program's bytes as they are: nothing to set up.
TerminalConsole::TerminalConsole() = default;

void TerminalConsole::run(ConsoleCommand command) {
    std::cout.flush();
    if (interactiveSession()) carryOut(command);
}
