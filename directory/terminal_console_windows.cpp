// ======================================================================
//  The console layer on Windows: the only place that touches the console
//  directly.
//
//  The commands act only in an interactive session, when standard input
//  and standard output are both a console; otherwise they do nothing, so a
//  piped or redirected run carries exactly the program's own text and never
//  waits. Each command line goes to the command interpreter. Apart from the
//  commands, the standard streams that are a console read and write UTF-8
//  through the console's UTF-16 calls from the console's construction on,
//  whether the session is interactive or not.
// ======================================================================
#include "terminal_console.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

#include "text_encoding.h"

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

// ----------------------------------------------------------------------
//  Text on the console. The program's text is UTF-8, and a console holds
//  UTF-16 characters, so a standard stream that is a console goes by way
//  of the wide console calls, converting on the way. The console's code
//  pages are left alone: a UTF-8 input code page (65001) has made ReadFile
//  return no bytes at all for non-ASCII keys on older consoles, whereas
//  ReadConsoleW hands over the characters as the console holds them; and
//  the code pages belong to the console, shared with the shell that
//  started the program, which would keep them when Ctrl-C ended it.
//  Line ends are as the runtime's text mode makes them: "\n" goes out as
//  CR LF, and CR LF comes in as "\n".
// ----------------------------------------------------------------------

constexpr wchar_t kControlZ = 0x1a;  // the console's end of input

void appendUtf16(std::wstring& text, char32_t code) {
    const Utf16Units units = utf16Units(code);
    for (std::size_t k = 0; k < units.length; ++k) text += static_cast<wchar_t>(units.unit[k]);
}

// Standard output or error on the console. Writes what the stream holds at
// each flush (or when its buffer is full), but for a character whose bytes
// have not all come yet: that waits for the next write.
class ConsoleWriter final : public std::streambuf {
public:
    explicit ConsoleWriter(HANDLE console) : console_(console) { setp(buffer_, buffer_ + sizeof buffer_); }

    // At the end of the program: a character still incomplete is shown as
    // not UTF-8.
    void finish() {
        if (!writeComplete() || pptr() == pbase()) return;
        std::wstring replacement;
        appendUtf16(replacement, kReplacementCharacter);
        setp(buffer_, buffer_ + sizeof buffer_);
        (void)writeWide(replacement);
    }

protected:
    int_type overflow(int_type c) override {
        if (!writeComplete()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return writeComplete() ? 0 : -1; }

private:
    // Writes every complete character in the buffer and keeps the rest
    // (at most three bytes) at its start. False when the console refused.
    bool writeComplete() {
        std::string_view rest(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        std::wstring wide;
        while (!rest.empty()) {
            Utf8Char character = decodeUtf8(rest);
            if (character.length == 0) break;
            if (character.code == '\n') wide += L'\r';
            appendUtf16(wide, character.code);
            rest.remove_prefix(character.length);
        }
        const std::size_t kept = rest.size();
        std::memmove(buffer_, rest.data(), kept);
        setp(buffer_, buffer_ + sizeof buffer_);
        pbump(static_cast<int>(kept));
        return writeWide(wide);
    }

    bool writeWide(const std::wstring& wide) {
        // Some consoles refuse a single write of much more than this.
        constexpr std::size_t kMostPerWrite = 8192;
        for (std::size_t done = 0; done < wide.size();) {
            std::size_t part = std::min(wide.size() - done, kMostPerWrite);
            // A surrogate pair goes to the console in one write.
            if (part < wide.size() - done && isHighSurrogate(wide[done + part - 1])) --part;
            DWORD written = 0;
            if (!WriteConsoleW(console_, wide.data() + done, static_cast<DWORD>(part), &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }

    HANDLE console_;
    char buffer_[4096];
};

// Standard input from the console: a line as the console's line editing
// gives it, converted to UTF-8. As with the runtime's reads, Ctrl-Z ends
// the read: at its start it is the end of input, after some text it gives
// that text and drops the rest of what was read.
class ConsoleReader final : public std::streambuf {
public:
    explicit ConsoleReader(HANDLE console) : console_(console) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        // The last character read stays in front, for a putback.
        std::string text;
        if (eback() < gptr()) text += gptr()[-1];
        const std::size_t start = text.size();
        while (text.size() == start) {
            wchar_t wide[4096];
            DWORD got = 0;
            SetLastError(ERROR_SUCCESS);
            if (!ReadConsoleW(console_, wide, sizeof wide / sizeof wide[0], &got, nullptr))
                return traits_type::eof();
            // Nothing read because of Ctrl-C or Ctrl-Break: its handler
            // ends the program (or ignores it), so the read goes on.
            if (got == 0 && GetLastError() == ERROR_OPERATION_ABORTED) continue;
            if (got == 0) return traits_type::eof();
            const wchar_t* controlZ = std::find(wide, wide + got, kControlZ);
            for (const wchar_t* unit = wide; unit != controlZ; ++unit) take(*unit, text);
            if (controlZ != wide + got) {
                decoder_ = Utf16Decoder(LoneSurrogate::Replaced);
                carriageReturn_ = false;
                if (text.size() == start) return traits_type::eof();
            }
        }
        text_ = std::move(text);
        setg(&text_[0], &text_[start], &text_[0] + text_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    // Converts one UTF-16 unit; a surrogate pair or a CR LF split between
    // two reads is made whole by the next.
    void take(wchar_t unit, std::string& text) {
        std::string character;
        decoder_.take(static_cast<char16_t>(unit), character);
        for (char c : character) {
            if (carriageReturn_ && c != '\n') text += '\r';
            carriageReturn_ = c == '\r';
            if (!carriageReturn_) text += c;
        }
    }

    HANDLE console_;
    std::string text_;
    Utf16Decoder decoder_{LoneSurrogate::Replaced};
    bool carriageReturn_ = false;  // a CR, which a LF may follow
};

// The standard streams that are a console, each on a converting buffer;
// put back on the runtime's buffers as the program ends.
class ConsoleStreams {
public:
    ConsoleStreams() {
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        DWORD mode = 0, events = 0;
        // A console screen as standard input cannot be read: left to the
        // runtime, it fails as any other unreadable input does.
        if (GetConsoleMode(input, &mode) && GetNumberOfConsoleInputEvents(input, &events)) {
            reader_.emplace(input);
            runtimeInput_ = std::cin.rdbuf(&*reader_);
        }
        attach(std::cout, STD_OUTPUT_HANDLE, output_, runtimeOutput_);
        attach(std::cerr, STD_ERROR_HANDLE, error_, runtimeError_);
    }

    ~ConsoleStreams() {
        detach(std::cout, output_, runtimeOutput_);
        detach(std::cerr, error_, runtimeError_);
        if (reader_) std::cin.rdbuf(runtimeInput_);
    }

    ConsoleStreams(const ConsoleStreams&) = delete;
    ConsoleStreams& operator=(const ConsoleStreams&) = delete;

private:
    static void attach(std::ostream& stream, DWORD standardHandle, std::optional<ConsoleWriter>& writer,
                       std::streambuf*& runtimeBuffer) {
        if (!isConsole(standardHandle)) return;
        writer.emplace(GetStdHandle(standardHandle));
        runtimeBuffer = stream.rdbuf(&*writer);
    }

    static void detach(std::ostream& stream, std::optional<ConsoleWriter>& writer,
                       std::streambuf* runtimeBuffer) {
        if (!writer) return;
        stream.flush();
        writer->finish();
        stream.rdbuf(runtimeBuffer);
    }

    std::optional<ConsoleReader> reader_;
    std::optional<ConsoleWriter> output_, error_;
    std::streambuf* runtimeInput_ = nullptr;
    std::streambuf* runtimeOutput_ = nullptr;
    std::streambuf* runtimeError_ = nullptr;
};

// Every standard stream that is a console on a converting buffer, once for
// however many consoles are made; the runtime's buffers are put back as the
// program ends.
void useUnicodeConsole() { static ConsoleStreams streams; }

}  // namespace

TerminalConsole::TerminalConsole() { useUnicodeConsole(); }

void TerminalConsole::run(ConsoleCommand command) {
    std::cout.flush();
    if (interactiveSession()) carryOut(command);
}
