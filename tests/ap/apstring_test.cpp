// Unit tests of apstring: storage and growth, comparisons, stream input and
// output, the further operations and the ways the class ends the program.
#include "apstring.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string text(const apstring& s) { return std::string(s.c_str(), s.length()); }

// Gives s a buffer of `capacity` bytes holding `t`.
void fill(apstring& s, int capacity, const char* t) {
    s = std::string(capacity - 1, '#').c_str();
    s = t;
}

const std::ios::iostate kGood = std::ios::goodbit;
const std::ios::iostate kEnded = std::ios::eofbit | std::ios::failbit;

TEST(ApstringStorage, DefaultStringIsEmptyInAOneByteBuffer) {
    apstring s;
    EXPECT_EQ(s.length(), 0);
    EXPECT_EQ(s.capacity(), 1);
    EXPECT_STREQ(s.c_str(), "");
}

TEST(ApstringStorage, ConstructionAndCopyFitTheTextExactlyAndCopiesAreDeep) {
    apstring smith("Smith");
    EXPECT_EQ(smith.capacity(), 6);
    apstring roomy;
    fill(roomy, 10, "abc");
    apstring copy(roomy);
    EXPECT_EQ(text(copy), "abc");
    EXPECT_EQ(copy.capacity(), 4);
    copy[0] = 'X';
    EXPECT_EQ(text(roomy), "abc");
}

// What the sort relies on: an exchange moves the buffers too, so that a
// short name never keeps a long one's buffer.
TEST(ApstringStorage, SwapExchangesTextsWithTheirBuffers) {
    apstring longName(std::string(1000, 'x').c_str()), shortName("Ng");
    longName.swap(shortName);
    EXPECT_EQ(text(longName), "Ng");
    EXPECT_EQ(longName.capacity(), 3);
    EXPECT_EQ(text(shortName), std::string(1000, 'x'));
    EXPECT_EQ(shortName.capacity(), 1001);
}

TEST(ApstringAssign, KeepsTheBufferWhenTheTextFitsAndElseGrowsToAnExactFit) {
    struct Case {
        const char* assigned;
        int capacity;
        bool keepsBuffer;
    };
    const Case cases[] = {{"", 10, true},
                          {"abc", 10, true},
                          {"123456789", 10, true},
                          {"1234567890", 11, false},
                          {"twelve chars", 13, false}};
    for (const Case& c : cases) {
        for (bool fromText : {false, true}) {
            SCOPED_TRACE(std::string(c.assigned) + (fromText ? " from text" : " from string"));
            apstring s;
            fill(s, 10, "old");
            const char* before = s.c_str();
            if (fromText) s = c.assigned;
            else s = apstring(c.assigned);
            EXPECT_EQ(text(s), c.assigned);
            EXPECT_EQ(s.capacity(), c.capacity);
            EXPECT_EQ(s.c_str() == before, c.keepsBuffer);
        }
    }
}

TEST(ApstringAssign, AssigningAStringOrItsOwnTextToItselfIsSafe) {
    apstring s;
    fill(s, 10, "Smithers");
    const apstring& same = s;  // through a reference, as clang warns of a plain s = s
    s = same;
    EXPECT_EQ(text(s), "Smithers");
    EXPECT_EQ(s.capacity(), 10);
    s = s.c_str() + 5;  // overlapping source
    EXPECT_EQ(text(s), "ers");
}

TEST(ApstringAssign, CharacterAssignmentNeedsTwoBytes) {
    apstring empty;
    empty = 'x';
    EXPECT_EQ(text(empty), "x");
    EXPECT_EQ(empty.capacity(), 2);
    apstring roomy;
    fill(roomy, 10, "long text");
    roomy = 'y';
    EXPECT_EQ(text(roomy), "y");
    EXPECT_EQ(roomy.capacity(), 10);
}

TEST(ApstringAppend, OneCharacterAppendsDoubleTheBufferEachTimeItFills) {
    const std::vector<int> capacities = {1, 4, 10, 22, 46, 94, 190, 382, 766, 1534, 3070};
    for (bool asString : {false, true}) {
        SCOPED_TRACE(asString ? "one-character strings" : "characters");
        apstring s;
        std::string model;
        std::vector<int> seen = {s.capacity()};
        for (int i = 0; i < 2000; ++i) {
            char ch = static_cast<char>('a' + i % 26);
            if (asString) s += apstring(std::string(1, ch).c_str());
            else s += ch;
            model += ch;
            if (s.capacity() != seen.back()) {
                seen.push_back(s.capacity());
                EXPECT_EQ(s.length(), seen[seen.size() - 2]) << "grew before the buffer was full";
            }
            ASSERT_EQ(text(s), model);
        }
        EXPECT_EQ(seen, capacities);
    }
}

TEST(ApstringAppend, LongerTextsGrowToAnExactFitAndEmptyOnesChangeNothing) {
    apstring s("abc");
    s += apstring("");
    EXPECT_EQ(s.capacity(), 4);
    s += apstring("de");
    EXPECT_EQ(text(s), "abcde");
    EXPECT_EQ(s.capacity(), 6);
    s += 'f';  // fills the buffer: doubled
    EXPECT_EQ(s.capacity(), 14);
    s += apstring("ghijklm");  // fits
    EXPECT_EQ(text(s), "abcdefghijklm");
    EXPECT_EQ(s.capacity(), 14);
}

TEST(ApstringAppend, AppendingAStringToItselfAppendsItsTextAsItWas) {
    struct Case {
        const char* start;
        const char* result;
        int capacity;
        int grown;
    };
    const Case cases[] = {{"", "", 1, 1},
                          {"a", "aa", 2, 6},
                          {"ab", "abab", 3, 5},
                          {"ab", "abab", 10, 10},
                          {"abcde", "abcdeabcde", 10, 11}};
    for (const Case& c : cases) {
        apstring s;
        fill(s, c.capacity, c.start);
        s += s;
        EXPECT_EQ(text(s), c.result);
        EXPECT_EQ(s.capacity(), c.grown) << c.start << " in " << c.capacity;
    }
}

void expectOrder(const apstring& lhs, const apstring& rhs, int sign) {
    EXPECT_EQ(lhs == rhs, sign == 0) << text(lhs) << " vs " << text(rhs);
    EXPECT_EQ(lhs != rhs, sign != 0) << text(lhs) << " vs " << text(rhs);
    EXPECT_EQ(lhs < rhs, sign < 0) << text(lhs) << " vs " << text(rhs);
    EXPECT_EQ(lhs <= rhs, sign <= 0) << text(lhs) << " vs " << text(rhs);
    EXPECT_EQ(lhs > rhs, sign > 0) << text(lhs) << " vs " << text(rhs);
    EXPECT_EQ(lhs >= rhs, sign >= 0) << text(lhs) << " vs " << text(rhs);
}

TEST(ApstringCompare, OrdersByteByByteWithAProperPrefixFirst) {
    const std::pair<const char*, const char*> ascending[] = {
        {"Adams", "Smith"}, {"Smith", "Smithers"}, {"Zeta", "adams"}, {"", "a"},
        {"", " "},          {"zzz", "\x80"},       {"\x80", "\xff"},  {"Smithers", "Smith\x80"}};
    for (const auto& [low, high] : ascending) {
        expectOrder(apstring(low), apstring(high), -1);
        expectOrder(apstring(high), apstring(low), 1);
        expectOrder(apstring(low), apstring(low), 0);
    }
}

TEST(ApstringCompare, AgreesWithUnsignedByteOrderForEveryPairOfBytes) {
    for (const char* prefix : {"", "k"}) {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                apstring lhs(prefix), rhs(prefix);
                lhs += static_cast<char>(a);
                rhs += static_cast<char>(b);
                const int sign = (a > b) - (a < b);
                const bool agrees = (lhs == rhs) == (sign == 0) && (lhs != rhs) == (sign != 0) &&
                                    (lhs < rhs) == (sign < 0) && (lhs <= rhs) == (sign <= 0) &&
                                    (lhs > rhs) == (sign > 0) && (lhs >= rhs) == (sign >= 0);
                if (!agrees) {
                    expectOrder(lhs, rhs, sign);
                    return;
                }
            }
        }
    }
}

TEST(ApstringOutput, InsertsTheWholeTextWithTheStreamsWidthAndFill) {
    std::ostringstream os;
    os << std::setw(8) << std::setfill('*') << apstring("Smith") << '|' << std::left << std::setw(8)
       << apstring("Jones") << '|' << apstring("no width");
    EXPECT_EQ(os.str(), "***Smith|Jones***|no width");
}

// One read from a stream: a word (>>) or a line (getline), what it gives,
// the stream's state after it and, when good, the next character waiting.
struct Read {
    char kind;
    const char* result;
    std::ios::iostate state;
    int next;
};

void expectReads(const std::string& input, const std::vector<Read>& reads) {
    std::istringstream in(input);
    for (std::size_t k = 0; k < reads.size(); ++k) {
        const Read& r = reads[k];
        SCOPED_TRACE(testing::Message() << "read " << k << " of \"" << input << '"');
        apstring target("something old");
        if (r.kind == 'w') in >> target;
        else getline(in, target);
        EXPECT_EQ(text(target), r.result);
        EXPECT_EQ(in.rdstate(), r.state);
        if (r.state == kGood) {
            EXPECT_EQ(in.peek(), r.next);
        }
    }
}

TEST(ApstringInput, ReadsWordsAndLinesWithTheirStreamStates) {
    expectReads("  Smith Jones\n",
                {{'w', "Smith", kGood, ' '}, {'w', "Jones", kGood, '\n'}, {'w', "", kEnded, 0}});
    expectReads("Smith", {{'w', "Smith", kEnded, 0}});
    expectReads(" \t\n\v\f\r", {{'w', "", kEnded, 0}});
    expectReads("", {{'w', "", kEnded, 0}});
    expectReads("Smith\n  next line\r\nlast", {{'w', "Smith", kGood, '\n'},
                                               {'l', "", kGood, ' '},
                                               {'l', "  next line\r", kGood, 'l'},
                                               {'l', "last", kEnded, 0},
                                               {'l', "", kEnded, 0}});
    expectReads("\n\n", {{'l', "", kGood, '\n'}, {'l', "", kGood, EOF}, {'l', "", kEnded, 0}});
}

TEST(ApstringInput, AFailedStreamEmptiesTheTargetAndReadsNothing) {
    for (bool line : {false, true}) {
        std::istringstream in("Smith\n");
        in.setstate(std::ios::failbit);
        apstring target("old");
        if (line) getline(in, target);
        else in >> target;
        EXPECT_EQ(text(target), "");
        EXPECT_TRUE(in.fail());
        in.clear();
        EXPECT_EQ(in.peek(), 'S');
    }
}

TEST(ApstringInput, WordsAreSeparatedByTheSixWhitespaceBytesAndNoOthers) {
    const std::string whitespace = " \t\n\v\f\r";
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool isSpace = whitespace.find(c) != std::string::npos;
        std::istringstream in(std::string{c, 'a', 'b', c, 'c', 'd'});
        apstring word;
        in >> word;
        if (isSpace) {
            EXPECT_EQ(text(word), "ab") << "byte " << b;
            EXPECT_EQ(in.peek(), b) << "byte " << b;
        } else {
            EXPECT_EQ(text(word), in.str()) << "byte " << b;
            EXPECT_EQ(in.rdstate(), kEnded) << "byte " << b;
        }
    }
}

TEST(ApstringInput, AWordGrowsItsTargetLikeOneCharacterAppends) {
    std::istringstream in(std::string(100, 'w') + " abc\n");
    apstring word;
    in >> word;
    EXPECT_EQ(word.length(), 100);
    EXPECT_EQ(word.capacity(), 190);
    in >> word;
    EXPECT_EQ(text(word), "abc");
    EXPECT_EQ(word.capacity(), 190);
}

// An output buffer whose text is shown only when it is flushed.
class FlushedOnly : public std::streambuf {
public:
    std::string pending, shown;

protected:
    int overflow(int c) override {
        if (c != EOF) pending += static_cast<char>(c);
        return c;
    }
    int sync() override {
        shown += pending;
        pending.clear();
        return 0;
    }
};

TEST(ApstringInput, ReadingFlushesTheTiedOutputStreamFirst) {
    for (bool line : {false, true}) {
        FlushedOnly screen;
        std::ostream out(&screen);
        std::istringstream in("Smith\n");
        in.tie(&out);
        out << "Last name: ";
        apstring target;
        if (line) getline(in, target);
        else in >> target;
        EXPECT_EQ(screen.shown, "Last name: ");
    }
}

TEST(ApstringOperations, SubstrClampsPositionAndLength) {
    struct Case {
        int pos, len;
        const char* result;
    };
    const Case cases[] = {
        {-3, 2, "he"},          {3, 10, "lo"},         {5, 1, ""},  {1, 0, ""},           {0, 5, "hello"},
        {3, 2, "lo"},           {4, 1, "o"},           {2, -5, ""}, {1, INT_MAX, "ello"}, {INT_MIN, 3, "hel"},
        {INT_MAX, INT_MAX, ""}, {INT_MIN, INT_MIN, ""}};
    const apstring hello("hello");
    for (const Case& c : cases) {
        apstring part = hello.substr(c.pos, c.len);
        EXPECT_EQ(text(part), c.result) << c.pos << ", " << c.len;
        EXPECT_EQ(part.capacity(), part.length() + 1);
    }
    EXPECT_EQ(text(hello), "hello");
}

TEST(ApstringOperations, FindGivesTheFirstMatchOrNpos) {
    struct Case {
        const char* haystack;
        const char* needle;
        int at;
    };
    const Case strings[] = {{"hello", "ll", 2},      {"hello", "", 0},      {"", "", 0},
                            {"hello", "hello!", -1}, {"hello", "hello", 0}, {"aaab", "aab", 1},
                            {"abcabc", "cab", 2},    {"", "a", -1},         {"hello", "lo", 3}};
    for (const Case& c : strings)
        EXPECT_EQ(apstring(c.haystack).find(apstring(c.needle)), c.at) << c.haystack << " / " << c.needle;
    const std::pair<char, int> chars[] = {{'l', 2}, {'h', 0}, {'o', 4}, {'z', -1}, {'\0', -1}};
    for (const auto& [ch, at] : chars) EXPECT_EQ(apstring("hello").find(ch), at) << ch;
    EXPECT_EQ(npos, -1);
}

TEST(ApstringOperations, ConcatenationMakesExactFitResultsAndLeavesArgumentsAlone) {
    const apstring hello("hello"), world("world");
    const std::pair<apstring, const char*> results[] = {{hello + world, "helloworld"},
                                                        {'x' + hello, "xhello"},
                                                        {hello + '!', "hello!"},
                                                        {apstring() + apstring(), ""},
                                                        {'x' + apstring(), "x"}};
    for (const auto& [result, expected] : results) {
        EXPECT_EQ(text(result), expected);
        EXPECT_EQ(result.capacity(), result.length() + 1);
    }
    EXPECT_EQ(text(hello), "hello");
    EXPECT_EQ(text(world), "world");
}

TEST(ApstringOperations, IndexingReadsAndWritesInPlace) {
    apstring s("hello");
    EXPECT_EQ(std::as_const(s)[4], 'o');
    s[0] = 'j';
    EXPECT_EQ(text(s), "jello");
}

TEST(ApstringDeathTest, ABadIndexEndsTheProgramWithStatus1) {
    const std::pair<const char*, int> cases[] = {{"hello", 5}, {"hello", -1}, {"", 0}};
    for (const auto& [t, k] : cases) {
        apstring s(t);
        const std::string message = "^index out of range: " + std::to_string(k) + " string: " + t + "\n$";
        EXPECT_EXIT(s[k] = 'x', testing::ExitedWithCode(1), message);
        EXPECT_EXIT((void)std::as_const(s)[k], testing::ExitedWithCode(1), message);
    }
}

TEST(ApstringDeathTest, ANullTextAbortsWithAnAssertionLine) {
    const char* none = nullptr;
#ifdef _WIN32
    // The Windows runtime's abort() ends the process with status 3 and adds
    // a notice of its own; GoogleTest's regular expressions there are simple.
    const auto aborted = testing::ExitedWithCode(3);
    const char* line = "^.*apstring\\.cpp:\\d+: failed assertion `s != 0'\n";
#else
    const auto aborted = testing::KilledBySignal(SIGABRT);
    const char* line = "^[^\n]*apstring\\.cpp:[0-9]+: failed assertion `s != 0'\n$";
#endif
    EXPECT_EXIT(apstring s(none), aborted, line);
    EXPECT_EXIT(apstring() = none, aborted, line);
}

TEST(ApstringGrowth, CapacitiesBeyondTheIntRangeAreRefused) {
    const std::pair<std::pair<std::int64_t, bool>, int> fitting[] = {{{0, false}, 1},
                                                                     {{0, true}, 2},
                                                                     {{3, true}, 8},
                                                                     {{INT_MAX - 1, false}, INT_MAX},
                                                                     {{(1 << 30) - 2, true}, INT_MAX - 1}};
    for (const auto& [args, capacity] : fitting)
        EXPECT_EQ(apstring::grownCapacity(args.first, args.second), capacity);
    const std::pair<std::int64_t, bool> refused[] = {
        {INT_MAX, false}, {(1 << 30) - 1, true}, {2LL * INT_MAX, false}, {-1, false}};
    for (const auto& [length, oneChar] : refused) {
        EXPECT_THROW(apstring::grownCapacity(length, oneChar), std::length_error) << length;
    }
}

TEST(ApstringNul, ANulCharacterIsHeldInFullByEveryOperation) {
    apstring s;
    s = '\0';
    s += 'b';
    const std::string nulB("\0b", 2);
    EXPECT_EQ(text(s), nulB);
    EXPECT_EQ(text(apstring(s)), nulB);
    apstring assigned("longer text");
    assigned = s;
    EXPECT_EQ(text(assigned), nulB);
    const apstring nulBc = s + 'c';
    EXPECT_EQ(text(nulBc), nulB + 'c');
    expectOrder(s, nulBc, -1);
    expectOrder(apstring(""), s, -1);
    expectOrder(s, apstring("b"), -1);
    EXPECT_EQ(nulBc.find('c'), 2);
    EXPECT_EQ(nulBc.find('\0'), 0);
    EXPECT_EQ(nulBc.find(apstring("bc")), 1);
    EXPECT_EQ(text(nulBc.substr(1, 5)), "bc");
    std::ostringstream os;
    os << std::setw(4) << nulBc;
    EXPECT_EQ(os.str(), " " + nulB + 'c');
}

}  // namespace
