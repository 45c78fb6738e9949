#include "editor/unsaved_work.h"

#include <cstdio>
#include <utility>

#include "files/recovery.h"
#include "platform/screen/line_input.h"

namespace terrafix {

std::string RestoreQuestion(int64_t time) {
  return "Unsaved work from " + RecoveryTimeText(time) + " was kept. Restore it? (y/n) ";
}

void KeepUnsavedWork(const LevelGrid& grid, HeaderTemplate& header, const UndoHistory& history) {
  if (!HasUnsavedChanges(history)) return;
  std::string why;
  if (KeepRecovery(grid, header, history.SavedName, why)) {
    std::fprintf(stderr, "terrafix: unsaved work kept in %s\n", RecoveryFolder().c_str());
  } else {
    std::fprintf(stderr, "terrafix: unsaved work could not be kept: %s\n", why.c_str());
  }
}

void OfferKeptWork(LevelGrid& grid, HeaderTemplate& header, UndoHistory& history) {
  RecoveryNote note;
  if (!FindRecovery(note)) return;
  if (!AskYesOrNo(RestoreQuestion(note.Time), QuestionRow, QuestionColumn)) {
    if (note.Declined) {
      RemoveRecovery();
    } else {
      NoteRecoveryDeclined(note);
    }
    return;
  }
  UndoStep before = LevelStep(grid);
  std::string why;
  if (!ReadRecovery(grid, header, why)) {
    std::fprintf(stderr, "terrafix: kept work could not be read: %s\n", why.c_str());
    return;
  }
  PushStep(history, std::move(before));
  RemoveRecovery();
}

}  // namespace terrafix
