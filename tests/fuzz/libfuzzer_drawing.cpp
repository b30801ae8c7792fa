// libFuzzer's entry into the drawing driver, built by the fuzz preset with clang (scripts/fuzz).
// A call over the cost limit aborts, so libFuzzer saves the input that made it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/CallTimer.h"
#include "tests/fuzz/DrawingFuzz.h"

namespace {

class AbortOnSlowCall final : public fuzz::CallTimer {
protected:
    void OnSlowCall(const char* what, double fills) override {
        std::fprintf(stderr, "libfuzzer_drawing: %s cost %.0f fills of the surface (limit %.0f)\n",
                     what, fills, kLimitFills);
        std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AbortOnSlowCall timer;  // the fill is weighed once
    timer.Play(data, size);
    return 0;
}
