#include "editor/box_commands.h"

#include <utility>

#include "display/toolbar.h"
#include "display/view_geometry.h"
#include "editor/box_edits.h"
#include "editor/selection.h"
#include "platform/machine/machine_memory.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/line_input.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

enum class BoxAction {
  SelectAll, Unselect, Fill, Clear, Replace, FloodSlice, FloodLevel, Copy, Cut, Paste, PasteOverAir,
  TurnAnticlockwise, TurnClockwise, Mirror
};

struct BoxKey {
  int Code;
  BoxAction Action;
};

constexpr BoxKey BoxKeys[] = {
    {'a', BoxAction::SelectAll},   {KeyCtrlA, BoxAction::SelectAll},
    {KeyEsc, BoxAction::Unselect}, {'f', BoxAction::Fill},
    {ExtendedCode(ScanDelete), BoxAction::Clear},
    {'r', BoxAction::Replace},     {'o', BoxAction::FloodSlice},
    {'l', BoxAction::FloodLevel},  {'c', BoxAction::Copy},
    {KeyCtrlC, BoxAction::Copy},   {'x', BoxAction::Cut},
    {KeyCtrlX, BoxAction::Cut},    {'v', BoxAction::Paste},
    {KeyCtrlV, BoxAction::Paste},  {'t', BoxAction::PasteOverAir},
    {'[', BoxAction::TurnAnticlockwise}, {']', BoxAction::TurnClockwise},
    {'m', BoxAction::Mirror},
};

constexpr uint8_t Air = 0;

constexpr std::string_view NoBoxMessage = "No box: Shift + drag on a view selects one, a the whole level";
constexpr std::string_view NoCellMessage = "No cell of the level under the pointer";
constexpr std::string_view OutsideBoxMessage = "The cell under the pointer is outside the box";
constexpr std::string_view NothingToPasteMessage = "Nothing to paste";
constexpr std::string_view EmptyClipboardMessage = "The clipboard is empty: c copies the box into it";

std::string SizeText(const CellBox& b) { return terrafix::SizeText(BoxWidth(b), BoxLength(b), BoxHeight(b)); }
std::string SizeText(const Clipboard& c) { return terrafix::SizeText(c.Width, c.Length, c.Height); }

// The level cell under the pointer (not the plane above the top); false for none.
bool CellUnderPointer(const EditorState& s, const Level& level, int32_t& x, int32_t& y, int32_t& z) {
  const ViewCell cell = ViewCellAt(s, level, s.MouseX, s.MouseY);
  switch (cell.View) {
    case SliceView::Top: x = cell.H, y = cell.V, z = s.Layer; break;
    case SliceView::SideA: x = s.SliceX, y = cell.H, z = cell.V; break;
    case SliceView::SideB: x = cell.H, y = s.SliceY, z = cell.V; break;
    default: return false;
  }
  return z < level.Height;
}

// The slice of the view under the pointer, as a box.
CellBox SliceUnderPointer(const EditorState& s, const Level& level) {
  CellBox slice = WholeLevel(level);
  switch (ViewCellAt(s, level, s.MouseX, s.MouseY).View) {
    case SliceView::Top: slice.Z0 = slice.Z1 = s.Layer; break;
    case SliceView::SideA: slice.X0 = slice.X1 = s.SliceX; break;
    default: slice.Y0 = slice.Y1 = s.SliceY; break;
  }
  return slice;
}

// Everything an action works on.
struct BoxContext {
  EditorState& State;
  Level& TheLevel;
  UndoHistory& History;
  EditorWork& Work;
  void Say(std::string text) {
    text.resize(MessageWidth, ' ');  // over all of the menu line, and no further
    Work.Said = std::move(text);
  }
};

void Fill(BoxContext& c, uint8_t tile, std::string_view done) {
  if (!c.State.BoxShown) return c.Say(std::string(NoBoxMessage));
  PushStep(c.History, FillBox(c.TheLevel, c.State.Box, tile));
  c.Say(std::string(done) + " " + WithThousands(BoxCells(c.State.Box)) + " cells");
}

void Replace(BoxContext& c) {
  int32_t x, y, z;
  if (!CellUnderPointer(c.State, c.TheLevel, x, y, z)) return c.Say(std::string(NoCellMessage));
  const auto from = static_cast<uint8_t>(ReadCell(c.TheLevel, x, y, z));
  const auto to = static_cast<uint8_t>(c.State.CurrentTile);
  size_t changed = 0;
  UndoStep step = ReplaceInBox(c.TheLevel, BoxOrLevel(c.State, c.TheLevel), from, to, changed);
  if (changed > 0) PushStep(c.History, std::move(step));
  c.Say("Replaced " + WithThousands(changed) + " " + TileName(from) + " by " + TileName(to));
}

void Flood(BoxContext& c, bool throughLevel) {
  int32_t x, y, z;
  if (!CellUnderPointer(c.State, c.TheLevel, x, y, z)) return c.Say(std::string(NoCellMessage));
  if (c.State.BoxShown && !BoxHolds(c.State.Box, x, y, z)) return c.Say(std::string(OutsideBoxMessage));
  CellBox region = BoxOrLevel(c.State, c.TheLevel);
  if (!throughLevel) IntersectBoxes(region, SliceUnderPointer(c.State, c.TheLevel), region);
  size_t changed = 0;
  UndoStep step = FloodFill(c.TheLevel, region, x, y, z, static_cast<uint8_t>(c.State.CurrentTile), changed);
  if (changed > 0) PushStep(c.History, std::move(step));
  c.Say("Flood filled " + WithThousands(changed) + " cells");
}

// The box into the clipboard; false (and said why) when it cannot be.
bool Copy(BoxContext& c, std::string_view done) {
  if (!c.State.BoxShown) return c.Say(std::string(NoBoxMessage)), false;
  const CellBox& box = c.State.Box;
  if (std::string tooLarge = BoxTooLarge(box); !tooLarge.empty()) return c.Say(std::move(tooLarge)), false;
  CopyBox(c.TheLevel, box, c.Work.Clip);
  c.Say(std::string(done) + " " + SizeText(box));
  return true;
}

void Paste(BoxContext& c, bool overAir) {
  if (ClipboardEmpty(c.Work.Clip)) return c.Say(std::string(NothingToPasteMessage));
  int32_t x, y, z;
  if (!CellUnderPointer(c.State, c.TheLevel, x, y, z)) return c.Say(std::string(NoCellMessage));
  CellBox part;
  PastedPart(c.TheLevel, c.Work.Clip, x, y, z, part);  // (the cell at the corner is the level's)
  PushStep(c.History, PasteClipboard(c.TheLevel, c.Work.Clip, x, y, z, overAir, part));
  SetBox(c.State, part);
  const bool whole = BoxCells(part) == c.Work.Clip.Cells.size();
  c.Say("Pasted " + SizeText(part) + (whole ? "" : " of " + SizeText(c.Work.Clip)));
}

void Turn(BoxContext& c, bool clockwise) {
  if (ClipboardEmpty(c.Work.Clip)) return c.Say(std::string(EmptyClipboardMessage));
  TurnClipboard(c.Work.Clip, clockwise);
  c.Say(std::string("Turned the clipboard ") + (clockwise ? "clockwise" : "anticlockwise") + ": " +
        SizeText(c.Work.Clip));
}

void Act(BoxContext& c, BoxAction action) {
  switch (action) {
    case BoxAction::SelectAll: SetBox(c.State, WholeLevel(c.TheLevel)); break;
    case BoxAction::Unselect: ClearBox(c.State); break;
    case BoxAction::Fill: Fill(c, static_cast<uint8_t>(c.State.CurrentTile), "Filled"); break;
    case BoxAction::Clear: Fill(c, Air, "Cleared"); break;
    case BoxAction::Replace: Replace(c); break;
    case BoxAction::FloodSlice: Flood(c, false); break;
    case BoxAction::FloodLevel: Flood(c, true); break;
    case BoxAction::Copy: Copy(c, "Copied"); break;
    case BoxAction::Cut:
      if (Copy(c, "Cut")) PushStep(c.History, FillBox(c.TheLevel, c.State.Box, Air));
      break;
    case BoxAction::Paste: Paste(c, false); break;
    case BoxAction::PasteOverAir: Paste(c, true); break;
    case BoxAction::TurnAnticlockwise: Turn(c, false); break;
    case BoxAction::TurnClockwise: Turn(c, true); break;
    case BoxAction::Mirror:
      if (ClipboardEmpty(c.Work.Clip)) return c.Say(std::string(EmptyClipboardMessage));
      MirrorClipboard(c.Work.Clip);
      c.Say("Mirrored the clipboard: " + SizeText(c.Work.Clip));
      break;
  }
}

}  // namespace

std::string SizeText(int32_t width, int32_t length, int32_t height) {
  return std::to_string(width) + " x " + std::to_string(length) + " x " + std::to_string(height);
}

std::string BoxTooLarge(const CellBox& box) {
  if (BoxCells(box) <= MemoryForALevel()) return {};
  return "A box of " + SizeText(box) + " needs " + MemoryText(BoxCells(box)) + ", more than this machine has";
}

void HandleBoxKey(EditorState& state, Level& level, UndoHistory& history, EditorWork& work, std::string_view key) {
  const int code = KeyCodeOf(key);
  for (const BoxKey& k : BoxKeys) {
    if (k.Code != code) continue;
    // Every action takes the memory it needs before it changes anything: one
    // that cannot have it (std::bad_alloc, refused by the main loop) changes nothing.
    BoxContext context{state, level, history, work};
    Act(context, k.Action);
    return;
  }
}

}  // namespace terrafix
