// The main of the benchmarks. Every benchmark of our code named "X" has a
// reference named "X/ref:<what it is>", measured in the same run on the same
// data; after the usual console output each result is printed beside its
// reference with the ratio of the two times.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kReferenceMark = "/ref:";

struct Result {
    std::string name;
    double seconds;  // real time per iteration
    std::string shown;
};

double UnitSeconds(benchmark::TimeUnit unit)
{
    switch (unit) {
    case benchmark::kNanosecond:
        return 1e-9;
    case benchmark::kMicrosecond:
        return 1e-6;
    case benchmark::kMillisecond:
        return 1e-3;
    case benchmark::kSecond:
        return 1;
    }
    return 1;
}

class PairingReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that the output reads well in a log.
    PairingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const double time = run.GetAdjustedRealTime();
            char shown[64];
            std::snprintf(shown, sizeof shown, "%.4g %s", time, benchmark::GetTimeUnitString(run.time_unit));
            // The name as registered: a fixed iteration count or manual
            // timing adds words to benchmark_name() that would part a
            // benchmark from its reference.
            results_.push_back({run.run_name.function_name, time * UnitSeconds(run.time_unit), shown});
        }
    }

    // Prints each of our results beside its reference; returns false when a
    // benchmark has no reference.
    bool PrintPairs() const
    {
        bool complete = true;
        std::printf("\n%-40s %14s   %-40s %14s %8s\n", "benchmark", "time", "reference", "time", "ratio");
        for (const Result& ours : results_) {
            if (ours.name.find(kReferenceMark) != std::string::npos)
                continue;
            // A benchmark may have several references: one line for each.
            bool referenced = false;
            for (const Result& reference : results_) {
                if (!reference.name.starts_with(ours.name + kReferenceMark))
                    continue;
                referenced = true;
                const std::string label = reference.name.substr(ours.name.size() + 1);
                std::printf("%-40s %14s   %-40s %14s %7.2fx\n", ours.name.c_str(), ours.shown.c_str(), label.c_str(),
                            reference.shown.c_str(), ours.seconds / reference.seconds);
            }
            if (!referenced) {
                std::printf("%-40s %14s   %-40s\n", ours.name.c_str(), ours.shown.c_str(), "(no reference)");
                complete = false;
            }
        }
        return complete;
    }

private:
    std::vector<Result> results_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PairingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.PrintPairs() ? 0 : 1;
}
