// Building in boxes: every operation against a slow reference that works
// cell by cell, over random sequences with undo and redo; the clipboard's
// turns and mirror; what an undo step keeps; and the keys, the Shift drag
// and the messages through passes of the main loop on the in-memory surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "editor/box_commands.h"
#include "editor/box_edits.h"
#include "editor/main_loop.h"
#include "memory_screen.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/line_input.h"

namespace terrafix {
namespace {

// The reference: a level as a plain array indexed by arithmetic.
struct Cells {
  int32_t W, L, H;
  std::vector<uint8_t> V;
  uint8_t& At(int32_t x, int32_t y, int32_t z) { return V[size_t((z * L + y) * W + x)]; }
};

Cells CellsOf(const Level& level) {
  return {level.Width, level.Length, level.Height, level.Cells};
}

void ReferenceFill(Cells& c, const CellBox& b, uint8_t tile) {
  for (int32_t z = b.Z0; z <= b.Z1; ++z)
    for (int32_t y = b.Y0; y <= b.Y1; ++y)
      for (int32_t x = b.X0; x <= b.X1; ++x) c.At(x, y, z) = tile;
}

size_t ReferenceReplace(Cells& c, const CellBox& b, uint8_t from, uint8_t to) {
  size_t n = 0;
  for (int32_t z = b.Z0; z <= b.Z1; ++z)
    for (int32_t y = b.Y0; y <= b.Y1; ++y)
      for (int32_t x = b.X0; x <= b.X1; ++x)
        if (c.At(x, y, z) == from && from != to) c.At(x, y, z) = to, ++n;
  return n;
}

// A plain queue of cells, each visited once.
size_t ReferenceFlood(Cells& c, const CellBox& r, int32_t x, int32_t y, int32_t z, uint8_t tile) {
  const uint8_t old = c.At(x, y, z);
  if (old == tile) return 0;
  struct P {
    int32_t X, Y, Z;
  };
  std::queue<P> queue;
  queue.push({x, y, z});
  c.At(x, y, z) = tile;
  size_t n = 1;
  while (!queue.empty()) {
    const P p = queue.front();
    queue.pop();
    const P next[] = {{p.X - 1, p.Y, p.Z}, {p.X + 1, p.Y, p.Z}, {p.X, p.Y - 1, p.Z},
                      {p.X, p.Y + 1, p.Z}, {p.X, p.Y, p.Z - 1}, {p.X, p.Y, p.Z + 1}};
    for (const P& q : next) {
      if (!BoxHolds(r, q.X, q.Y, q.Z) || c.At(q.X, q.Y, q.Z) != old) continue;
      c.At(q.X, q.Y, q.Z) = tile;
      ++n;
      queue.push(q);
    }
  }
  return n;
}

Clipboard ReferenceCopy(Cells& c, const CellBox& b) {
  Clipboard clip{BoxWidth(b), BoxLength(b), BoxHeight(b), {}};
  clip.Cells.resize(BoxCells(b));
  for (int32_t z = 0; z < clip.Height; ++z)
    for (int32_t y = 0; y < clip.Length; ++y)
      for (int32_t x = 0; x < clip.Width; ++x)
        clip.Cells[size_t((z * clip.Length + y) * clip.Width + x)] = c.At(b.X0 + x, b.Y0 + y, b.Z0 + z);
  return clip;
}

// Each cell carried from where it was: anticlockwise (x, y) goes to
// (y, W - 1 - x), clockwise to (L - 1 - y, x); mirrored to (W - 1 - x, y).
Clipboard ReferenceMove(const Clipboard& c, int kind) {
  Clipboard out = c;
  if (kind != 0) std::swap(out.Width, out.Length);
  for (int32_t z = 0; z < c.Height; ++z)
    for (int32_t y = 0; y < c.Length; ++y)
      for (int32_t x = 0; x < c.Width; ++x) {
        int32_t tx = c.Width - 1 - x, ty = y;                  // mirror
        if (kind == 1) tx = y, ty = c.Width - 1 - x;           // anticlockwise
        if (kind == 2) tx = c.Length - 1 - y, ty = x;          // clockwise
        out.Cells[size_t((z * out.Length + ty) * out.Width + tx)] = c.Cells[size_t((z * c.Length + y) * c.Width + x)];
      }
  return out;
}

void ReferencePaste(Cells& c, const Clipboard& clip, int32_t px, int32_t py, int32_t pz, bool keepUnderAir) {
  for (int32_t z = 0; z < clip.Height; ++z)
    for (int32_t y = 0; y < clip.Length; ++y)
      for (int32_t x = 0; x < clip.Width; ++x) {
        const int32_t lx = px + x, ly = py + y, lz = pz + z;
        if (lx >= c.W || ly >= c.L || lz >= c.H) continue;
        const uint8_t v = clip.Cells[size_t((z * clip.Length + y) * clip.Width + x)];
        if (!keepUnderAir || v != 0) c.At(lx, ly, lz) = v;
      }
}

CellBox RandomBox(std::mt19937& random, const Level& level) {
  auto span = [&](int32_t extent, int32_t& a, int32_t& b) {
    a = std::uniform_int_distribution<int32_t>(0, extent - 1)(random);
    b = std::uniform_int_distribution<int32_t>(0, extent - 1)(random);
    if (a > b) std::swap(a, b);
  };
  CellBox box;
  span(level.Width, box.X0, box.X1);
  span(level.Length, box.Y0, box.Y1);
  span(level.Height, box.Z0, box.Z1);
  return box;
}

// Random levels of odd sizes, random boxes, every operation, undo and redo:
// the level equals the reference after every step.
TEST(Box, RandomSequencesEqualTheReference) {
  std::mt19937 random(2026);
  for (int round = 0; round < 40; ++round) {
    Level level;
    level.Width = 1 + 2 * std::uniform_int_distribution<int32_t>(0, 8)(random);
    level.Length = 1 + 2 * std::uniform_int_distribution<int32_t>(0, 8)(random);
    level.Height = 1 + 2 * std::uniform_int_distribution<int32_t>(0, 5)(random);
    level.Cells.resize(size_t(level.Width) * level.Length * level.Height);
    level.TopPlane.assign(PlanCells(level), 0);
    for (uint8_t& cell : level.Cells) cell = static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 2)(random));
    UndoHistory history;
    std::vector<std::vector<uint8_t>> done{level.Cells}, undone;  // the reference's history
    Clipboard clip, referenceClip;
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(random); };
    for (int step = 0; step < 60; ++step) {
      Cells ref = CellsOf(level);
      const CellBox box = RandomBox(random, level);
      const auto tile = static_cast<uint8_t>(pick(3));
      const int32_t x = pick(level.Width), y = pick(level.Length), z = pick(level.Height);
      bool changes = true;
      size_t changed = 0;
      const int op = pick(9);
      SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step) + " op " + std::to_string(op));
      switch (op) {
        case 0:
          ReferenceFill(ref, box, tile);
          PushStep(history, FillBox(level, box, tile));
          break;
        case 1: {
          const auto to = static_cast<uint8_t>(pick(3));
          const size_t expected = ReferenceReplace(ref, box, tile, to);
          UndoStep s = ReplaceInBox(level, box, tile, to, changed);
          EXPECT_EQ(changed, expected);
          EXPECT_EQ(s.BoxBits.size(), (BoxCells(box) + 7) / 8);
          if (changed > 0) PushStep(history, std::move(s));
          changes = changed > 0;
          break;
        }
        case 2: case 3: {  // a flood fill through a box, or one cell thick along an axis (a view's slice)
          CellBox region = box;
          if (op == 3) region = WholeLevel(level), region.Z0 = region.Z1 = z;
          if (!BoxHolds(region, x, y, z)) region = WholeLevel(level);
          const size_t expected = ReferenceFlood(ref, region, x, y, z, tile);
          UndoStep s = FloodFill(level, region, x, y, z, tile, changed);
          EXPECT_EQ(changed, expected);
          EXPECT_EQ(s.BoxBits.size(), (BoxCells(region) + 7) / 8);
          if (changed > 0) PushStep(history, std::move(s));
          changes = changed > 0;
          break;
        }
        case 4:
          CopyBox(level, box, clip);
          referenceClip = ReferenceCopy(ref, box);
          changes = false;
          break;
        case 5: {
          const int kind = pick(3);
          if (ClipboardEmpty(clip)) continue;
          if (kind == 0) MirrorClipboard(clip);
          else TurnClipboard(clip, kind == 2);
          referenceClip = ReferenceMove(referenceClip, kind);
          changes = false;
          break;
        }
        case 6: {
          CellBox part;
          if (!PastedPart(level, clip, x, y, z, part)) continue;
          const bool overAir = pick(2) == 1;
          ReferencePaste(ref, referenceClip, x, y, z, overAir);
          UndoStep s = PasteClipboard(level, clip, x, y, z, overAir, part);
          EXPECT_EQ(s.BoxValues.size(), BoxCells(part));
          PushStep(history, std::move(s));
          break;
        }
        case 7:
          changes = false;
          if (done.size() > 1 && Undo(history, level)) undone.push_back(done.back()), done.pop_back();
          ref.V = done.back();
          break;
        default:
          changes = false;
          if (!undone.empty() && Redo(history, level)) done.push_back(undone.back()), undone.pop_back();
          ref.V = done.back();
          break;
      }
      ASSERT_EQ(level.Cells, ref.V);
      ASSERT_EQ(clip.Cells, referenceClip.Cells);
      ASSERT_EQ(clip.Width, referenceClip.Width);
      if (changes) {
        done.push_back(level.Cells);
        undone.clear();
      }
    }
  }
}

TEST(Box, TurnsAndMirrorMoveTheClipboardAsTheTopViewShowsIt) {
  // 3 wide, 2 long: row y = 0 is "a b c", row y = 1 is "d e f".
  Clipboard clip{3, 2, 1, {'a', 'b', 'c', 'd', 'e', 'f'}};
  const Clipboard original = clip;
  auto text = [](const Clipboard& c) { return std::string(c.Cells.begin(), c.Cells.end()); };
  TurnClipboard(clip, false);  // anticlockwise: the top-right corner to the top left
  EXPECT_EQ(clip.Width, 2);
  EXPECT_EQ(clip.Length, 3);
  EXPECT_EQ(text(clip), "cfbead");
  for (int i = 0; i < 3; ++i) TurnClipboard(clip, false);
  EXPECT_EQ(text(clip), "abcdef");  // four turns
  EXPECT_EQ(clip.Width, 3);
  TurnClipboard(clip, true);  // clockwise: the top-left corner to the top right
  EXPECT_EQ(text(clip), "daebfc");
  TurnClipboard(clip, false);
  EXPECT_EQ(text(clip), "abcdef");
  MirrorClipboard(clip);
  EXPECT_EQ(text(clip), "cbafed");
  MirrorClipboard(clip);
  EXPECT_EQ(clip.Cells, original.Cells);
  // A clipboard of several layers, each turned alike; four turns give it back.
  Clipboard tall{5, 3, 4, std::vector<uint8_t>(60)};
  for (size_t i = 0; i < tall.Cells.size(); ++i) tall.Cells[i] = static_cast<uint8_t>(i);
  Clipboard turned = tall;
  for (int i = 0; i < 4; ++i) TurnClipboard(turned, false);
  EXPECT_EQ(turned.Cells, tall.Cells);
  TurnClipboard(turned, true);
  EXPECT_EQ(turned.Cells, ReferenceMove(tall, 2).Cells);
}

// A flood fill from air over a whole open level of 512 x 512 x 16 cells
// (4 million, one region): no recursion, a bit a cell kept, undone whole.
TEST(Box, FloodFillOverAWholeOpenLevel) {
  Level level;
  level.Width = 512, level.Length = 512, level.Height = 16;
  level.Cells.assign(size_t(512) * 512 * 16, 0);
  level.TopPlane.assign(PlanCells(level), 0);
  UndoHistory history;
  size_t changed = 0;
  UndoStep step = FloodFill(level, WholeLevel(level), 511, 0, 15, 8, changed);
  EXPECT_EQ(changed, level.Cells.size());
  EXPECT_EQ(std::count(level.Cells.begin(), level.Cells.end(), 8), static_cast<std::ptrdiff_t>(level.Cells.size()));
  EXPECT_LE(step.Bytes(), level.Cells.size() / 8 + 1024);
  PushStep(history, std::move(step));
  ASSERT_TRUE(Undo(history, level));
  EXPECT_EQ(std::count(level.Cells.begin(), level.Cells.end(), 0), static_cast<std::ptrdiff_t>(level.Cells.size()));
}

// Through passes of the main loop.
struct Editor {
  EditorState State;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
  HeaderTemplate Header;
  UndoHistory History;
  EditorWork Work;
  MemorySurface& Surface = testing::FreshScreen();

  Editor() { LayNewTerrain(*Grid); }
  void Pass(int32_t x, int32_t y, int32_t buttons, bool select = false) {
    Surface.Pointer = {x, y, buttons, 0, true, true};
    Surface.Pointer.Select = select;
    RunPass(State, *Grid, Header, History, Work);
  }
  void Drag(int32_t fx, int32_t fy, int32_t tx, int32_t ty) {
    Pass(fx, fy, 0);
    Pass(fx, fy, 1, true);
    Pass(tx, ty, 1, true);
    Pass(tx, ty, 0, true);
  }
  void Key(int code, int32_t x = 0, int32_t y = 0) {
    Surface.ScriptedKeys.push_back(code);
    Pass(x, y, 0);
  }
  std::string Said() const { return Work.Said.substr(0, Work.Said.find_last_not_of(' ') + 1); }
  // The pixel at the centre of a top view cell, and of side view A's (zoom 3, layout 1).
  static int32_t TopX(int32_t x) { return 10 + 3 * x + 1; }
  static int32_t TopY(int32_t y) { return 30 + 3 * y + 1; }
  static int32_t SideAX(int32_t y) { return 10 + 3 * (256 + 4 + y) + 1; }
  static int32_t SideAY(int32_t z) { return 30 + 3 * (63 - z) + 1; }
};

TEST(BoxKeys, TwoDragsMakeABoxThatTheKeysFillReplaceAndFlood) {
  Editor e;
  e.State.SliceX = 12, e.State.Layer = 31;  // side view A shows x = 12; the top view the grass
  e.Drag(Editor::TopX(10), Editor::TopY(20), Editor::TopX(14), Editor::TopY(17));  // x 10..14, y 17..20
  EXPECT_EQ(e.State.Box, (CellBox{10, 17, 31, 14, 20, 31}));
  EXPECT_EQ(ReadCell(*e.Grid, 10, 20, 31), 2);  // the drag painted nothing
  e.Drag(Editor::SideAX(18), Editor::SideAY(28), Editor::SideAX(19), Editor::SideAY(32));  // y 18..19, z 28..32
  EXPECT_EQ(e.State.Box, (CellBox{10, 18, 28, 14, 19, 32}));  // x as it was

  e.State.CurrentTile = 12;
  e.Key('f');
  EXPECT_EQ(e.Said(), "Filled 50 cells");
  EXPECT_EQ(ReadCell(*e.Grid, 14, 19, 32), 12);
  EXPECT_EQ(ReadCell(*e.Grid, 15, 19, 32), 0);
  e.State.CurrentTile = 8;
  e.Key('r', Editor::TopX(11), Editor::TopY(18));  // the top view's layer 31: sand there now
  EXPECT_EQ(e.Said(), "Replaced 50 sand by water");
  e.Key('z');
  EXPECT_EQ(ReadCell(*e.Grid, 11, 18, 31), 12);
  e.Key(ExtendedCode(ScanDelete));
  EXPECT_EQ(e.Said(), "Cleared 50 cells");
  EXPECT_EQ(ReadCell(*e.Grid, 11, 18, 28), 0);
  e.Key(KeyEsc);
  EXPECT_EQ(e.State.BoxShown, 0);
  EXPECT_EQ(e.Said(), "");  // the key took the message away
  // o: on the top view's layer 31, the grass joined to the cell: all but the cleared 5 x 2.
  e.State.CurrentTile = 3;
  e.Key('o', Editor::TopX(0), Editor::TopY(0));
  EXPECT_EQ(e.Said(), "Flood filled 65,526 cells");
  // l: through the level, the air joined to the hole reaches everything above
  e.State.CurrentTile = 10;
  e.Key('l', Editor::TopX(11), Editor::TopY(18));
  EXPECT_EQ(e.Said(), "Flood filled 2,097,192 cells");  // 32 layers of air and the 40 cleared below them
  e.Key('z');
  e.Key('z');
  e.Key('z');
  EXPECT_EQ(ReadCell(*e.Grid, 11, 18, 31), 12);  // back before the clear
}

TEST(BoxKeys, CopyTurnPasteAndTheMessages) {
  Editor e;
  e.State.Layer = 31;
  e.Key('v', Editor::TopX(0), Editor::TopY(0));
  EXPECT_EQ(e.Said(), "Nothing to paste");
  e.Key('c');
  EXPECT_EQ(e.Said(), "No box: Shift + drag on a view selects one, a the whole level");
  e.Key('r', 1000, 700);  // the pointer on no view
  EXPECT_EQ(e.Said(), "No cell of the level under the pointer");
  EXPECT_EQ(e.Work.Said.size(), MessageWidth);  // over the whole menu line
  // A column of 1 x 3 x 2 at x 5, y 5..7, z 31..32: grass, then air above.
  WriteCell(*e.Grid, 5, 6, 32, 1);
  e.Drag(Editor::TopX(5), Editor::TopY(5), Editor::TopX(5), Editor::TopY(7));
  e.State.Box.Z1 = 32;
  e.Key('c');
  EXPECT_EQ(e.Said(), "Copied 1 x 3 x 2");
  e.Key(']');
  EXPECT_EQ(e.Said(), "Turned the clipboard clockwise: 3 x 1 x 2");
  e.Key('m');
  EXPECT_EQ(e.Said(), "Mirrored the clipboard: 3 x 1 x 2");
  // Pasted at the level's far corner: one cell of it falls in the level.
  e.State.Layer = 31;
  e.Key('t', Editor::TopX(255), Editor::TopY(255));
  EXPECT_EQ(e.Said(), "Pasted 1 x 1 x 2 of 3 x 1 x 2");
  EXPECT_EQ(e.State.Box, (CellBox{255, 255, 31, 255, 255, 32}));
  EXPECT_EQ(ReadCell(*e.Grid, 255, 255, 32), 0);  // mirrored after the turn: y 7 first, air above it
  e.Key('v', Editor::TopX(100), Editor::TopY(100));
  EXPECT_EQ(e.Said(), "Pasted 3 x 1 x 2");
  // Turned clockwise, the cell of y 6 lies at x 1; mirrored, still at x 1.
  EXPECT_EQ(ReadCell(*e.Grid, 101, 100, 32), 1);
  EXPECT_EQ(ReadCell(*e.Grid, 100, 100, 32), 0);
  e.Key('x');
  EXPECT_EQ(e.Said(), "Cut 3 x 1 x 2");
  EXPECT_EQ(ReadCell(*e.Grid, 101, 100, 31), 0);
  e.Key('a');
  EXPECT_EQ(e.State.Box, WholeLevel(*e.Grid));
  // A click takes the message away too.
  e.Key('f');
  EXPECT_FALSE(e.Said().empty());
  e.Pass(1000, 700, 1);
  EXPECT_EQ(e.Said(), "");
}

// A drag that leaves the view stops at its edge; a clipboard larger than the
// level it is pasted into writes what fits, as one step.
TEST(BoxKeys, ADragPastTheViewAndAClipboardLargerThanTheLevel) {
  Editor e;
  e.Drag(Editor::TopX(250), Editor::TopY(3), 900, 5);  // right of the top view and above it
  EXPECT_EQ(e.State.Box, (CellBox{250, 0, 0, 255, 3, 0}));
  e.Key('a');
  e.Key('c');
  EXPECT_EQ(e.Said(), "Copied 256 x 256 x 64");
  auto small = std::make_unique<Level>();
  small->Width = 10, small->Length = 7, small->Height = 5;
  small->Cells.assign(10 * 7 * 5, 0);
  small->TopPlane.assign(10 * 7, 0);
  e.Grid = std::move(small);
  e.Key('v', Editor::TopX(3), Editor::TopY(2));
  EXPECT_EQ(e.Said(), "Pasted 7 x 5 x 5 of 256 x 256 x 64");
  EXPECT_EQ(e.State.Box, (CellBox{3, 2, 0, 9, 6, 4}));
  EXPECT_EQ(std::count(e.Grid->Cells.begin(), e.Grid->Cells.end(), 1), 7 * 5 * 5);  // the terrain's stone
  e.Key('z');
  EXPECT_EQ(std::count(e.Grid->Cells.begin(), e.Grid->Cells.end(), 0), 10 * 7 * 5);
  EXPECT_EQ(e.State.Box, (CellBox{3, 2, 0, 9, 6, 4}));  // the box stays through undo
}

}  // namespace
}  // namespace terrafix
