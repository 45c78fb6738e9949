// Keys of the window as the key queue holds them.
#pragma once

#include <SDL.h>

#include <string_view>

namespace terrafix {

// The key-queue code of a key pressed that produces no character of its own:
// Enter 13, Backspace 8, Tab 9, Esc 27, Ctrl with a letter 1..26, and the
// cursor, editing and function keys as two-character keys. 0 for the rest,
// whose characters arrive as typed text.
int KeyQueueCode(const SDL_Keysym& key);

// Queues each character of typed UTF-8 text in code page 437; characters that
// code page 437 lacks are dropped.
void QueueTypedText(std::string_view text);

}  // namespace terrafix
