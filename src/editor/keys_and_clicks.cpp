#include "editor/keys_and_clicks.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "display/toolbar.h"
#include "display/view_geometry.h"
#include "editor/confirmations.h"
#include "editor/selection.h"
#include "editor/unsaved_work.h"
#include "files/load_save_commands.h"
#include "platform/screen/key_codes.h"

namespace terrafix {

namespace {

// A key that moves a slice: which, by how much.
struct SliceKey {
  std::string_view Key;
  int32_t EditorState::*Field;
  int32_t Step;
};

constexpr SliceKey SliceKeys[] = {
    {"j", &EditorState::SliceX, +1}, {"g", &EditorState::SliceX, -1}, {"n", &EditorState::SliceY, +1},
    {"y", &EditorState::SliceY, -1}, {"b", &EditorState::Layer, +1},  {"u", &EditorState::Layer, -1},
};

// A key that moves the part shown: which pan, along the axis of which count
// of cells shown, which way.
struct PanKey {
  int Code;
  int32_t EditorState::*Field;
  int32_t ShownPart::*Shown;
  int32_t Direction;
};

constexpr PanKey PanKeys[] = {
    {ExtendedCode(ScanLeft), &EditorState::PanX, &ShownPart::CountX, -1},
    {ExtendedCode(ScanRight), &EditorState::PanX, &ShownPart::CountX, +1},
    {ExtendedCode(ScanUp), &EditorState::PanY, &ShownPart::CountY, -1},
    {ExtendedCode(ScanDown), &EditorState::PanY, &ShownPart::CountY, +1},
    {ExtendedCode(ScanPageUp), &EditorState::PanZ, &ShownPart::CountZ, +1},
    {ExtendedCode(ScanPageDown), &EditorState::PanZ, &ShownPart::CountZ, -1},
};

// Opens and closes the picture window.
constexpr std::string_view PictureKey = "i";
// Undoes as Ctrl+Z does (which a terminal keeps for its shell).
constexpr std::string_view UndoKey = "z";

// A New or a Load (or anything else that makes a whole level) replaces the
// level as a step, and the new level counts as saved. The box was the old
// level's.
void AsAStep(EditorState& state, Level& level, UndoHistory& history, KeptWork& restored,
             const std::function<bool(Level&)>& command) {
  Level made;
  if (!command(made)) return;
  ReplaceLevel(level, std::move(made), history);
  MarkSaved(history);
  ClearBox(state);
  KeptLevelReplaced(restored);
}

void StartCommand(ToolbarAction action, EditorState& state, Level& level, HeaderTemplate& header,
                  UndoHistory& history, KeptWork& restored) {
  switch (action) {
    case ToolbarAction::NewLevel:
      AsAStep(state, level, history, restored, [&](Level& made) { return ConfirmNew(made, header); });
      break;
    case ToolbarAction::Load:
      AsAStep(state, level, history, restored, [&](Level& made) { return LoadCommand(made, header); });
      break;
    case ToolbarAction::Save:
      SaveCommand(level, header, [&] {
        MarkSaved(history);
        KeptLevelSaved(restored);
      });
      break;
    case ToolbarAction::Quit: ConfirmQuit(); break;
    default: break;
  }
}

void ApplyOption(EditorState& state, const ToolbarBox& box) {
  switch (box.Action) {
    case ToolbarAction::SetViewMode: state.ViewMode = box.Value; break;
    case ToolbarAction::SetZoom: state.Zoom = box.Value; break;
    case ToolbarAction::ToggleGrid: state.GridVisible = state.GridVisible == 1 ? 0 : 1; break;
    case ToolbarAction::SetTile: state.CurrentTile = box.Value; break;
    default: break;
  }
}

}  // namespace

void HandleKey(EditorState& state, const Level& level, std::string_view key) {
  if (key == PictureKey) state.PictureShown = 1 - state.PictureShown;
  for (const SliceKey& k : SliceKeys) {
    if (key != k.Key) continue;
    state.*k.Field += k.Step;
    BringSliceIntoView(state, level, k.Field);  // (which holds the slice within the level too)
  }
  const ShownPart part = PartShown(state, level);
  const int code = KeyCodeOf(key);
  for (const PanKey& k : PanKeys) {
    if (code != k.Code) continue;
    state.*k.Field += k.Direction * std::max(1, part.*k.Shown / 4);
    FitStateToLevel(state, level);
  }
}

void HandleUndoKey(std::string_view key, Level& level, UndoHistory& history) {
  const int code = KeyCodeOf(key);
  if (code == KeyCtrlZ || key == UndoKey) Undo(history, level);
  if (code == KeyCtrlY) Redo(history, level);
}

void HandleClick(EditorState& state, Level& level, HeaderTemplate& header, UndoHistory& history,
                 KeptWork& restored, int32_t x, int32_t y) {
  std::span<const ToolbarBox> boxes = ToolbarBoxes();
  for (const ToolbarBox& square : boxes.first(MenuSquareCount)) {
    if (BoxContains(square, x, y)) {
      StartCommand(square.Action, state, level, header, history, restored);
      return;
    }
  }
  for (const ToolbarBox& box : boxes.subspan(MenuSquareCount)) {
    if (BoxContains(box, x, y)) ApplyOption(state, box);
  }
}

}  // namespace terrafix
