// The string work the directory program gives a string, as four cases that
// run on apstring and on std::string alike: building text a character at a
// time, reading words, the assignments of a selection sort, and comparisons.
// Each case makes its data once; run() does the measured work once and
// returns a figure that depends on it, so that none of it can be left out.
// Figures are per unit of work (a character, an assignment, a comparison),
// where a call per character would show at once.
#ifndef BENCH_STRING_WORK_H
#define BENCH_STRING_WORK_H

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace string_work {

constexpr int kMiB = 1 << 20;
constexpr double kTargetRatio = 1.1;  // apstring's time over std::string's, at most

// Deterministic picks from first and last names of varied length.
inline std::vector<std::string> names(int count) {
    static const char* const pool[] = {"Ann",  "Bob",         "Christopher", "Dee",   "Elizabeth", "Fritz",
                                       "Gus",  "Hal",         "Adams",       "Smith", "Smithers",  "Jones",
                                       "Zeta", "Oppenheimer", "Li",          "Nguyen"};
    std::vector<std::string> result;
    result.reserve(count);
    std::mt19937 rng(7);
    for (int k = 0; k < count; ++k) result.push_back(pool[rng() % 16]);
    return result;
}

// About 1 MiB of lines "First Last 555-1234".
inline const std::string& namesText() {
    static const std::string text = [] {
        std::string t;
        const std::vector<std::string> words = names(4096);
        for (int k = 0; t.size() < static_cast<std::size_t>(kMiB); ++k) {
            t += words[k % 4096] + ' ' + words[(k * 7 + 1) % 4096] + " 555-" +
                 std::to_string(1000 + k % 9000) + '\n';
        }
        return t;
    }();
    return text;
}

// The first count generated names, as String values.
template <class String>
std::vector<String> namesAs(int count) {
    std::vector<String> result;
    for (const std::string& name : names(count)) result.emplace_back(name.c_str());
    return result;
}

// count pairs of indices below range, the same for every String type.
inline std::vector<std::pair<int, int>> randomPairs(int count, int range, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::pair<int, int>> pairs;
    for (int k = 0; k < count; ++k) {
        int first = static_cast<int>(rng() % range);
        pairs.emplace_back(first, static_cast<int>(rng() % range));
    }
    return pairs;
}

// 1 MiB built by one-character appends. The text starts empty each time but
// keeps its buffer, so the appends are measured and not the page faults of
// fresh megabytes.
template <class String>
class AppendOneMiBByCharacters {
public:
    static constexpr const char* kUnit = "character";
    long units() const { return kMiB; }
    long run() {
        text_ = "";
        for (int k = 0; k < kMiB; ++k) text_ += static_cast<char>('a' + (k & 15));
        return text_.length() + text_.c_str()[kMiB / 2];
    }

private:
    String text_;
};

// Every word of 1 MiB of names read into one string, as the loader does.
template <class String>
class ExtractEveryWordOfOneMiB {
public:
    static constexpr const char* kUnit = "character";
    long units() const { return static_cast<long>(namesText().size()); }
    long run() {
        in_.clear();
        in_.seekg(0);
        long words = 0;
        while (in_ >> word_) ++words;
        return words;
    }

private:
    std::istringstream in_{namesText()};
    String word_;
};

// 10,002 assignments between names: the three of each swap in a selection sort.
template <class String>
class SelectionSortAssignments {
public:
    static constexpr const char* kUnit = "assignment";
    long units() const { return 3 * static_cast<long>(swaps_.size()); }
    long run() {
        for (const auto& [i, j] : swaps_) {
            temp_ = slot_[i];
            slot_[i] = slot_[j];
            slot_[j] = temp_;
        }
        return slot_[0].length() + slot_[99].length();
    }

private:
    std::vector<String> slot_ = namesAs<String>(100);
    const std::vector<std::pair<int, int>> swaps_ = randomPairs(3334, 100, 11);
    String temp_;
};

// 10,000 pairs of names, each compared with < and with ==.
template <class String>
class CompareNames {
public:
    static constexpr const char* kUnit = "comparison";
    long units() const { return 2 * static_cast<long>(pairs_.size()); }
    long run() const {
        long less = 0, equal = 0;
        for (const auto& [i, j] : pairs_) {
            less += name_[i] < name_[j];
            equal += name_[i] == name_[j];
        }
        return less * 100000 + equal;
    }

private:
    const std::vector<String> name_ = namesAs<String>(1000);
    const std::vector<std::pair<int, int>> pairs_ = randomPairs(10000, 1000, 13);
};

// One line of the closing table: a case and each class's time per unit.
struct Figures {
    std::string name, unit;
    double apNs = 0, stdNs = 0;  // per unit
};

// Prints the table of figures with apstring's ratio to std::string.
inline void printRatioTable(const std::vector<Figures>& rows) {
    std::printf("\n%-26s %-11s %12s %15s %7s\n", "case", "ns per", "apstring", "std::string", "ratio");
    for (const Figures& f : rows) {
        const double ratio = f.stdNs > 0 ? f.apNs / f.stdNs : 0.0;
        std::printf("%-26s %-11s %12.3f %15.3f %7.2f%s\n", f.name.c_str(), f.unit.c_str(), f.apNs, f.stdNs,
                    ratio, ratio > kTargetRatio ? "  over the 1.1 target" : "");
    }
}

}  // namespace string_work

#endif  // BENCH_STRING_WORK_H
