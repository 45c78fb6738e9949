// Unsaved work kept when the editor is ended from outside (its terminal
// closed, a logout, a lost display): the level, compressed, and a note of
// when and where, in the user's state folder ($XDG_STATE_HOME/terrafix, by
// default ~/.local/state/terrafix), never in a level folder.
#pragma once

#include <cstdint>
#include <string>

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

struct RecoveryNote {
  int64_t Time = 0;    // when the work was kept, in Unix seconds
  std::string Folder;  // the working folder then
  std::string Level;   // the name of the level it was last loaded or saved as; empty for a new one
  bool Declined = false;  // the user answered n once already
};

// The state folder; empty when there is no home to find it in.
std::string RecoveryFolder();

// Keeps the level and the note, each in place in one step. Touches nothing
// of the screen. False, with `why`, when it could not.
bool KeepRecovery(const LevelGrid& grid, HeaderTemplate& header, const std::string& level, std::string& why);

// Whether kept work is there, with its note.
bool FindRecovery(RecoveryNote& note);

// The kept level into the grid (and its header into the template). False,
// with `why`, when it cannot be read.
bool ReadRecovery(LevelGrid& grid, HeaderTemplate& header, std::string& why);

// The note written again, as declined once.
void NoteRecoveryDeclined(RecoveryNote note);

// The kept work removed.
void RemoveRecovery();

// "2026-12-10 17:30", local time.
std::string RecoveryTimeText(int64_t time);

}  // namespace terrafix
