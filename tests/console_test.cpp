// The real program where no window can be opened, in a tmux pane.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "console_editor.h"
#include "files/load_save_commands.h"
#include "formats/classic_world.h"
#include "formats/header_template.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Gunzip;

using testing::ConsoleEditor;
using testing::ConsoleStart;

TEST(Console, TextAtItsRowsAndColumnsAndKeysMoveTheReadouts) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  EXPECT_EQ(editor.At(1, 40, 25), " New   Load   Save   Quit");
  EXPECT_EQ(editor.At(2, 1, 36), "Slice editor by the Terrafix authors");
  EXPECT_EQ(editor.At(3, 1, 37), "Made in 2026 by the Terrafix authors.");
  EXPECT_EQ(editor.At(2, 40, 36), "   x: 0          y: 0          z: 0 ");
  EXPECT_EQ(editor.At(3, 40, 23), "   mx:-1         my:-1 ");  // no pointer reported yet
  EXPECT_EQ(editor.At(56, 101, 28), " top   top and sides   sides");
  EXPECT_EQ(editor.At(60, 102, 5), "stone");
  EXPECT_EQ(editor.At(72, 101, 14), " current tile:");
  editor.Type("jjnibJ");  // i: the terminal has no picture window; nothing else happens
  EXPECT_TRUE(editor.Shows(2, 40, "   x: 3          y: 1          z: 1 "));
  EXPECT_EQ(editor.At(1, 40, 25), " New   Load   Save   Quit");
  EXPECT_TRUE(editor.Click(10, 10));  // the pointer reads as a pixel inside the cell
  EXPECT_EQ(editor.At(3, 40, 24), "   mx: 75        my: 75 ");
}

TEST(Console, PaintSaveLoadAndQuit) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Click(60, 101));  // the stone box
  ASSERT_TRUE(editor.Click(10, 10));   // pixel (75, 75): top view cell (21, 15) at zoom 3
  ASSERT_TRUE(editor.Click(1, 53, std::string(SavePrompt)));
  editor.Type("painted");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "File saved as 'painted', press any key to continue..."));
  editor.Type(" ");
  std::string raw = Gunzip(editor.Path() / "painted.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  EXPECT_EQ(raw[319 + 15 * 256 + 21], 1);
  EXPECT_EQ(std::count(raw.begin() + 319, raw.begin() + 4'194'623, '\0'), 4'194'303);

  ASSERT_TRUE(editor.Click(1, 40, "Create new file?"));
  editor.Type("y");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, " New   Load   Save   Quit"));
  ASSERT_TRUE(editor.Click(1, 46, std::string(LoadPrompt)));
  editor.Type("painted");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, " New   Load   Save   Quit"));
  // Save again: the loaded level, not the new terrain.
  ASSERT_TRUE(editor.Click(1, 53, std::string(SavePrompt)));
  editor.Type("again");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "File saved as 'again'"));
  EXPECT_EQ(Gunzip(editor.Path() / "again.dat"), raw);

  editor.Type(" ");
  ASSERT_TRUE(editor.Click(1, 60, "Quit Terrafix?"));  // answered n, then y
  editor.Type("n");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, " New   Load   Save   Quit"));
  EXPECT_FALSE(fs::exists(editor.Side() / "status"));
  ASSERT_TRUE(editor.Click(1, 60, "Quit Terrafix?"));
  editor.Type("y");
  editor.Enter();
  ASSERT_TRUE(editor.Ended());
  EXPECT_EQ(testing::ReadWholeFile(editor.Side() / "status"), "0\n");
  EXPECT_EQ(testing::ReadWholeFile(editor.Side() / "after"), testing::ReadWholeFile(editor.Side() / "before"));
  EXPECT_TRUE(editor.Shows(1, 1, "shell again"));  // the editor's screen is gone
}

// A name pasted at the prompt arrives whole, however much longer than the key
// queue; a click past the frame's last column is a pointer outside it; a
// resized terminal is drawn again.
TEST(Console, PastedNameClickOutsideAndResize) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Click(1, 53, std::string(SavePrompt)));
  editor.Type("my_castle_level_v2_final");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "File saved as 'my_castle_level_v2_final'"));
  editor.Type(" ");
  EXPECT_TRUE(fs::exists(editor.Path() / "my_castle_level_v2_final.dat"));

  editor.SendBytes("\x1B[<0;135;10M");  // column 135: pixel 1075, past the frame
  EXPECT_TRUE(editor.Shows(3, 40, "   mx:-1         my:-1 "));
  editor.SendBytes("\x1B[<0;135;10m");

  editor.Tmux("resize-window -t editor -x 132 -y 75");
  editor.Type("j");
  EXPECT_TRUE(editor.Shows(2, 40, "   x: 1 "));
  EXPECT_EQ(editor.At(1, 1, 13), "Terrafix v0.5");
}

// A click outside the frame (right of its last column, below its last row)
// is a click outside: its release is seen, and the next click inside works.
TEST(Console, AClickOutsideTheFrameLeavesTheNextClickWorking) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  editor.Tmux("resize-window -t editor -x 140 -y 110");
  for (const char* outside : {"135;10", "10;105"}) {
    SCOPED_TRACE(outside);
    ASSERT_TRUE(editor.PointerReadAt(5, 5));
    editor.SendBytes(std::string("\x1B[<0;") + outside + "M");
    editor.SendBytes(std::string("\x1B[<0;") + outside + "m");
    ASSERT_TRUE(editor.Shows(3, 40, "   mx:-1         my:-1 "));
    ASSERT_TRUE(editor.Click(1, 53, std::string(SavePrompt)));
    editor.Enter();  // blank: cancelled
    ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
  }
}

// In the terminal too, a level larger than the views is panned with the
// arrow keys and Page Up and Down, and a click paints where the part shown
// puts its cell.
TEST(Console, ALargerLevelPansAndPaints) {
  testing::WorkingFolder folder;
  {
    Level level;
    level.Width = 700, level.Length = 300, level.Height = 100;
    level.Cells.assign(size_t{700} * 300 * 100, 0);
    level.TopPlane.assign(size_t{700} * 300, 0);
    level.Form.Of = LevelForm::Kind::ClassicWorld;
    std::vector<uint8_t> before, after;
    size_t time = 0;
    NewClassicWorld(level, "wide", 0, before, after, time);
    testing::WriteGzipped("wide.cw", std::string(before.begin(), before.end()) +
                                         std::string(level.Cells.begin(), level.Cells.end()) +
                                         std::string(after.begin(), after.end()));
  }
  ConsoleEditor editor(folder.Path(), {});
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Click(60, 101));  // stone
  ASSERT_TRUE(editor.Load("wide.cw", testing::MenuLine));
  for (int i = 0; i < 3; ++i) editor.Key("Right");  // x from 192
  editor.Key("Down");                               // y from 44: as far as a length of 300 goes
  editor.Type("b");                                 // the layer up, after the pans: they were read
  ASSERT_TRUE(editor.Shows(2, 71, "z: 1 "));
  ASSERT_TRUE(editor.Click(10, 10));  // pixel (75, 75): view cell (21, 15) of the part shown
  ASSERT_TRUE(editor.Save("wide.cw", ReplaceQuestion("wide", ".cw")));
  editor.Type("y"), editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "File saved as 'wide'"));
  const std::string saved = Gunzip(folder.Path() / "wide.cw");
  const size_t cells = saved.find("BlockArray") + 14;
  const size_t at = saved.find('\1', cells) - cells;
  EXPECT_EQ(at, (1 * 300 + 44 + 15) * 700 + 192 + 21) << "cell (213, 59) of layer 1, not " << at % 700 << ", "
                                                     << at / 700 % 300 << ", " << at / 700 / 300;
  EXPECT_EQ(std::count(saved.begin() + static_cast<std::ptrdiff_t>(cells),
                       saved.begin() + static_cast<std::ptrdiff_t>(cells + size_t{700} * 300 * 100), '\1'),
            1);
}

TEST(Console, CtrlCEndsTheEditorAndPutsTheTerminalBack) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  editor.Key("C-c");
  ASSERT_TRUE(editor.Ended());
  EXPECT_EQ(testing::ReadWholeFile(editor.Side() / "status"), "130\n");  // ended by SIGINT
  EXPECT_EQ(testing::ReadWholeFile(editor.Side() / "after"), testing::ReadWholeFile(editor.Side() / "before"));
  EXPECT_TRUE(editor.Shows(1, 1, "shell again"));
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// The middle button picks a loaded tile and a right drag fills a rectangle
// with it, from the terminal's mouse reports as from a window's.
TEST(Console, MiddlePickAndRightDragFill) {
  testing::WorkingFolder folder;
  {
    auto level = std::make_unique<Level>();
    WriteCell(*level, 21, 23, 0, 19);  // under the text cell of row 13, column 10
    fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
    HeaderTemplate header;
    ReadHeaderTemplate(header);
    testing::WriteGzipped("castle.dat", testing::LevelFileOf(*level, header));
  }
  ConsoleEditor editor(folder.Path(), {});
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Load("castle", testing::MenuLine));
  ASSERT_TRUE(editor.PointerReadAt(13, 10));
  editor.SendBytes("\x1B[<1;10;13M");  // middle press and release: the pick
  editor.SendBytes("\x1B[<1;10;13m");
  ASSERT_TRUE(editor.PointerReadAt(20, 20));  // pixel (155, 155): cell (48, 41)
  editor.SendBytes("\x1B[<2;20;20M");
  editor.SendBytes("\x1B[<34;30;25M");  // dragged with the right button to pixel (235, 195): cell (75, 55)
  ASSERT_TRUE(editor.Shows(3, 43, "mx: 235 "));
  editor.SendBytes("\x1B[<2;30;25m");
  ASSERT_TRUE(editor.Save("built", "File saved as 'built'"));
  const std::string raw = Gunzip(editor.Path() / "built.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  auto at = [&](int x, int y) { return static_cast<int>(static_cast<uint8_t>(raw[319 + y * 256 + x])); };
  EXPECT_EQ(at(48, 41), 19);
  EXPECT_EQ(at(75, 55), 19);
  EXPECT_EQ(at(47, 41), 0);
  EXPECT_EQ(at(76, 55), 0);
  EXPECT_EQ(std::count(raw.begin() + 319, raw.begin() + 4'194'623, '\x13'), 28 * 15 + 1);
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// A press and its release in one read of the terminal are a click: the
// editor sees the press on one pass and the release on a later one.
TEST(Console, APressAndReleaseInOneReadAreAClick) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.PointerReadAt(1, 40));
  editor.SendBytes("\x1B[<0;40;1M\x1B[<0;40;1m");  // on the New square
  EXPECT_TRUE(editor.Shows(1, 40, "Create new file?"));
}

// Stopped from the shell, the editor gives the terminal back as it found it;
// continued, it takes it again and draws everything.
TEST(Console, StopAndContinueFromTheShell) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  const std::string tty = testing::CommandOutput("tmux -L " + editor.Socket() + " display -p -t editor '#{pane_tty}'");
  const std::string settings = "stty -g < " + tty.substr(0, tty.find('\n'));
  const int pid = editor.EditorPid();
  ASSERT_GT(pid, 0);
  kill(pid, SIGTSTP);
  bool restored = false;
  for (int i = 0; i < 50 && !restored; ++i) {
    std::this_thread::sleep_for(100ms);
    restored = testing::CommandOutput(settings) == testing::ReadWholeFile(editor.Side() / "before") &&
               editor.At(1, 1, 13) != "Terrafix v0.5";
  }
  EXPECT_TRUE(restored) << "the terminal as it was, the editor's screen gone";
  kill(pid, SIGCONT);
  EXPECT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  EXPECT_NE(testing::CommandOutput(settings), testing::ReadWholeFile(editor.Side() / "before"));
  editor.Type("j");
  EXPECT_TRUE(editor.Shows(2, 40, "   x: 1 "));
}

// Ended by SIGHUP (the terminal closed) or SIGTERM with unsaved changes, the
// editor keeps the level; the next start, in another folder, offers it, and
// y restores it cell for cell. With nothing unsaved, nothing is kept.
TEST(Console, UnsavedWorkKeptOnHangUpAndTerminateAndOfferedBack) {
  for (int signal : {SIGHUP, SIGTERM}) {
    SCOPED_TRACE(signal == SIGHUP ? "SIGHUP" : "SIGTERM");
    testing::WorkingFolder state;
    const std::string keepIn = "XDG_STATE_HOME=" + state.Path().string();
    {
      ConsoleEditor untouched(ConsoleStart{.Environment = keepIn});
      ASSERT_TRUE(untouched.Shows(1, 1, "Terrafix v0.5"));
      kill(untouched.EditorPid(), signal);
      ASSERT_TRUE(untouched.Ended());
      EXPECT_TRUE(testing::KeptWorkFiles(state.Path()).empty()) << "nothing was unsaved";
    }
    {
      ConsoleEditor painter(ConsoleStart{.Environment = keepIn});
      ASSERT_TRUE(painter.Shows(1, 1, "Terrafix v0.5"));
      ASSERT_TRUE(painter.Click(60, 101));  // stone
      ASSERT_TRUE(painter.Click(10, 10));   // top view cell (21, 15)
      ASSERT_TRUE(painter.Click(10, 12));   // and (27, 15)
      kill(painter.EditorPid(), signal);
      ASSERT_TRUE(painter.Ended());
      EXPECT_EQ(testing::ReadWholeFile(painter.Side() / "status"), std::to_string(128 + signal) + "\n");
      EXPECT_EQ(testing::ReadWholeFile(painter.Side() / "after"), testing::ReadWholeFile(painter.Side() / "before"));
      EXPECT_EQ(testing::KeptWorkFiles(state.Path()).size(), 1u);
    }
    for (const char* answer : {"n", "y"}) {
      ConsoleEditor next(ConsoleStart{.Environment = keepIn});
      ASSERT_TRUE(next.Shows(1, 40, "Unsaved work in "));
      EXPECT_NE(next.At(1, 40, 90).find(" was kept. Restore it? (y/n)"), std::string::npos);
      next.Type(answer);
      next.Enter();
      ASSERT_TRUE(next.Shows(1, 40, testing::MenuLine));
      if (std::string(answer) == "n") continue;  // asked again at the next start
      ASSERT_TRUE(next.Save("restored", "File saved as 'restored'"));
      const std::string raw = Gunzip(next.Path() / "restored.dat");
      ASSERT_EQ(raw.size(), 4'194'698u);
      EXPECT_EQ(raw[319 + 15 * 256 + 21], 1);
      EXPECT_EQ(raw[319 + 15 * 256 + 27], 1);
      EXPECT_EQ(std::count(raw.begin() + 319, raw.begin() + 4'194'623, '\1'), 2);
    }
    EXPECT_TRUE(testing::KeptWorkFiles(state.Path()).empty()) << "restored: removed";
  }
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// A level named on the command line opens in its folder, as from the file
// manager; --help and --version answer as command-line programs do.
TEST(Console, ALevelNamedOnTheCommandLineOpens) {
  testing::WorkingFolder folder;
  fs::create_directory("server");
  fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "server/castle.dat");
  const std::string original = Gunzip("server/castle.dat");
  ConsoleEditor editor(folder.Path(), ConsoleStart{.Arguments = "server/castle.dat", .CopyTemplate = false});
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
  ASSERT_TRUE(editor.Save("castle", ReplaceQuestion("castle")));
  editor.Type("y");
  editor.Enter();
  ASSERT_TRUE(editor.Shows(1, 40, "File saved as 'castle'"));
  EXPECT_TRUE(Gunzip("server/castle.dat") == original) << "saved in its folder, as it came";

  // A level renamed with no ending of a level opens by its content.
  fs::copy_file("server/castle.dat", "server/castle backup");
  ConsoleEditor renamed(folder.Path(), ConsoleStart{.Arguments = "'server/castle backup'", .CopyTemplate = false});
  ASSERT_TRUE(renamed.Shows(1, 40, testing::MenuLine));
  ASSERT_TRUE(renamed.Save("copy", "File saved as 'copy'"));
  EXPECT_TRUE(Gunzip("server/copy.dat") == original);

  EXPECT_NE(testing::CommandOutput(std::string(TERRAFIX_BINARY) + " --help").find("Usage: terrafix"), std::string::npos);
  EXPECT_EQ(testing::CommandOutput(std::string(TERRAFIX_BINARY) + " --version"), "terrafix 0.5\n");
  EXPECT_NE(std::system((std::string(TERRAFIX_BINARY) + " --bogus 2>/dev/null").c_str()), 0);
}

}  // namespace
}  // namespace terrafix
