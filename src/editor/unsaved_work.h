// Unsaved work kept when the editor is ended from outside, and offered back
// at the next start, in any folder.
#pragma once

#include <cstdint>
#include <string>

#include "editor/undo_history.h"
#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// "Unsaved work from 2026-12-10 17:30 was kept. Restore it? (y/n) "
std::string RestoreQuestion(int64_t time);

// Keeps the level when it differs from what was last loaded, saved or
// created; nothing otherwise. Touches nothing of the screen: it runs as the
// editor ends.
void KeepUnsavedWork(const LevelGrid& grid, HeaderTemplate& header, const UndoHistory& history);

// Asks whether to restore kept work. y loads it as a step that can be undone
// (the level then counts as unsaved) and removes it; n keeps it for the next
// start, and a second n removes it.
void OfferKeptWork(LevelGrid& grid, HeaderTemplate& header, UndoHistory& history);

}  // namespace terrafix
