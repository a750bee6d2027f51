// Runs thousands of random operations on apstring and on std::string side by
// side, and checks after each one that the texts, the results and the stream
// states agree and that every buffer keeps to the growth policy's rules (the
// exact sizes are pinned in apstring_test.cpp).
#include "apstring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

namespace {

bool isWordSpace(char c) { return std::string(" \t\n\v\f\r").find(c) != std::string::npos; }

// The word and line readers step by step as the class defines them, on
// std::string: one formatted char read, then get() until whitespace, which
// goes back with putback; a line is get() up to the line feed.
void referenceWord(std::istream& is, std::string& str) {
    str.clear();
    char ch;
    if (!(is >> ch)) return;
    do str += ch;
    while (is.get(ch) && !isWordSpace(ch));
    if (is) is.putback(ch);
}

void referenceLine(std::istream& is, std::string& str) {
    str.clear();
    char ch;
    while (is.get(ch) && ch != '\n') str += ch;
}

// One apstring and the text it should hold.
struct Slot {
    apstring actual;
    std::string expected;
    int capacity = 1;  // as last checked; a new string's is 1
    int growths = 0;   // reallocations by one-character appends

    int length() const { return static_cast<int>(expected.size()); }

    // The buffer since the last check: room for the text and its NUL, kept
    // while the text fits (so never smaller), at most twice what the text
    // needs after a reallocation. A reallocation by a one-character append
    // more than doubles it, so there are at most log2(capacity) of those:
    // n such appends reallocate O(log n) times, not O(n).
    void checkCapacity(bool oneCharAppend) {
        const int now = actual.capacity(), needed = length() + 1;
        ASSERT_GE(now, needed) << "text " << expected;
        if (needed <= capacity) {
            ASSERT_EQ(now, capacity) << "the buffer is replaced although the text fits: " << expected;
            return;
        }
        ASSERT_LE(now, 2 * needed) << "text " << expected;
        capacity = now;
        if (oneCharAppend) ++growths;
        ASSERT_LE(std::int64_t{1} << growths, capacity)
            << growths << " reallocations by one-character appends";
    }
};

std::string text(const apstring& s) { return std::string(s.c_str(), s.length()); }

apstring make(const std::string& t) {  // NUL bytes included
    apstring s;
    for (char c : t) s += c;
    return s;
}

class Differential {
public:
    explicit Differential(unsigned seed) : rng_(seed) {}

    void step() {
        Slot& a = slots_[pick(kSlots)];
        Slot& b = slots_[pick(kSlots)];  // often the same slot as a
        if (a.length() > 3000) {         // keeps self-appends from doubling without end
            a.actual = "";
            a.expected.clear();
            ASSERT_NO_FATAL_FAILURE(a.checkCapacity(false));
        }
        const std::string before = b.expected;
        const char ch = randomChar();
        bool oneCharAppend = false;
        switch (pick(12)) {
            case 0:
                a.actual = b.actual;
                a.expected = before;
                break;
            case 1: {
                std::string t = randomText(20);
                t.erase(std::remove(t.begin(), t.end(), '\0'), t.end());
                a.actual = t.c_str();
                a.expected = t;
                break;
            }
            case 2:
                a.actual = ch;
                a.expected = std::string(1, ch);
                break;
            case 3:
                a.actual += b.actual;
                a.expected += before;
                oneCharAppend = before.size() == 1;
                break;
            case 4:
                a.actual += ch;
                a.expected += ch;
                oneCharAppend = true;
                break;
            case 5: substr(a); break;
            case 6: find(a, b); break;
            case 7: compare(a, b); break;
            case 8: concatenate(a, b); break;
            default: read(a); break;
        }
        for (Slot& s : slots_) {
            ASSERT_EQ(text(s.actual), s.expected);
            ASSERT_EQ(s.actual.c_str()[s.length()], '\0');
            ASSERT_NO_FATAL_FAILURE(s.checkCapacity(oneCharAppend && &s == &a));
        }
    }

private:
    static constexpr int kSlots = 4;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    char randomChar() {
        static const std::string alphabet("SmithJonesadz  \t\n\v\f\r\x80\xe9\xff\0", 24);
        return alphabet[pick(static_cast<int>(alphabet.size()))];
    }

    std::string randomText(int maxLength) {
        std::string t(pick(maxLength + 1), ' ');
        for (char& c : t) c = randomChar();
        return t;
    }

    // Mostly positions near the text, sometimes the ends of the int range.
    int randomInt(int length) {
        static const int extremes[] = {INT_MIN, INT_MIN + 1, -1, INT_MAX - 1, INT_MAX};
        if (pick(5) == 0) return extremes[pick(5)];
        return pick(length + 8) - 4;
    }

    void substr(const Slot& a) {
        const int pos = randomInt(a.length()), len = randomInt(a.length());
        const std::int64_t from = std::max(pos, 0);
        const std::int64_t last = std::min<std::int64_t>(from + len - 1, a.length() - 1);
        const std::string want = last < from ? "" : a.expected.substr(from, last - from + 1);
        const apstring got = a.actual.substr(pos, len);
        EXPECT_EQ(text(got), want) << a.expected << ".substr(" << pos << ", " << len << ")";
        EXPECT_EQ(got.capacity(), got.length() + 1);
    }

    void find(const Slot& a, const Slot& b) {
        std::string needle = b.expected;
        if (pick(2) == 0) needle = a.expected.substr(pick(a.length() + 1), pick(4));
        const auto want = [](std::size_t at) { return at == std::string::npos ? -1 : static_cast<int>(at); };
        EXPECT_EQ(a.actual.find(make(needle)), want(a.expected.find(needle)));
        const char ch = randomChar();
        EXPECT_EQ(a.actual.find(ch), want(a.expected.find(ch)));
    }

    void compare(const Slot& a, const Slot& b) {
        const std::string &x = a.expected, &y = b.expected;
        const apstring &p = a.actual, &q = b.actual;
        EXPECT_EQ(p == q, x == y);
        EXPECT_EQ(p != q, x != y);
        EXPECT_EQ(p < q, x < y);
        EXPECT_EQ(p <= q, x <= y);
        EXPECT_EQ(p > q, x > y);
        EXPECT_EQ(p >= q, x >= y);
    }

    void concatenate(const Slot& a, const Slot& b) {
        const char ch = randomChar();
        const std::pair<apstring, std::string> results[] = {{a.actual + b.actual, a.expected + b.expected},
                                                            {ch + a.actual, ch + a.expected},
                                                            {a.actual + ch, a.expected + ch}};
        for (const auto& [got, want] : results) {
            EXPECT_EQ(text(got), want);
            EXPECT_EQ(got.capacity(), got.length() + 1);
        }
    }

    // A few word and line reads from one random text into slot a.
    void read(Slot& a) {
        const std::string input = randomText(40);
        std::istringstream actualIn(input), expectedIn(input);
        if (pick(8) == 0) {
            actualIn >> std::noskipws;
            expectedIn >> std::noskipws;
        }
        if (pick(16) == 0) {
            actualIn.setstate(std::ios::failbit);
            expectedIn.setstate(std::ios::failbit);
        }
        for (int reads = 1 + pick(4); reads > 0; --reads) {
            std::string word;
            const bool line = pick(3) == 0;
            if (line) {
                getline(actualIn, a.actual);
                referenceLine(expectedIn, word);
            } else {
                actualIn >> a.actual;
                referenceWord(expectedIn, word);
            }
            a.expected = word;
            ASSERT_EQ(actualIn.rdstate(), expectedIn.rdstate())
                << (line ? "getline" : ">>") << " from \"" << input << '"';
            ASSERT_EQ(actualIn.gcount(), expectedIn.gcount()) << "from \"" << input << '"';
            ASSERT_EQ(text(a.actual), a.expected) << "from \"" << input << '"';
            // Each read, as a later shorter one would hide a growth.
            ASSERT_NO_FATAL_FAILURE(a.checkCapacity(true));
        }
        actualIn.clear();
        expectedIn.clear();
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(actualIn), {}),
                  std::string(std::istreambuf_iterator<char>(expectedIn), {}));
    }

    std::mt19937 rng_;
    Slot slots_[kSlots];
};

TEST(ApstringDifferential, ThousandsOfRandomOperationsAgreeWithStdString) {
    for (unsigned seed : {1u, 2u, 3u, 20240601u}) {
        Differential run(seed);
        for (int step = 0; step < 10000; ++step) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step);
            run.step();
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

}  // namespace
