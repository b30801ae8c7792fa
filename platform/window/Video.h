#pragma once

#include <cstdint>
#include <string>

namespace ui {

// Opens the connection to the display. The calling thread becomes the user-interface thread:
// the only one on which dialogs run and messages are dispatched. Returns false with the
// reason in `error` (e.g. "No available video device") when there is no display.
bool InitVideo(std::string* error);
// Closes the display connection. Every dialog must have ended before.
void ShutdownVideo();
bool IsVideoReady();
// True on the thread that called InitVideo.
bool IsUiThread();
// True once the connection to the display has broken. Every running dialog is then cancelled
// and no new one opens; the program says so itself (the window system's library prints
// nothing and ends nothing). ShutdownVideo leaves the broken connection alone.
bool DisplayLost();

// InitVideo for a scope: ShutdownVideo on leaving it when the init succeeded.
class VideoSession {
public:
    VideoSession() : ok_(InitVideo(&error_)) {}
    ~VideoSession() {
        if (ok_) {
            ShutdownVideo();
        }
    }
    VideoSession(const VideoSession&) = delete;
    VideoSession& operator=(const VideoSession&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }

private:
    std::string error_;
    bool ok_;
};

}  // namespace ui
