#include "editor/keys_and_clicks.h"

#include "display/toolbar.h"
#include "editor/confirmations.h"
#include "files/load_save_commands.h"
#include "platform/screen/key_codes.h"

namespace terrafix {

namespace {

struct SliceKey {
  std::string_view Key;
  int32_t EditorState::*Field;
  int32_t Step;
  int32_t Limit;  // the value the step may not pass
};

constexpr int32_t LastSlice = LevelWidth - 1;

constexpr SliceKey SliceKeys[] = {
    {"j", &EditorState::SliceX, +1, LastSlice}, {"g", &EditorState::SliceX, -1, 0},
    {"n", &EditorState::SliceY, +1, LastSlice}, {"y", &EditorState::SliceY, -1, 0},
    {"b", &EditorState::Layer, +1, TopLayer},   {"u", &EditorState::Layer, -1, 0},
};

// New and Load replace the level-file region: what it was becomes a step,
// and the level as it is then counts as saved (under the name loaded).
template <typename Command>
void AsAStep(LevelGrid& grid, UndoHistory& history, Command command) {
  UndoStep before = LevelStep(grid);
  if (const std::optional<std::string> name = command()) {
    PushStep(history, std::move(before));
    MarkSaved(history, *name);
  }
}

void StartCommand(ToolbarAction action, LevelGrid& grid, HeaderTemplate& header, UndoHistory& history) {
  switch (action) {
    case ToolbarAction::NewLevel:
      AsAStep(grid, history, [&] { return ConfirmNew(grid, header) ? std::optional<std::string>("") : std::nullopt; });
      break;
    case ToolbarAction::Load: AsAStep(grid, history, [&] { return LoadCommand(grid, header); }); break;
    case ToolbarAction::Save:
      SaveCommand(grid, header, [&](const std::string& name) { MarkSaved(history, name); });
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

void HandleKey(EditorState& state, std::string_view key) {
  for (const SliceKey& k : SliceKeys) {
    int32_t& value = state.*k.Field;
    if (key == k.Key && value != k.Limit) value += k.Step;
  }
}

void HandleUndoKey(std::string_view key, LevelGrid& grid, UndoHistory& history) {
  if (key.size() != 1) return;
  const int code = static_cast<unsigned char>(key[0]);
  if (code == KeyCtrlZ) Undo(history, grid);
  if (code == KeyCtrlY) Redo(history, grid);
}

void HandleClick(EditorState& state, LevelGrid& grid, HeaderTemplate& header, UndoHistory& history, int32_t x,
                 int32_t y) {
  std::span<const ToolbarBox> boxes = ToolbarBoxes();
  for (const ToolbarBox& square : boxes.first(MenuSquareCount)) {
    if (BoxContains(square, x, y)) {
      StartCommand(square.Action, grid, header, history);
      return;
    }
  }
  for (const ToolbarBox& box : boxes.subspan(MenuSquareCount)) {
    if (BoxContains(box, x, y)) ApplyOption(state, box);
  }
}

}  // namespace terrafix
