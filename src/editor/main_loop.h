// The editor's loop: every pass redraws the whole window, then reads the mouse
// once and one key and acts on them.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor_work.h"
#include "editor/undo_history.h"
#include "formats/header_template.h"
#include "level/editor_state.h"
#include "level/level.h"
#include "platform/screen/screen.h"

namespace terrafix {

// What the start of the program has settled before the editor runs.
struct StartOptions {
  BackendOpener OpenBackend = nullptr;            // the window or the terminal
  std::string TemplateFile = HeaderTemplateFile;  // the header template to use
  std::string_view Message;                       // shown once the window is open, when not empty
  std::string LevelFile;                          // a level to load at the start (a file's name in the working folder)
};

// Start-up, then passes for ever; the process ends inside the Quit question.
// Between passes the loop waits for input once a pass has settled.
[[noreturn]] void RunEditor(const StartOptions& start);

// One pass. Returns true when it has settled: it read no key and the same
// mouse reading as the pass before, and made no click. The next pass would
// then draw the very frame this one drew, so nothing need run until the
// window or the terminal reports something.
bool RunPass(EditorState& state, Level& level, HeaderTemplate& header, UndoHistory& history, EditorWork& work);

// Everything drawn by a pass, from the lock to the unlock; `said`, when not
// empty, over the menu line.
void DrawPass(const EditorState& state, const Level& level, std::string_view said = {});

}  // namespace terrafix
