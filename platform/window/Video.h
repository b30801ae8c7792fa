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

// A failure that ends the program: `line` on stderr under the program's name, and on
// Windows, where a game started from Explorer has no terminal, `sentence` in a message box
// too (it works with or without a display connection). Returns when the box is closed.
void ReportFailure(const std::string& line, const std::string& sentence);

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
