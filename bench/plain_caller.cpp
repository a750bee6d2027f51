// The four cases of string_work.h timed from a caller built the plain way,
// without the project's build settings:
//
//   g++ -O2 -std=c++17 -Iap bench/plain_caller.cpp ap/apstring.cpp
//
// so apstring's speed does not hang on the optimiser seeing into its source
// file. Each class's best of seven runs, the classes taking turns, gives the
// time per unit of work; the table at the end gives apstring's ratio.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "apstring.h"
#include "string_work.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 7;
constexpr auto kRunLength = std::chrono::milliseconds(20);
volatile long sink;  // keeps every run's result

// Nanoseconds per unit of one run: as many calls of run() as fill kRunLength.
template <class Case>
double timeOneRun(Case& work, long calls) {
    const Clock::time_point start = Clock::now();
    for (long k = 0; k < calls; ++k) sink = work.run();
    const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
    return spent.count() / (static_cast<double>(calls) * static_cast<double>(work.units()));
}

// How many calls of run() make one run of about kRunLength.
template <class Case>
long callsPerRun(Case& work) {
    const Clock::time_point start = Clock::now();
    sink = work.run();
    const auto once = std::max(Clock::now() - start, Clock::duration(1));
    return std::max<long>(1, static_cast<long>(kRunLength / once));
}

// The case's best time per unit on each class, the two taking turns.
template <template <class> class Case>
string_work::Figures bestOfRuns(const char* name) {
    Case<apstring> ap;
    Case<std::string> standard;
    const long apCalls = callsPerRun(ap), stdCalls = callsPerRun(standard);
    string_work::Figures f{name, Case<apstring>::kUnit, 1e300, 1e300};
    for (int run = 0; run < kRuns; ++run) {
        f.apNs = std::min(f.apNs, timeOneRun(ap, apCalls));
        f.stdNs = std::min(f.stdNs, timeOneRun(standard, stdCalls));
    }
    return f;
}

}  // namespace

int main() {
    string_work::printRatioTable(
        {bestOfRuns<string_work::AppendOneMiBByCharacters>("AppendOneMiBByCharacters"),
         bestOfRuns<string_work::ExtractEveryWordOfOneMiB>("ExtractEveryWordOfOneMiB"),
         bestOfRuns<string_work::SelectionSortAssignments>("SelectionSortAssignments"),
         bestOfRuns<string_work::CompareNames>("CompareNames")});
    return 0;
}
