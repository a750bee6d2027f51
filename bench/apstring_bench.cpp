// apstring against std::string on the work the directory program gives a
// string: building text a character at a time, reading words, the
// assignments of a selection sort, and comparisons.
#include "apstring.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMiB = 1 << 20;

// Deterministic picks from first and last names of varied length.
std::vector<std::string> names(int count) {
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
const std::string& namesText() {
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

template <class String>
void AppendOneMiBByCharacters(benchmark::State& state) {
    for (auto _ : state) {
        String s;
        for (int k = 0; k < kMiB; ++k) s += static_cast<char>('a' + (k & 15));
        benchmark::DoNotOptimize(s.c_str());
    }
    state.SetBytesProcessed(state.iterations() * kMiB);
}

template <class String>
void ExtractEveryWordOfOneMiB(benchmark::State& state) {
    std::istringstream in(namesText());
    String word;
    for (auto _ : state) {
        in.clear();
        in.seekg(0);
        long words = 0;
        while (in >> word) ++words;
        benchmark::DoNotOptimize(words);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(namesText().size()));
}

// The first count generated names, as String values.
template <class String>
std::vector<String> namesAs(int count) {
    std::vector<String> result;
    for (const std::string& name : names(count)) result.emplace_back(name.c_str());
    return result;
}

// count pairs of indices below range, the same for every String type.
std::vector<std::pair<int, int>> randomPairs(int count, int range, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::pair<int, int>> pairs;
    for (int k = 0; k < count; ++k) {
        int first = static_cast<int>(rng() % range);
        pairs.emplace_back(first, static_cast<int>(rng() % range));
    }
    return pairs;
}

// 10,002 assignments: the three of each swap in a selection sort.
template <class String>
void SelectionSortAssignments(benchmark::State& state) {
    std::vector<String> slot = namesAs<String>(100);
    const std::vector<std::pair<int, int>> swaps = randomPairs(3334, 100, 11);
    String temp;
    for (auto _ : state) {
        for (const auto& [i, j] : swaps) {
            temp = slot[i];
            slot[i] = slot[j];
            slot[j] = temp;
        }
        benchmark::DoNotOptimize(slot.data());
    }
    state.SetItemsProcessed(state.iterations() * 3 * static_cast<long>(swaps.size()));
}

// 10,000 pairs of names, each compared with < and with ==.
template <class String>
void CompareNames(benchmark::State& state) {
    const std::vector<String> name = namesAs<String>(1000);
    const std::vector<std::pair<int, int>> pairs = randomPairs(10000, 1000, 13);
    for (auto _ : state) {
        int less = 0, equal = 0;
        for (const auto& [i, j] : pairs) {
            less += name[i] < name[j];
            equal += name[i] == name[j];
        }
        benchmark::DoNotOptimize(less);
        benchmark::DoNotOptimize(equal);
    }
    state.SetItemsProcessed(state.iterations() * 2 * static_cast<long>(pairs.size()));
}

BENCHMARK_TEMPLATE(AppendOneMiBByCharacters, apstring)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(AppendOneMiBByCharacters, std::string)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(ExtractEveryWordOfOneMiB, apstring)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(ExtractEveryWordOfOneMiB, std::string)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(SelectionSortAssignments, apstring)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(SelectionSortAssignments, std::string)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(CompareNames, apstring)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(CompareNames, std::string)->Unit(benchmark::kMicrosecond);

// The console report, then each case's apstring/std::string ratio of CPU
// times (of the medians when the run has repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool wanted =
                run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median" : run.repetitions <= 1;
            if (!wanted || run.error_occurred) continue;
            const std::string name = run.run_name.function_name;  // "Case<Type>"
            const std::size_t open = name.find('<');
            Figures& figures = cases_[name.substr(0, open)];
            (name.compare(open + 1, 8, "apstring") == 0 ? figures.ap : figures.std) =
                run.GetAdjustedCPUTime() * 1000.0;  // us to ns
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-26s %14s %14s %7s\n", "case (CPU time)", "apstring ns", "std::string ns", "ratio");
        for (const auto& [name, f] : cases_) {
            const double ratio = f.std > 0 ? f.ap / f.std : 0.0;
            std::printf("%-26s %14.0f %14.0f %7.2f%s\n", name.c_str(), f.ap, f.std, ratio,
                        ratio > 1.25 ? "  over the 1.25 target" : "");
        }
    }

private:
    struct Figures {
        double ap = 0, std = 0;
    };
    std::map<std::string, Figures> cases_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
