// apstring against std::string on the four cases of string_work.h, with
// Google Benchmark; the run ends with a table of CPU time per unit of work
// and apstring's ratio to std::string.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "apstring.h"
#include "string_work.h"

namespace {

using string_work::Figures;

// One case on one class: its run() per iteration, counted in units of work.
template <class Case>
void measure(benchmark::State& state) {
    Case work;
    for (auto _ : state) benchmark::DoNotOptimize(work.run());
    // Shown in seconds with a prefix: 1.5n is 1.5 ns per unit.
    state.counters[std::string("per ") + Case::kUnit] =
        benchmark::Counter(static_cast<double>(work.units()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Each case's units of work per iteration and, once run, its CPU time per
// unit; by case name, for the closing table.
struct CaseFigures {
    Figures shown;
    double units = 0;
};
std::map<std::string, CaseFigures> figuresByName;
std::vector<std::string> caseOrder;  // as registered

// Registers the case on both classes as "name<apstring>" and "name<std::string>".
template <template <class> class Case>
void add(const std::string& name) {
    benchmark::RegisterBenchmark((name + "<apstring>").c_str(), measure<Case<apstring>>)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((name + "<std::string>").c_str(), measure<Case<std::string>>)
        ->Unit(benchmark::kMicrosecond);
    caseOrder.push_back(name);
    CaseFigures& f = figuresByName[name];
    f.shown.name = name;
    f.shown.unit = Case<apstring>::kUnit;
    f.units = static_cast<double>(Case<apstring>().units());
}

// The console report, then each case's CPU time per unit (of the medians when
// the run has repetitions) and the apstring/std::string ratio.
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
            CaseFigures& f = figuresByName[name.substr(0, open)];
            double& perUnit = name.compare(open + 1, 8, "apstring") == 0 ? f.shown.apNs : f.shown.stdNs;
            perUnit = run.GetAdjustedCPUTime() * 1000.0 / f.units;  // us per iteration to ns per unit
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::vector<Figures> rows;
        for (const std::string& name : caseOrder) rows.push_back(figuresByName[name].shown);
        string_work::printRatioTable(rows);
    }
};

}  // namespace

int main(int argc, char** argv) {
    add<string_work::AppendOneMiBByCharacters>("AppendOneMiBByCharacters");
    add<string_work::ExtractEveryWordOfOneMiB>("ExtractEveryWordOfOneMiB");
    add<string_work::SelectionSortAssignments>("SelectionSortAssignments");
    add<string_work::CompareNames>("CompareNames");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
