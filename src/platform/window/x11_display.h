// What the window does with X11 directly, beside SDL: X's errors, and a wait
// on the display's connection.
//
// Xlib ends the process through exit(), and so every static destructor, when
// its connection is lost, and prints and exits on a protocol error; the
// editor takes both over.
#pragma once

#include <SDL.h>

namespace terrafix {

// A lost connection ends the editor at once, its last wishes first; a
// protocol error (a window already gone, say) is passed over.
void CatchXErrors();

// The window is being torn down for the end of the process with `status`: a
// lost connection from now on ends it with that status and nothing more.
void EndOnLostDisplayWith(int status);

// The X11 Display* of SDL's window; null on another video driver.
void* X11DisplayOf(SDL_Window* window);

// The connection of SDL's display (an X11 Display*): whether events wait in
// it already, and its file descriptor to wait on.
bool XEventsWaiting(void* display);
int XConnectionFd(void* display);

}  // namespace terrafix
