// What the editor keeps between passes beside its state, the level, the
// template and the history: the clipboard, what the last box key said, and
// the kept work restored at the start, kept on disk until its level is saved.
#pragma once

#include <string>

#include "files/kept_work.h"
#include "level/clipboard.h"

namespace terrafix {

struct EditorWork {
  Clipboard Clip;     // the editor's own, kept through New and Load
  std::string Said;   // shown on row 1 until the next key or click
  KeptWork Restored;  // held (its file locked) while its level is unsaved; none when File is empty
};

}  // namespace terrafix
