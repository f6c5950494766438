// Runs the benchmarks (five repetitions each unless told otherwise), then prints the ratios the
// page is held to, all measured in this one run from median CPU times, and fails when one is
// missed. Extra arguments go to Google Benchmark (for example --benchmark_filter).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Keeps the median CPU time per iteration of every benchmark, in microseconds, keyed by its
// name and argument ("LoadAndGenerate/1000").
class MedianCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                std::string name = run.run_name.function_name;
                if (!run.run_name.args.empty()) {
                    name += "/" + run.run_name.args;
                }
                medians[name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

struct Ratio {
    const char* what;
    const char* numerator;
    const char* denominator;
    double limit; // 0: reported only
};

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {repetitions.data(), aggregates.data()});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 2;
    }
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    const Ratio ratios[] = {
        {"generation of 32,000 characters / plain copy", "GenerateAdditional", "PlainCopy", 10},
        {"generation of 32,000 characters / block copy", "GenerateAdditional", "BlockCopy", 0},
        {"load + generate, 10,000 / 1,000 rows", "LoadAndGenerate/10000", "LoadAndGenerate/1000",
         11},
        {"load + generate, 30,000 / 10,000 rows", "LoadAndGenerate/30000", "LoadAndGenerate/10000",
         3.3},
        {"tokenizer, 16,000 / 1,000 tokens", "Tokenize/16000", "Tokenize/1000", 17.6},
    };
    int missed = 0;
    std::printf("\n%-48s %8s %8s\n", "ratio (median CPU time)", "measured", "limit");
    for (const auto& ratio : ratios) {
        const auto numerator = collector.medians.find(ratio.numerator);
        const auto denominator = collector.medians.find(ratio.denominator);
        if (numerator == collector.medians.end() || denominator == collector.medians.end()) {
            continue; // filtered out
        }
        const double measured = numerator->second / denominator->second;
        const bool met = ratio.limit == 0 || measured <= ratio.limit;
        missed += met ? 0 : 1;
        if (ratio.limit == 0) {
            std::printf("%-48s %8.2f %8s\n", ratio.what, measured, "-");
        } else {
            std::printf("%-48s %8.2f %8.1f  %s\n", ratio.what, measured, ratio.limit,
                        met ? "met" : "MISSED");
        }
    }
    return missed == 0 ? 0 : 1;
}
