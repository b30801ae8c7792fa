// The seeded random driver over the drawing layer.
//
//   tolvane_fuzz_drawing SEED CALLS [options]
//       random inputs of the seed's stream until CALLS calls are made
//   tolvane_fuzz_drawing [options] FILE...
//       plays inputs saved in files (the corpus in tests/fuzz/corpus, a libFuzzer crash)
//
// Options:
//   --only INPUT          plays that input of the seed's stream alone
//   --verbose             prints every call
//   --totals              prints the CPU time spent in each operation
//   --keep-going          reports every slow call instead of stopping at the first
//   --skip TEXT           leaves out the calls whose description holds TEXT
//   --max-ellipse N, --max-outline-pen N, --max-text-px N, --max-polygon N
//                         bound the input, to narrow a slow one down (see Limits)
//
// A failure (a call over the cost limit, or a sanitizer report) names the seed, the input and
// the call; playing that input alone with --verbose shows every call up to it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/CallTimer.h"
#include "tests/fuzz/DrawingFuzz.h"
#include "tests/support/LastWords.h"
#include "tests/support/StallWatch.h"

namespace {

std::string g_input;  // which input is playing, for the last words

class Timer final : public fuzz::CallTimer {
public:
    bool keepTotals = false;
    std::map<std::string, double> totals;  // CPU ms by operation, with --totals

    void End() override {
        const std::string op = keepTotals ? Operation(Current()) : std::string();
        CallTimer::End();
        if (keepTotals) {
            totals[op] += LastMs();
        }
    }

    // "sdc0.DrawRect(1, 2, 3, 4)" -> "DrawRect".
    static std::string Operation(const char* what) {
        const char* open = std::strchr(what, '(');
        const char* dot = std::strchr(what, '.');
        const char* name = dot != nullptr && (open == nullptr || dot < open) ? dot + 1 : what;
        return std::string(name, std::strcspn(name, "( "));
    }
    bool verbose = false;
    bool keepGoing = false;
    long slowCalls = 0;
    std::vector<std::string> skip;
    bool SkipCall(const char* what) override {
        for (const std::string& s : skip) {
            if (std::strstr(what, s.c_str()) != nullptr) {
                return true;
            }
        }
        return false;
    }
    void Begin(const char* what) override {
        if (verbose) {
            std::printf("  %s\n", what);
        }
        CallTimer::Begin(what);
    }

protected:
    void OnSlowCall(const char* what, double fills) override {
        std::fprintf(stderr,
                     "fuzz_drawing: FAILED: %s cost %.0f fills of the surface (limit %.0f; a fill "
                     "costs %.3f ms of CPU here) in %s\n",
                     what, fills, kLimitFills, FillMs(), g_input.c_str());
        ++slowCalls;
        if (!keepGoing) {
            std::exit(1);
        }
    }
};
Timer g_timer;

void OnDeath() {
    const char* call = g_timer.Current();
    std::fprintf(stderr, "fuzz_drawing: the report above came in %s, call %s\n", g_input.c_str(),
                 call != nullptr ? call : "(between calls)");
}

// Input `index` of the seed's stream: its own generator, so it can be played alone.
std::vector<std::uint8_t> Input(unsigned long long seed, long index) {
    std::seed_seq sequence{static_cast<unsigned>(seed), static_cast<unsigned>(seed >> 32),
                           static_cast<unsigned>(index)};
    std::mt19937 random(sequence);
    std::vector<std::uint8_t> bytes(64 + random() % 960);
    for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: tolvane_fuzz_drawing SEED CALLS [options]\n"
                 "       tolvane_fuzz_drawing [options] FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::InstallLastWords(&OnDeath);
    std::vector<std::string> args;
    long only = -1;
    fuzz::Limits limits;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--verbose") {
            g_timer.verbose = true;
        } else if (arg == "--totals") {
            g_timer.keepTotals = true;
        } else if (arg == "--keep-going") {
            g_timer.keepGoing = true;
        } else if (arg == "--skip" && i + 1 < argc) {
            g_timer.skip.push_back(argv[++i]);
        } else if (arg == "--only" && i + 1 < argc) {
            only = std::atol(argv[++i]);
        } else if (arg == "--max-ellipse" && i + 1 < argc) {
            limits.ellipseSide = std::atoi(argv[++i]);
        } else if (arg == "--max-outline-pen" && i + 1 < argc) {
            limits.outlinePen = std::atoi(argv[++i]);
        } else if (arg == "--max-text-px" && i + 1 < argc) {
            limits.textPixels = std::atoi(argv[++i]);
        } else if (arg == "--max-polygon" && i + 1 < argc) {
            limits.polygonPoints = std::atoi(argv[++i]);
        } else {
            args.push_back(arg);
        }
    }
    if (args.empty()) {
        return Usage();
    }
    // The slow-call check comes only after a call ends; a call that never ends is named here.
    const testsupport::StallWatch watch(
        std::chrono::seconds(10), [] { return g_timer.Ended(); },
        [] {
            std::fprintf(stderr, "fuzz_drawing: FAILED: a call runs for over 10 s in %s: %s\n",
                         g_input.c_str(), g_timer.Current());
            std::_Exit(1);
        });
    long calls = 0;
    long inputs = 0;
    if (std::ifstream(args[0])) {
        for (const std::string& path : args) {
            std::ifstream file(path, std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
            g_input = path;
            calls += g_timer.Play(bytes.data(), bytes.size(), limits);
            ++inputs;
        }
    } else if (args.size() == 2) {
        const unsigned long long seed = std::strtoull(args[0].c_str(), nullptr, 10);
        const long target = std::atol(args[1].c_str());
        for (long index = only >= 0 ? only : 0; calls < target; ++index) {
            g_input = "input " + std::to_string(index) + " of seed " + std::to_string(seed);
            const std::vector<std::uint8_t> bytes = Input(seed, index);
            calls += g_timer.Play(bytes.data(), bytes.size(), limits);
            ++inputs;
            if (only >= 0) {
                break;
            }
        }
    } else {
        return Usage();
    }
    std::printf(
        "fuzz_drawing: %ld calls in %ld inputs; the slowest cost %.1f fills of the surface (a "
        "fill %.3f ms of CPU): %s\n",
        calls, inputs, g_timer.SlowestFills(), g_timer.FillMs(), g_timer.Slowest().c_str());
    if (g_timer.keepTotals) {
        std::vector<std::pair<double, std::string>> byTime;
        for (const auto& [op, ms] : g_timer.totals) {
            byTime.push_back({ms, op});
        }
        std::sort(byTime.rbegin(), byTime.rend());
        for (const auto& [ms, op] : byTime) {
            std::printf("  %10.1f ms  %s\n", ms, op.c_str());
        }
    }
    return g_timer.slowCalls == 0 ? 0 : 1;
}
