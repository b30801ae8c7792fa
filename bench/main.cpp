// Runs every registered benchmark, then prints each one's time as a multiple of the
// baseline (a plain memcpy of one frame) measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/Baseline.h"

namespace {

// The console output as usual, and every run's real time per iteration kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                times_.emplace_back(run.benchmark_name(), run.real_accumulated_time /
                                                              static_cast<double>(run.iterations));
            }
        }
    }

    void PrintRatios() const {
        double baseline = 0;
        for (const auto& [name, seconds] : times_) {
            if (name == bench::kBaselineName) {
                baseline = seconds;
            }
        }
        if (baseline <= 0) {
            std::printf("\n(no %s run: no ratios)\n", bench::kBaselineName);
            return;
        }
        std::printf("\nEach figure beside one %dx%dx4-byte frame copied with memcpy (%.2f us):\n",
                    bench::kFrameWidth, bench::kFrameHeight, baseline * 1e6);
        for (const auto& [name, seconds] : times_) {
            std::printf("  %-40s %10.2f us  %8.2f x memcpy\n", name.c_str(), seconds * 1e6,
                        seconds / baseline);
        }
    }

private:
    std::vector<std::pair<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
