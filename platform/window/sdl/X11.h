#pragma once

#include <SDL.h>

// What the window layer does itself on an X display, below SDL. Xlib's defaults end the
// process from whichever thread meets an error: for a request that reaches a window just
// destroyed (a harmless race between two connections), and for a lost connection, where
// exit() would destroy static objects under a thread that still runs. Only the SDL backend
// includes this header.
namespace ui::x11 {

// Installs the process's Xlib error handlers. Called before SDL opens its connections, so
// that SDL's own handler passes errors on to these and puts them back when it closes.
void InstallErrorHandlers();

// Called for every window created: on X, remembers SDL's connection (whose loss no longer
// ends the process) and returns the window's X id; 0 on other window systems.
unsigned long AdoptWindow(SDL_Window* window);
// The width and height window `xid`'s frame will add, asked of the window manager before the
// window is shown (_NET_REQUEST_FRAME_EXTENTS); false without a manager that answers.
bool FrameExtents(unsigned long xid, int* width, int* height);
// A window about to be destroyed: a BadWindow error naming it is harmless from now on.
void ForgetWindow(unsigned long xid);

// True while SDL's X connection is known (from the first window on, until Reset).
bool HasDisplay();
// True once the connection to the X server has broken.
bool ConnectionLost();
// Blocks until the connection has input, `wakeFd` is readable or `timeoutMs` has passed
// (-1: no limit). Returns at once when events are already queued or the connection is lost.
void Wait(int wakeFd, int timeoutMs);

// Forgets the connection; for the display's shutdown.
void Reset();

}  // namespace ui::x11
