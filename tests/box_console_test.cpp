// Building in boxes through the real program in a terminal (tmux): a box set
// by two Alt drags, filled, replaced, flood filled, copied, turned and pasted
// into a level loaded afterwards, undone and redone with z and Ctrl+Y; a box
// exported as a schematic (read by prismarine-nbt) and placed into another
// level; the saved files read back through the real gzip.
#include <gtest/gtest.h>

#include <string>

#include "console_editor.h"
#include "files/load_save_commands.h"

namespace terrafix {
namespace {

using testing::ConsoleEditor;

// A drag of the left button with Alt held (as a terminal reports it), from
// one text cell to another, seen by the editor when the box readout shows `box`.
bool AltDrag(ConsoleEditor& editor, int fromRow, int fromColumn, int toRow, int toColumn, const std::string& box) {
  auto at = [](int row, int column) { return std::to_string(column) + ";" + std::to_string(row); };
  editor.SendBytes("\x1B[<8;" + at(fromRow, fromColumn) + "M");
  editor.SendBytes("\x1B[<40;" + at(toRow, toColumn) + "M");
  editor.SendBytes("\x1B[<8;" + at(toRow, toColumn) + "m");
  return editor.Shows(3, 66, box);
}

// The pointer on a text cell, then a key; true once row 1 says `said`.
bool KeyAt(ConsoleEditor& editor, int row, int column, const std::string& key, const std::string& said) {
  if (!editor.PointerReadAt(row, column)) return false;
  editor.Type(key);
  return editor.Shows(1, 40, said);
}

// result.dat holds air but for the 112 cells pasted from (48, 41, 0) to
// (farX, farY, 3): water at the bottom, `above` over it.
void ExpectPastedInResult(ConsoleEditor& editor, int farX, int farY, char above) {
  const std::string raw = testing::Gunzip(editor.Path() / "result.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  size_t solid = 0;
  for (int z = 0; z < 64; ++z) {
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) {
        const char cell = raw[319 + (size_t(z) * 256 + size_t(y)) * 256 + size_t(x)];
        const bool inside = x >= 48 && x <= farX && y >= 41 && y <= farY && z <= 3;
        const char expected = !inside ? 0 : z == 0 ? 8 : above;
        if (cell != expected) ADD_FAILURE() << "cell " << x << ", " << y << ", " << z << " holds " << int(cell);
        solid += cell != 0;
      }
    }
  }
  EXPECT_EQ(solid, 112u);
}

constexpr int StoneRow = 60, WaterRow = 65, SandRow = 67, PaletteColumn = 101;

TEST(BoxConsole, TwoDragsFillReplaceFloodCopyTurnAndPasteIntoAnotherLevel) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Save("target", "File saved as 'target'"));  // all air
  editor.Type(" ");
  ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));

  // A text cell reads as pixel 8 (column - 1) + 3: at zoom 3 the top view's
  // cell x = (8 column - 15) / 3, y = (8 row - 35) / 3; side view A's cell
  // y = (8 column - 15) / 3 - 260, z = 63 - (8 row - 35) / 3.
  ASSERT_TRUE(AltDrag(editor, 5, 4, 6, 6, "box 5..11 x 1..4 x 0..0: 7 x 4 x 1 = 28"));  // top view, layer 0
  ASSERT_TRUE(AltDrag(editor, 28, 100, 27, 101, "box 5..11 x 1..4 x 0..3: 7 x 4 x 4 = 112"));  // side view A

  ASSERT_TRUE(editor.Click(StoneRow, PaletteColumn));
  editor.Type("f");
  ASSERT_TRUE(editor.Shows(1, 40, "Filled 112 cells "));
  ASSERT_TRUE(editor.Click(SandRow, PaletteColumn));
  ASSERT_TRUE(KeyAt(editor, 6, 5, "r", "Replaced 112 stone by sand "));  // top view cell (8, 4)
  ASSERT_TRUE(editor.Click(WaterRow, PaletteColumn));
  ASSERT_TRUE(KeyAt(editor, 6, 5, "o", "Flood filled 28 cells "));  // layer 0 of the box
  ASSERT_TRUE(KeyAt(editor, 6, 5, "c", "Copied 7 x 4 x 4 "));
  ASSERT_TRUE(KeyAt(editor, 6, 5, "]", "Turned the clipboard clockwise: 4 x 7 x 4 "));

  ASSERT_TRUE(editor.Load("target", testing::MenuLine));
  ASSERT_TRUE(editor.Shows(3, 66, "                "));  // the Load cleared the box
  ASSERT_TRUE(KeyAt(editor, 20, 20, "v", "Pasted 4 x 7 x 4 "));  // at top view cell (48, 41), layer 0
  ASSERT_TRUE(editor.Shows(3, 66, "box 48..51 x 41..47 x 0..3: 4 x 7 x 4 = 112"));
  ASSERT_TRUE(KeyAt(editor, 20, 20, "z", testing::MenuLine));  // undone: the key took the message away
  editor.SendBytes("\x19");                                        // Ctrl+Y: done again
  ASSERT_TRUE(editor.Save("result", "File saved as 'result'"));
  editor.Type(" ");

  ExpectPastedInResult(editor, 51, 47, 12);  // water under sand
}

// A box of stone over a layer of water, exported with e as a schematic
// (the name has no ending), placed with p into a level loaded afterwards,
// pasted and saved.
TEST(BoxConsole, ABoxExportedAsASchematicAndPlacedIntoAnotherLevel) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Save("target", "File saved as 'target'"));  // all air
  editor.Type(" ");
  ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
  ASSERT_TRUE(AltDrag(editor, 5, 4, 6, 6, "box 5..11 x 1..4 x 0..0: 7 x 4 x 1 = 28"));
  ASSERT_TRUE(AltDrag(editor, 28, 100, 27, 101, "box 5..11 x 1..4 x 0..3: 7 x 4 x 4 = 112"));
  ASSERT_TRUE(editor.Click(StoneRow, PaletteColumn));
  editor.Type("f");
  ASSERT_TRUE(editor.Shows(1, 40, "Filled 112 cells "));
  ASSERT_TRUE(editor.Click(WaterRow, PaletteColumn));
  ASSERT_TRUE(KeyAt(editor, 6, 5, "o", "Flood filled 28 cells "));

  editor.Type("e");
  ASSERT_TRUE(editor.Shows(1, 40, std::string(ExportPrompt)));
  editor.Type("tower");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "Exported 7 x 4 x 4 as 'tower.schematic', press any key to continue..."));
  editor.Type(" ");
  // Width 7 (x), Height 4 (up), Length 4: water at the bottom, stone above.
  const std::string read = testing::CommandOutput("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                                                  "/schematic.js' read '" + (editor.Path() / "tower.schematic").string() +
                                                  "' 0 27 28 111");
  EXPECT_NE(read.find("[\"Width\",{\"type\":\"short\",\"value\":7}],[\"Height\",{\"type\":\"short\",\"value\":4}],"
                      "[\"Length\",{\"type\":\"short\",\"value\":4}]"),
            std::string::npos)
      << read;
  EXPECT_NE(read.find("blocks=112 at=8,8,1,1\n"), std::string::npos) << read;

  ASSERT_TRUE(editor.Load("target", testing::MenuLine));
  editor.Type("p");
  ASSERT_TRUE(editor.Shows(1, 40, std::string(PlacePrompt)));
  editor.Type("tower");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "Placed 7 x 4 x 4 in the clipboard: v or t pastes it"));
  ASSERT_TRUE(KeyAt(editor, 20, 20, "v", "Pasted 7 x 4 x 4 "));  // at top view cell (48, 41), layer 0
  ASSERT_TRUE(editor.Save("result", "File saved as 'result'"));
  editor.Type(" ");

  ExpectPastedInResult(editor, 54, 44, 1);  // water under stone
}

}  // namespace
}  // namespace terrafix
