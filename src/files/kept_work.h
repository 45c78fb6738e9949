// Unsaved work kept when the editor is ended from outside (its terminal
// closed, a logout, a lost display), in the user's private state folder,
// never in a level folder. Each editor keeps its work under a name of its
// own (the time and the process), as one file placed in one step: a note of
// when, the working folder and the level's name, a zero byte, then the level
// file compressed. A kill at any instant leaves no kept work or a whole one.
//
// The state folder is the first of $XDG_STATE_HOME/terrafix,
// ~/.local/state/terrafix and terrafix-UID in the system's temporary folder
// that is, or can be made, a folder of this user's that only this user may
// enter (0700); kept work is 0600.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/header_template.h"
#include "formats/level_reading.h"
#include "level/level.h"

namespace terrafix {

struct KeptWork {
  std::string File;    // with its folder
  int64_t Time = 0;    // when it was kept, in Unix seconds
  std::string Folder;  // the working folder then
  std::string Level;   // the name it was last loaded or saved as; empty for a new level
  bool Declined = false;  // the user answered n at an earlier start
  size_t LevelOffset = 0;  // where the compressed level begins in the file
  int Fd = -1;             // while taken: open and locked
};

// Keeps the level (with its name) in the first state folder that takes it;
// `where` is then the kept file. Touches nothing of the screen. False, with `why`, when no
// folder could take it.
bool KeepWork(const Level& level, const HeaderTemplate& header, std::string& where, std::string& why);

// The kept work of every state folder, newest first.
std::vector<KeptWork> FindKeptWork();

// Takes the kept work for this editor alone: false when another editor has
// it, or it is gone. Released by Release, Decline, SetAside or Remove.
bool TakeKeptWork(KeptWork& work);

// The kept level into `read`, read as a Load reads a level; refused (or
// unreadable), `read` is as it was and `why` says so.
bool ReadKeptWork(const KeptWork& work, Level& read, const HeaderTemplate& header, std::string& why);

// n at the first start that offers it: offered once more. At a later one,
// removed.
void DeclineKeptWork(KeptWork& work);
// Not a level: left in its folder for the user, never offered again.
void SetKeptWorkAside(KeptWork& work);
void RemoveKeptWork(KeptWork& work);
void ReleaseKeptWork(KeptWork& work);

// "2026-12-10 17:30", local time.
std::string KeptTimeText(int64_t time);

}  // namespace terrafix
