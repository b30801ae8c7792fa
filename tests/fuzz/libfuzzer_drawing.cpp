// libFuzzer's entry into the drawing driver, built by the fuzz preset with clang (scripts/fuzz).
// A call over the time limit aborts, so libFuzzer saves the input that made it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/CallTimer.h"
#include "tests/fuzz/DrawingFuzz.h"

namespace {

class AbortOnSlowCall final : public fuzz::CallTimer {
protected:
    void OnSlowCall(double ms) override {
        std::fprintf(stderr, "libfuzzer_drawing: %s took %.1f ms of CPU (limit %.0f ms)\n",
                     Current(), ms, kLimitMs);
        std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AbortOnSlowCall timer;
    fuzz::PlayDrawing(data, size, timer);
    return 0;
}
