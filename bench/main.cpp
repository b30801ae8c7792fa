// Runs every registered benchmark with the library's own display (so --benchmark_format and
// the other output flags behave as usual), then prints each figure as a multiple of the
// baseline, a plain memcpy of one frame, measured in the same run. With repetitions the
// mean and the median of each benchmark are set beside the baseline's mean and median.
// The ratios follow a console table on standard output and go to standard error otherwise,
// so JSON or CSV output stays machine-readable.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/Baseline.h"

namespace {

using Run = benchmark::BenchmarkReporter::Run;

// The library's display reporter, and every time per iteration kept for the ratios.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    RatioReporter() : display_(benchmark::CreateDefaultDisplayReporter()) {}

    bool ReportContext(const Context& context) override {
        display_->SetOutputStream(&GetOutputStream());
        display_->SetErrorStream(&GetErrorStream());
        return display_->ReportContext(context);
    }
    void ReportRuns(const std::vector<Run>& runs) override {
        display_->ReportRuns(runs);
        for (const Run& run : runs) {
            const bool time = run.run_type == Run::RT_Iteration ||
                              run.aggregate_unit == benchmark::StatisticUnit::kTime;
            if (!run.error_occurred && time && run.iterations > 0) {
                const double seconds =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                figures_.push_back({run.run_name.str(), run.aggregate_name, seconds});
            }
        }
    }
    void Finalize() override { display_->Finalize(); }

    void PrintRatios(std::FILE* out) const {
        // With repetitions, the mean and the median; otherwise each single run.
        bool aggregates = false;
        for (const Figure& f : figures_) {
            aggregates = aggregates || !f.aggregate.empty();
        }
        const auto shown = [&](const Figure& f) {
            return aggregates ? f.aggregate == "mean" || f.aggregate == "median"
                              : f.aggregate.empty();
        };
        std::vector<std::pair<const Figure*, double>> rows;
        for (const Figure& f : figures_) {
            if (!shown(f)) {
                continue;
            }
            double baseline = 0;
            for (const Figure& b : figures_) {
                if (b.name == bench::kBaselineName && b.aggregate == f.aggregate) {
                    baseline = b.seconds;
                }
            }
            if (baseline <= 0) {
                std::fprintf(out, "\n(no %s run: no ratios)\n", bench::kBaselineName);
                return;
            }
            rows.emplace_back(&f, baseline);
        }
        std::fprintf(out, "\nEach figure beside one %dx%dx4-byte frame copied with memcpy:\n",
                     bench::kFrameWidth, bench::kFrameHeight);
        for (const auto& [f, baseline] : rows) {
            const std::string name = f->aggregate.empty() ? f->name : f->name + "_" + f->aggregate;
            std::fprintf(out, "  %-44s %10.2f us  %8.2f x memcpy\n", name.c_str(), f->seconds * 1e6,
                         f->seconds / baseline);
        }
    }

private:
    struct Figure {
        std::string name;
        std::string aggregate;  // "" for a single run
        double seconds;
    };
    std::unique_ptr<benchmark::BenchmarkReporter> display_;
    std::vector<Figure> figures_;
};

}  // namespace

int main(int argc, char** argv) {
    bool console = true;
    for (int i = 1; i < argc; ++i) {
        const char* format = "--benchmark_format=";
        if (std::strncmp(argv[i], format, std::strlen(format)) == 0) {
            console = std::strcmp(argv[i] + std::strlen(format), "console") == 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::fflush(stdout);
    reporter.PrintRatios(console ? stdout : stderr);
    benchmark::Shutdown();
    return 0;
}
