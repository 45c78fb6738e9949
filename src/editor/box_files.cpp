#include "editor/box_files.h"

#include <utility>

#include "files/load_save_commands.h"
#include "level/clipboard.h"
#include "platform/machine/machine_memory.h"
#include "platform/screen/line_input.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

constexpr std::string_view ExportKey = "e";
constexpr std::string_view PlaceKey = "p";

constexpr std::string_view NoBoxToExportMessage = "No box to export: Shift + drag on a view selects one, a the whole level";

void Say(EditorWork& work, std::string text) {
  text.resize(MessageWidth, ' ');
  work.Said = std::move(text);
}

std::string SizeText(int32_t width, int32_t length, int32_t height) {
  return std::to_string(width) + " x " + std::to_string(length) + " x " + std::to_string(height);
}

void Export(const EditorState& state, const Level& level, const HeaderTemplate& header, EditorWork& work) {
  if (!state.BoxShown) return Say(work, std::string(NoBoxToExportMessage));
  const CellBox& box = state.Box;
  if (BoxCells(box) > MemoryForALevel()) {
    return Say(work, "A box of " + SizeText(BoxWidth(box), BoxLength(box), BoxHeight(box)) + " needs " +
                         MemoryText(BoxCells(box)) + ", more than this machine has");
  }
  // The box as a level of its own, of no format yet: written new in the
  // format the name asks for.
  Clipboard cells;
  CopyBox(level, box, cells);
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
