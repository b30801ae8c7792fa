#pragma once

#include <functional>
#include <thread>

namespace sys {

// Starts `body` on a new thread. Like std::thread it throws std::system_error when the system
// cannot create one (a process or memory limit reached).
std::thread StartThread(std::function<void()> body);

// How StartThread creates its threads; tests replace it to make creation fail. Pass nullptr
// to restore std::thread. Replace it only while no thread is being started.
using ThreadStarter = std::thread (*)(std::function<void()> body);
void SetThreadStarter(ThreadStarter starter);

}  // namespace sys
