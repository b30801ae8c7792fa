#pragma once

#include <span>

namespace replay {

// A recorded game and the lines its ticks gave when it was recorded (empty before then).
struct GameText {
    const char* name;
    const char* replay;
    const char* ticks;
};

// Every game of tests/replay, compiled in at configure time (Games.cpp.in).
std::span<const GameText> Games();

}  // namespace replay
