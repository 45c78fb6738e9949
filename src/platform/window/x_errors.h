// What X's errors do to a window on X11. Xlib ends the process through
// exit(), and so every static destructor, when its connection is lost, and
// prints and exits on a protocol error; the editor takes both over.
#pragma once

namespace terrafix {

// A lost connection ends the editor at once, its last wishes first; a
// protocol error (a window already gone, say) is passed over.
void CatchXErrors();

// The window is being torn down for the end of the process with `status`: a
// lost connection from now on ends it with that status and nothing more.
void EndOnLostDisplayWith(int status);

}  // namespace terrafix
