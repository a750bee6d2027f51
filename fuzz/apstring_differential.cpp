// Differential fuzz target: apstring against std::string.
//
// The input is decoded into a list of operations on four string slots; the
// bytes left over after the last operation are the text that word and line
// extraction read. Every operation runs on an apstring and on a std::string
// model side by side, and the run aborts on the first difference in text,
// length, result or stream state, or on a buffer that breaks the growth
// policy's rules: a new string's buffer holds 1 byte and a copy's fits its
// text exactly; a buffer always has room for the text and its NUL, is kept
// while the text fits, and after a reallocation is at most twice what the
// text needs; a one-character append that reallocates more than doubles
// it, so n of them reallocate only O(log n) times. (The exact sizes are
// pinned by the unit tests.)
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "apstring.h"

namespace {

constexpr int kSlots = 4;
constexpr std::size_t kMaxLength = 4096;  // self-appends double the text

[[noreturn]] void fail(const char* what, int op) {
    std::fprintf(stderr, "apstring differs from the model: %s (operation %d)\n", what, op);
    std::abort();
}

// A string under test and what it should be.
struct Slot {
    apstring real;
    std::string text;
    long long capacity = 1;  // as last checked
    int growths = 0;         // reallocations by one-character appends since it was made

    // A fresh string whose buffer is expected to be capacity bytes.
    void made(long long newCapacity) {
        capacity = newCapacity;
        growths = 0;
    }
};

void check(const apstring& real, const std::string& text, int op) {
    if (real.length() != static_cast<long long>(text.size())) fail("length", op);
    if (std::memcmp(real.c_str(), text.c_str(), text.size() + 1) != 0) fail("text", op);
}

// The slot's buffer against its last check, by the rules above. Each
// reallocation by a one-character append more than doubles the buffer, so
// there can be no more of them than log2 of its size.
void checkCapacity(Slot& s, bool oneCharAppend, int op) {
    const long long now = s.real.capacity(), needed = static_cast<long long>(s.text.size()) + 1;
    if (now < needed) fail("capacity below length + 1", op);
    if (needed <= s.capacity) {
        if (now != s.capacity) fail("buffer changed although the text fits", op);
        return;
    }
    if (now > 2 * needed) fail("buffer more than twice the text", op);
    s.capacity = now;
    if (oneCharAppend && (++s.growths >= 62 || (1LL << s.growths) > now))
        fail("more reallocations by one-character appends than log2(capacity)", op);
}

bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Counts the flushes of the output stream tied to the input stream.
struct FlushCounter : std::streambuf {
    int flushes = 0;
    int sync() override { return ++flushes, 0; }
};

// The input stream as extraction should leave it.
struct StreamModel {
    std::string bytes;
    std::size_t pos = 0;
    bool eof = false;
    std::streamsize count = 0;  // gcount(): what the last get() took
    bool failed = false;
    bool good() const { return !eof && !failed; }
};

enum Op : std::uint8_t {
    kDefault,
    kFromText,
    kCopy,
    kAssign,
    kAssignText,
    kAssignOwnText,
    kAssignChar,
    kAppend,
    kAppendChar,
    kSubstr,
    kFindString,
    kFindChar,
    kCompare,
    kPlus,
    kCharPlus,
    kPlusChar,
    kIndex,
    kPrint,
    kExtract,
    kGetline,
    kClearStream,
    kOpCount
};

struct Decoded {
    Op op;
    int a, b;  // slot indices
    int x, y;  // integer arguments
    char ch;
    std::string literal;
};

// Reads operations from the front of the input.
class Decoder {
public:
    Decoder(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t used() const { return at_; }
    bool next(Decoded& d) {
        if (at_ >= size_) return false;
        std::uint8_t code = data_[at_++];
        if (code == 0xFF) return false;  // the rest is stream text
        d.op = static_cast<Op>(code % kOpCount);
        std::uint8_t slots = byte();
        d.a = slots % kSlots;
        d.b = (slots / kSlots) % kSlots;
        d.ch = static_cast<char>(byte());
        d.x = number();
        d.y = number();
        d.literal.clear();
        if (d.op == kFromText || d.op == kAssignText) {
            std::size_t n = byte() % 32;
            for (std::size_t i = 0; i < n && at_ < size_; ++i) d.literal += static_cast<char>(data_[at_++]);
        }
        return true;
    }

private:
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    int number() {
        std::uint8_t b = byte();
        switch (b) {
            case 0x80: return INT_MIN;
            case 0x81: return INT_MIN + 1;
            case 0x7F: return INT_MAX;
            case 0x7E: return INT_MAX - 1;
            default: return static_cast<std::int8_t>(b);
        }
    }
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::string modelSubstr(const std::string& s, int pos, int len) {
    long long n = static_cast<long long>(s.size());
    long long p = pos < 0 ? 0 : pos;
    if (p >= n) return "";
    long long last = p + len - 1;
    if (last >= n) last = n - 1;
    return last < p ? "" : s.substr(p, last - p + 1);
}

int modelFind(std::size_t at) { return at == std::string::npos ? -1 : static_cast<int>(at); }

void modelExtract(StreamModel& in, Slot& s) {
    s.text.clear();
    if (!in.good()) {
        in.failed = true;
        return;
    }
    while (in.pos < in.bytes.size() && isSpace(in.bytes[in.pos])) ++in.pos;
    while (in.pos < in.bytes.size() && !isSpace(in.bytes[in.pos])) s.text += in.bytes[in.pos++];
    if (in.pos == in.bytes.size()) in.eof = in.failed = true;
    // The word's last get() found nothing, or found whitespace that
    // putback() gave back; without a word only a formatted read was made.
    if (!s.text.empty()) in.count = 0;
}

void modelGetline(StreamModel& in, Slot& s) {
    s.text.clear();
    in.count = 0;  // unless the last get() takes the line feed
    if (!in.good()) {
        in.failed = true;
        return;
    }
    for (;;) {
        if (in.pos == in.bytes.size()) {
            in.eof = in.failed = true;
            return;
        }
        char c = in.bytes[in.pos++];
        if (c == '\n') {
            in.count = 1;
            return;
        }
        s.text += c;
    }
}

void checkStream(std::istringstream& is, const StreamModel& model, int op) {
    if (is.eof() != model.eof || is.fail() != model.failed || is.bad()) fail("stream state", op);
    auto pos = is.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
    if (pos != static_cast<std::streamoff>(model.pos)) fail("stream position", op);
    if (is.gcount() != model.count) fail("gcount", op);
}

// A result is a copy: its buffer fits its text exactly.
void checkResult(const apstring& real, const std::string& text, int op) {
    check(real, text, op);
    if (real.capacity() != static_cast<long long>(text.size()) + 1) fail("copy's capacity", op);
}

void run(const std::vector<Decoded>& ops, const std::string& streamText) {
    Slot slots[kSlots];
    StreamModel model;
    model.bytes = streamText;
    std::istringstream in(streamText);
    FlushCounter flushes;
    std::ostream tied(&flushes);
    in.tie(&tied);

    int op = 0;
    for (const Decoded& d : ops) {
        Slot& a = slots[d.a];
        Slot& b = slots[d.b];
        bool oneCharAppend = false;  // to slot a
        switch (d.op) {
            case kDefault:
                a.real.~apstring();
                new (&a.real) apstring();
                a.text.clear();
                a.made(1);
                break;
            case kFromText:
            case kCopy: {
                // Text constructors stop at the first NUL; copies do not.
                std::string value = d.op == kFromText ? std::string(d.literal.c_str()) : b.text;
                apstring made = d.op == kFromText ? apstring(d.literal.c_str()) : apstring(b.real);
                checkResult(made, value, op);
                a.real.~apstring();
                new (&a.real) apstring(made);
                a.text = value;
                a.made(static_cast<long long>(value.size()) + 1);
                break;
            }
            case kAssign:
                a.real = b.real;
                a.text = b.text;
                break;
            case kAssignText:
            case kAssignOwnText: {
                std::string value(d.op == kAssignText ? d.literal.c_str() : b.text.c_str());
                a.real = d.op == kAssignText ? d.literal.c_str() : b.real.c_str();
                a.text = value;
                break;
            }
            case kAssignChar:
                a.real = d.ch;
                a.text.assign(1, d.ch);
                break;
            case kAppend: {
                if (a.text.size() + b.text.size() > kMaxLength) break;
                std::string tail = b.text;  // b may be a itself
                a.real += b.real;
                a.text += tail;
                oneCharAppend = tail.size() == 1;
                break;
            }
            case kAppendChar:
                a.real += d.ch;
                a.text += d.ch;
                oneCharAppend = true;
                break;
            case kSubstr: checkResult(b.real.substr(d.x, d.y), modelSubstr(b.text, d.x, d.y), op); break;
            case kFindString:
                if (a.real.find(b.real) != modelFind(a.text.find(b.text))) fail("find string", op);
                break;
            case kFindChar:
                if (a.real.find(d.ch) != modelFind(a.text.find(d.ch))) fail("find char", op);
                break;
            case kCompare:
                if ((a.real == b.real) != (a.text == b.text) || (a.real != b.real) != (a.text != b.text) ||
                    (a.real < b.real) != (a.text < b.text) || (a.real <= b.real) != (a.text <= b.text) ||
                    (a.real > b.real) != (a.text > b.text) || (a.real >= b.real) != (a.text >= b.text))
                    fail("comparison", op);
                break;
            case kPlus:
                if (a.text.size() + b.text.size() > kMaxLength) break;
                checkResult(a.real + b.real, a.text + b.text, op);
                break;
            case kCharPlus: checkResult(d.ch + a.real, d.ch + a.text, op); break;
            case kPlusChar: checkResult(a.real + d.ch, a.text + d.ch, op); break;
            case kIndex:
                if (!a.text.empty()) {
                    int k = static_cast<int>(static_cast<unsigned>(d.x) % a.text.size());
                    const apstring& constReal = a.real;
                    if (constReal[k] != a.text[k]) fail("index", op);
                    a.real[k] = d.ch;
                    a.text[k] = d.ch;
                }
                break;
            case kPrint: {
                std::ostringstream real, expected;
                for (std::ostream* os : {&real, &expected}) {
                    *os << std::setw(d.x % 40) << std::setfill(d.ch) << (d.y & 1 ? std::left : std::right);
                }
                real << a.real << '|';
                expected << a.text << '|';
                if (real.str() != expected.str()) fail("printing", op);
                break;
            }
            case kExtract:
            case kGetline: {
                bool good = in.good();
                int flushesBefore = flushes.flushes;
                if (d.op == kExtract) {
                    std::istream& result = in >> a.real;
                    if (&result != &in) fail("extraction result", op);
                    modelExtract(model, a);
                } else {
                    std::istream& result = getline(in, a.real);
                    if (&result != &in) fail("getline result", op);
                    modelGetline(model, a);
                }
                if (good && flushes.flushes == flushesBefore) fail("tied stream not flushed", op);
                checkStream(in, model, op);
                oneCharAppend = true;  // a word or line is read character by character
                break;
            }
            case kClearStream:
                in.clear();
                model.eof = model.failed = false;
                break;
            case kOpCount: break;
        }
        for (Slot& s : slots) {
            check(s.real, s.text, op);
            checkCapacity(s, oneCharAppend && &s == &a, op);
        }
        ++op;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Decoder decoder(data, size);
    std::vector<Decoded> ops;
    Decoded d;
    while (ops.size() < 256 && decoder.next(d)) ops.push_back(d);
    std::string streamText(reinterpret_cast<const char*>(data) + decoder.used(), size - decoder.used());
    run(ops, streamText);
    return 0;
}
