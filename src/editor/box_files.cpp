#include "editor/box_files.h"

#include <utility>

#include "editor/box_commands.h"
#include "files/load_save_commands.h"
#include "level/clipboard.h"
#include "platform/screen/line_input.h"

namespace terrafix {

namespace {

constexpr std::string_view ExportKey = "e";
constexpr std::string_view PlaceKey = "p";

constexpr std::string_view NoBoxToExportMessage = "No box to export: Shift + drag on a view selects one, a the whole level";

void Say(EditorWork& work, std::string text) {
  text.resize(MessageWidth, ' ');
  work.Said = std::move(text);
}

void Export(const EditorState& state, const Level& level, const HeaderTemplate& header, EditorWork& work) {
  if (!state.BoxShown) return Say(work, std::string(NoBoxToExportMessage));
  if (std::string tooLarge = BoxTooLarge(state.Box); !tooLarge.empty()) return Say(work, std::move(tooLarge));
  // The box as a level of its own, of no format yet: written new in the
  // format the name asks for.
  Clipboard cells;
  CopyBox(level, state.Box, cells);
  Level part;
  part.Width = cells.Width, part.Length = cells.Length, part.Height = cells.Height;
  part.Cells = std::move(cells.Cells);
  part.TopPlane.assign(PlanCells(part), 0);
  ExportCommand(part, header);
}

void Place(const HeaderTemplate& header, EditorWork& work) {
  Level placed;
  if (!PlaceCommand(placed, header)) return;
  work.Clip = {placed.Width, placed.Length, placed.Height, std::move(placed.Cells)};
  Say(work, "Placed " + SizeText(work.Clip.Width, work.Clip.Length, work.Clip.Height) +
                " in the clipboard: v or t pastes it");
}

}  // namespace

void HandleBoxFileKey(const EditorState& state, const Level& level, const HeaderTemplate& header, EditorWork& work,
                      std::string_view key) {
  if (key == ExportKey) Export(state, level, header, work);
  if (key == PlaceKey) Place(header, work);
}

}  // namespace terrafix
