#include "editor/unsaved_work.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "files/kept_work.h"
#include "files/load_save_commands.h"
#include "platform/files/file_system.h"
#include "platform/screen/line_input.h"
#include "platform/text/cp437.h"

namespace terrafix {

namespace {

// A question leaves a column of row 1 for the answer.
constexpr size_t QuestionWidth = MessageWidth - 1;

// The folder with the home folder as "~".
std::string FolderText(const std::string& folder) {
  const char* home = std::getenv("HOME");
  const std::string_view h = home ? home : "";
  if (h.size() > 1 && folder.starts_with(h) && (folder.size() == h.size() || folder[h.size()] == '/')) {
    std::string home = "~";
    home += folder.substr(h.size());
    return Cp437TextOf(home);
  }
  return Cp437TextOf(folder);
}

// A folder in at most `width` columns: as it is, or "..." and its end.
std::string KeepEnd(const std::string& text, size_t width) {
  constexpr std::string_view Cut = "...";
  if (text.size() <= width) return text;
  return width <= Cut.size() ? text.substr(text.size() - width)
                             : std::string(Cut) + text.substr(text.size() - (width - Cut.size()));
}

}  // namespace

std::string RestoreQuestion(const std::string& level, const std::string& folder, int64_t time) {
  const std::string start = "Unsaved work", rest = " from " + KeptTimeText(time) + " was kept. Restore it? (y/n) ";
  const std::string name = Cp437TextOf(level), place = FolderText(folder);
  constexpr std::string_view Of = " of ''";
  const std::string_view In = place.empty() ? "" : " in ";  // (a folder removed meanwhile has no name)
  // What the name and the folder may take: the name at least a few letters
  // when the folder is long, the folder what is left.
  constexpr size_t NameRoom = 12;
  const size_t room = QuestionWidth - start.size() - rest.size() - In.size() - (name.empty() ? 0 : Of.size());
  const size_t nameWidth = std::min(name.size(), std::max(NameRoom, room - std::min(room, place.size())));
  const std::string of = name.empty() ? "" : " of '" + ShortenedName(name, nameWidth) + "'";
  return start + of + std::string(In) + KeepEnd(place, room - std::min(room, nameWidth)) + rest;
}

std::string UnreadableKeptWorkMessage(int64_t time, const std::string& folder) {
  const std::string start = "Kept work from " + KeptTimeText(time) + " could not be read; it stays in ";
  std::string text = start + KeepEnd(FolderText(folder) + "/", MessageWidth - start.size());
  text.resize(MessageWidth, ' ');
  return text;
}

void KeepUnsavedWork(const Level& level, const HeaderTemplate& header, const UndoHistory& history) {
  if (!HasUnsavedChanges(history)) return;
  std::string where, why;
  if (KeepWork(level, header, where, why)) {
    std::fprintf(stderr, "terrafix: unsaved work kept in %s\n", where.c_str());
  } else {
    std::fprintf(stderr, "terrafix: unsaved work could not be kept: %s\n", why.c_str());
  }
}

void OfferKeptWork(Level& level, const HeaderTemplate& header, UndoHistory& history, KeptWork& restored) {
  for (KeptWork& work : FindKeptWork()) {
    if (!TakeKeptWork(work)) continue;  // another editor is offering it
    // One offer a start: the rest wait for the next.
    if (!AskYesOrNo(RestoreQuestion(work.Level, work.Folder, work.Time), QuestionRow, QuestionColumn)) {
      DeclineKeptWork(work);
      return;
    }
    Level kept;
    std::string why;
    if (!ReadKeptWork(work, kept, header, why)) {
      std::fprintf(stderr, "terrafix: kept work %s could not be read: %s\n", work.File.c_str(), why.c_str());
      SetKeptWorkAside(work);
      ShowMessage(UnreadableKeptWorkMessage(work.Time, FolderOf(work.File)));
      return;
    }
    kept.Name.clear();  // unsaved, and under no name
    ReplaceLevel(level, std::move(kept), history);
    restored = work;  // held until its level is saved
    return;
  }
}

void KeptLevelSaved(KeptWork& restored) {
  if (restored.File.empty()) return;
  RemoveKeptWork(restored);
  restored = {};
}

void KeptLevelReplaced(KeptWork& restored) {
  if (restored.File.empty()) return;
  ReleaseKeptWork(restored);
  restored = {};
}

}  // namespace terrafix
