// The real program where no window can be opened: in a tmux pane with no
// display, typed at with send-keys, clicked at with mouse reports, and read
// back with capture-pane.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "files/load_save_commands.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Gunzip;

class ConsoleEditor {
 public:
  // Each editor has a tmux server of its own: one being killed must not be found by the next.
  ConsoleEditor() : Socket("terrafix-test-" + std::to_string(getpid()) + "-" + std::to_string(++Started)) {
    fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", Folder.Path() / "headers.dat");
    // The shell stays to report how the editor ended, even after Ctrl+C.
    std::string inside = "trap true INT; cd '" + Folder.Path().string() +
                         "' && stty -g > before; env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 " +
                         TERRAFIX_BINARY + "; echo \\$? > status; stty -g > after; echo shell again; sleep 600";
    Tmux("new-session -d -x 140 -y 80 -s editor \"" + inside + "\"");
  }
  ~ConsoleEditor() { Tmux("kill-server"); }

  const fs::path& Path() const { return Folder.Path(); }

  void Tmux(const std::string& command) {
    std::string line = "tmux -L " + Socket + " " + command + " >/dev/null 2>&1";
    std::system(line.c_str());
  }
  void Type(const std::string& text) { Tmux("send-keys -t editor -l '" + text + "'"); }
  void Key(const std::string& name) { Tmux("send-keys -t editor " + name); }
  void Enter() { Tmux("send-keys -t editor Enter"); }
  // A press of the left button on text row `row`, column `column`, held until
  // the editor has seen it: until row 1 from column 40 shows `until`, or else
  // until the pointer readout shows the press's place. Then the release; the
  // next click waits until the editor has read the pointer after it.
  bool Click(int row, int column, const std::string& until = "") {
    if (!PointerReadAt(row, column)) return false;
    const std::string at = std::to_string(column) + ";" + std::to_string(row);
    SendBytes("\x1B[<0;" + at + "M");
    bool seen = until.empty() ? Shows(3, 43, "mx: " + std::to_string(8 * (column - 1) + 3) + " ") : Shows(1, 40, until);
    SendBytes("\x1B[<0;" + at + "m");
    return seen;
  }
  // A move of the pointer with no button held, until the readout shows it.
  bool PointerReadAt(int row, int column) {
    SendBytes("\x1B[<35;" + std::to_string(column) + ";" + std::to_string(row) + "M");
    return Shows(3, 43, "mx: " + std::to_string(8 * (column - 1) + 3) + " ");
  }
  // Bytes as the terminal would send them (a mouse report), given in hex.
  void SendBytes(const std::string& bytes) {
    std::string hex;
    char two[4];
    for (unsigned char b : bytes) std::snprintf(two, sizeof two, " %02x", b), hex += two;
    Tmux("send-keys -t editor -H" + hex);
  }

  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    std::string screen = testing::CommandOutput("tmux -L " + Socket + " capture-pane -p -t editor");
    for (size_t start = 0, end; start < screen.size(); start = end + 1) {
      end = screen.find('\n', start);
      if (end == std::string::npos) end = screen.size();
      lines.push_back(screen.substr(start, end - start));
    }
    return lines;
  }

  // The text on `row` from `column` (both from 1), `count` characters, blanks past the end.
  std::string At(int row, int column, int count) {
    std::vector<std::string> lines = Lines();
    std::string line = row <= static_cast<int>(lines.size()) ? lines[row - 1] : "";
    line.resize(std::max(line.size(), static_cast<size_t>(column - 1 + count)), ' ');
    return line.substr(column - 1, count);
  }

  bool Shows(int row, int column, const std::string& text) {
    for (int i = 0; i < 100; ++i) {
      if (At(row, column, static_cast<int>(text.size())) == text) return true;
      std::this_thread::sleep_for(100ms);
    }
    return false;
  }

  // Once the shell has written how the editor ended and the terminal's
  // settings after it (the last thing it writes).
  bool Ended() {
    std::error_code error;
    for (int i = 0; i < 100; ++i) {
      if (fs::file_size(Path() / "after", error) > 0 && !error) return true;
      std::this_thread::sleep_for(100ms);
    }
    return false;
  }

 private:
  static inline int Started = 0;
  testing::WorkingFolder Folder;
  std::string Socket;
};

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
  editor.Type("jjnbJ");
  EXPECT_TRUE(editor.Shows(2, 40, "   x: 3          y: 1          z: 1 "));
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
  EXPECT_FALSE(fs::exists(editor.Path() / "status"));
  ASSERT_TRUE(editor.Click(1, 60, "Quit Terrafix?"));
  editor.Type("y");
  editor.Enter();
  ASSERT_TRUE(editor.Ended());
  EXPECT_EQ(testing::ReadWholeFile(editor.Path() / "status"), "0\n");
  EXPECT_EQ(testing::ReadWholeFile(editor.Path() / "after"), testing::ReadWholeFile(editor.Path() / "before"));
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

TEST(Console, CtrlCEndsTheEditorAndPutsTheTerminalBack) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
  editor.Key("C-c");
  ASSERT_TRUE(editor.Ended());
  EXPECT_EQ(testing::ReadWholeFile(editor.Path() / "status"), "130\n");  // ended by SIGINT
  EXPECT_EQ(testing::ReadWholeFile(editor.Path() / "after"), testing::ReadWholeFile(editor.Path() / "before"));
  EXPECT_TRUE(editor.Shows(1, 1, "shell again"));
}

}  // namespace
}  // namespace terrafix
