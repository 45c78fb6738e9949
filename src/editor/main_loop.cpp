#include "editor/main_loop.h"

#include <memory>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "display/slice_views.h"
#include "display/toolbar.h"
#include "display/view_geometry.h"
#include "editor/box_commands.h"
#include "editor/box_files.h"
#include "editor/fill_and_pick.h"
#include "editor/keys_and_clicks.h"
#include "editor/painting.h"
#include "editor/picture_window.h"
#include "editor/selection.h"
#include "editor/unsaved_work.h"
#include "files/folder_cleanup.h"
#include "files/levels_folder.h"
#include "files/load_save_commands.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {
constexpr std::string_view NoMemoryMessage =
    "Not enough memory for that; nothing changed                                                 ";
constexpr std::string_view NoMemoryForPictureMessage =
    "Not enough memory for the picture window; it is closed                                      ";
static_assert(NoMemoryMessage.size() == MessageWidth && NoMemoryForPictureMessage.size() == MessageWidth);
constexpr int32_t LeftButtonAlone = 1;
constexpr int32_t NoButton = 0;
}  // namespace

void RunEditor(const StartOptions& start) {
  auto level = std::make_unique<Level>();
  auto header = std::make_unique<HeaderTemplate>();
  EditorState state;
  UndoHistory history;
  auto work = std::make_unique<EditorWork>();
  header->TemplateFile = start.TemplateFile;
  header->InstalledFile = InstalledTemplateFile();
  ReadHeaderTemplate(*header);
  CleanUpFolder();
  OpenScreen(1050, 800, 32, start.OpenBackend);
  // Ended from outside (a closed terminal, a logout, a lost display), the
  // editor keeps what would be lost.
  SetLastWishes([&] { KeepUnsavedWork(*level, *header, history); });
  std::set_terminate(EndAfterFailure);  // whatever fails, unsaved work is kept
  DrawPass(state, *level);
  if (!start.Message.empty()) ShowMessage(start.Message);
  if (!start.LevelFile.empty() && LoadLevel(NameOfLevelFile(start.LevelFile), *level, *header)) MarkSaved(history);
  OfferKeptWork(*level, *header, history, work->Restored);
  auto picture = std::make_unique<PictureWindow>();
  for (;;) {
    bool idle = false;
    // Memory that runs out refuses the one action, never the editor: the
    // level and what is kept of it stay as they were.
    try {
      idle = RunPass(state, *level, *header, history, *work);
    } catch (const std::bad_alloc&) {
      work->Said = std::string(NoMemoryMessage);
    } catch (const std::length_error&) {  // (a size past what a vector holds)
      work->Said = std::string(NoMemoryMessage);
    }
    try {
      UpdatePictureWindow(state, *level, history, *picture);
    } catch (const std::bad_alloc&) {
      *picture = {};  // its memory back
      ClosePictureWindow();
      state.PictureShown = 0;
      work->Said = std::string(NoMemoryForPictureMessage);
    }
    if (idle) WaitForInput();
  }
}

void DrawPass(const EditorState& state, const Level& level, std::string_view said) {
  LockScreen();
  // The views paint every pixel of their areas: clearing those first would
  // only be overwritten.
  PixelRect views[3];
  ClearScreenExcept(views, ViewAreas(state, level, views));
  PrintTitle();
  DrawViews(state, level);
  DrawFillOutline(state, level);
  DrawBoxOutline(state, level);
  DrawToolbar(state);
  PrintReadouts(state);
  if (!said.empty()) {
    SetTextCursor(QuestionRow, QuestionColumn);
    PrintText(said, PrintEnding::None);
  }
  UnlockScreen();
}

bool RunPass(EditorState& state, Level& level, HeaderTemplate& header, UndoHistory& history, EditorWork& work) {
  FitStateToLevel(state, level);  // the level may be another since the pass before
  FitBoxToLevel(state, level);
  DrawPass(state, level, work.Said);
  const MouseReading mouse = ReadMouse();
  const int32_t previousButtons = state.MouseButtons;
  const bool sameReading = mouse.X == state.MouseX && mouse.Y == state.MouseY && mouse.Wheel == state.MouseWheel &&
                           mouse.Buttons == state.MouseButtons;
  state.MouseX = mouse.X;
  state.MouseY = mouse.Y;
  state.MouseWheel = mouse.Wheel;
  state.MouseButtons = mouse.Buttons;
  state.MouseSelect = mouse.Select ? 1 : 0;
  const std::string key = LowerCase(ReadKey());
  const bool pressed = previousButtons <= NoButton && state.MouseButtons > NoButton;
  if (!key.empty() || pressed) work.Said.clear();  // a message stands until the next key or click
  HandleKey(state, level, key);
  HandleUndoKey(key, level, history);
  HandleBoxKey(state, level, history, work, key);
  HandleBoxFileKey(state, level, header, work, key);
  const bool selecting = HandleSelection(state, level, previousButtons);
  bool clicked = false;
  if (state.MouseButtons == LeftButtonAlone) {
    if (!selecting) PaintAtPointer(state, level, history);
    if (state.ClickLatch == 0) {
      state.ClickLatch = 1;
      HandleClick(state, level, header, history, work.Restored, state.MouseX, state.MouseY);
      clicked = true;
    }
  } else if (state.MouseButtons == NoButton) {
    state.ClickLatch = 0;
    EndStroke(history);  // the press that painted has ended
  }
  HandleFillAndPick(state, level, history, previousButtons);
  return key.empty() && sameReading && !clicked;
}

}  // namespace terrafix
