#include "editor/main_loop.h"

#include <memory>
#include <string>

#include "display/slice_views.h"
#include "display/toolbar.h"
#include "editor/fill_and_pick.h"
#include "editor/keys_and_clicks.h"
#include "editor/painting.h"
#include "editor/unsaved_work.h"
#include "files/folder_cleanup.h"
#include "files/levels_folder.h"
#include "files/load_save_commands.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {
constexpr int32_t LeftButtonAlone = 1;
constexpr int32_t NoButton = 0;
}  // namespace

void RunEditor(const StartOptions& start) {
  // Allocated once for the whole run.
  auto grid = std::make_unique<LevelGrid>();
  auto header = std::make_unique<HeaderTemplate>();
  EditorState state;
  UndoHistory history;
  header->TemplateFile = start.TemplateFile;
  header->InstalledFile = InstalledTemplateFile();
  ReadHeaderTemplate(*header);
  CleanUpFolder();
  OpenScreen(1050, 800, 32, start.OpenBackend);
  // Ended from outside (a closed terminal, a logout, a lost display), the
  // editor keeps what would be lost.
  SetLastWishes([&] { KeepUnsavedWork(*grid, *header, history); });
  DrawPass(state, *grid);
  if (!start.Message.empty()) ShowMessage(start.Message);
  if (!start.LevelFile.empty()) {
    if (const auto name = LoadLevel(NameOfLevelFile(start.LevelFile), *grid, *header)) MarkSaved(history, *name);
  }
  OfferKeptWork(*grid, *header, history);
  for (;;) {
    if (RunPass(state, *grid, *header, history)) WaitForInput();
  }
}

void DrawPass(const EditorState& state, const LevelGrid& grid) {
  LockScreen();
  // The views paint every pixel of their areas: clearing those first would
  // only be overwritten.
  PixelRect views[3];
  ClearScreenExcept(views, ViewAreas(state, views));
  PrintTitle();
  DrawViews(state, grid);
  DrawFillOutline(state);
  DrawToolbar(state);
  PrintReadouts(state);
  UnlockScreen();
}

bool RunPass(EditorState& state, LevelGrid& grid, HeaderTemplate& header, UndoHistory& history) {
  DrawPass(state, grid);
  const MouseReading mouse = ReadMouse();
  const int32_t previousButtons = state.MouseButtons;
  const bool sameReading = mouse.X == state.MouseX && mouse.Y == state.MouseY && mouse.Wheel == state.MouseWheel &&
                           mouse.Buttons == state.MouseButtons;
  state.MouseX = mouse.X;
  state.MouseY = mouse.Y;
  state.MouseWheel = mouse.Wheel;
  state.MouseButtons = mouse.Buttons;
  const std::string key = LowerCase(ReadKey());
  HandleKey(state, key);
  HandleUndoKey(key, grid, history);
  bool clicked = false;
  if (state.MouseButtons == LeftButtonAlone) {
    PaintAtPointer(state, grid, history);
    if (state.ClickLatch == 0) {
      state.ClickLatch = 1;
      HandleClick(state, grid, header, history, state.MouseX, state.MouseY);
      clicked = true;
    }
  } else if (state.MouseButtons == NoButton) {
    state.ClickLatch = 0;
    EndStroke(history);  // the press that painted has ended
  }
  HandleFillAndPick(state, grid, history, previousButtons);
  return key.empty() && sameReading && !clicked;
}

}  // namespace terrafix
