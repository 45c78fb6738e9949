// Unsaved work kept when the editor is ended from outside, and offered back
// at the next start, in any folder.
#pragma once

#include <cstdint>
#include <string>

#include "editor/undo_history.h"
#include "files/kept_work.h"
#include "formats/header_template.h"
#include "level/level.h"

namespace terrafix {

// "Unsaved work of 'castle' in ~/levels from 2026-12-10 18:30 was kept.
// Restore it? (y/n) " ("Unsaved work in ..." for a new level), a long name
// or folder shortened so that the question and its answer stay on row 1.
std::string RestoreQuestion(const std::string& level, const std::string& folder, int64_t time);

// "Kept work from 2026-12-10 18:30 could not be read; it stays in
// ~/.local/state/terrafix/", padded to row 1's 92 columns.
std::string UnreadableKeptWorkMessage(int64_t time, const std::string& folder);

// Keeps the level when it differs from what was last loaded, saved or
// created; nothing otherwise. Touches nothing of the screen: it runs as the
// editor ends.
void KeepUnsavedWork(const Level& level, const HeaderTemplate& header, const UndoHistory& history);

// Asks whether to restore the newest kept work; the others wait for the
// next start, one a start. y loads it as a step that can be undone (the
// level then counts as unsaved, under no name) and leaves it in `restored`,
// held by this editor and kept on disk until its level is saved
// (KeptLevelSaved): a signal before then loses nothing. n keeps it for the
// next start, and a second n removes it. Kept work that is not a level is
// said so and left where it is, never offered again; kept work that another
// editor is offering is passed over.
void OfferKeptWork(Level& level, const HeaderTemplate& header, UndoHistory& history, KeptWork& restored);

// The level restored from kept work has been saved: the kept work goes.
void KeptLevelSaved(KeptWork& restored);
// Another level has replaced it (New, Load): its kept work stays on disk for
// the next start, and another editor may take it.
void KeptLevelReplaced(KeptWork& restored);

}  // namespace terrafix
