// The real program in a real X server: started in a working folder of its own,
// driven with xdotool, its window read back with ImageMagick's import and
// compared pixel for pixel with what the in-memory surface draws for the same
// state. Starts its own Xvfb when no display is set.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "display/picture_colours.h"
#include "display/picture_view.h"
#include "display/slice_views.h"
#include "display/view_geometry.h"
#include "editor/box_edits.h"
#include "editor/confirmations.h"
#include "editor/fill_and_pick.h"
#include "editor/main_loop.h"
#include "editor/selection.h"
#include "files/load_save_commands.h"
#include "formats/classic_world.h"
#include "formats/game_level.h"
#include "formats/header_template.h"
#include "memory_screen.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"
#include "x_window.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Frame = std::vector<uint32_t>;

// An X server of its own on the first free display number from `first`,
// with a screen of that size; DISPLAY names it once it answers. Returns its
// process, or 0. Its keys do not repeat: on a busy machine xdotool may hold
// a key longer than the repeat delay, and the server would add presses the
// test never made.
pid_t StartXServer(int first, const char* screen = "2400x1024x24") {
  for (int n = first; n < first + 50; ++n) {
    const std::string number = std::to_string(n);
    const fs::path socket = fs::path("/tmp/.X11-unix") / ("X" + number);
    if (fs::exists(socket) || fs::exists(fs::path("/tmp") / (".X" + number + "-lock"))) continue;
    const std::string display = ":" + number;
    const pid_t server = fork();
    if (server == 0) {
      int null = open("/dev/null", O_RDWR);
      dup2(null, 1), dup2(null, 2);
      execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", screen, "-nolisten", "tcp", "-r", nullptr);
      _exit(127);
    }
    setenv("DISPLAY", display.c_str(), 1);
    // Ready once it answers a client.
    for (int i = 0; i < 200 && std::system("xdotool getdisplaygeometry >/dev/null 2>&1") != 0; ++i) {
      std::this_thread::sleep_for(50ms);
    }
    return server;
  }
  return 0;
}

// An X server for the whole run when none is given.
class VirtualDisplay : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* given = std::getenv("DISPLAY");
    if (!given || !*given) Server = StartXServer(90);
  }
  void TearDown() override {
    if (Server > 0) kill(Server, SIGTERM), waitpid(Server, nullptr, 0);
  }

 private:
  pid_t Server = 0;
};
const auto* const Display_ = ::testing::AddGlobalTestEnvironment(new VirtualDisplay);

void RunCommand(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

// Where the pointer rests while screenshots are taken: on the window, over nothing.
constexpr int RestX = 1000, RestY = 700;

// The editor as a user has it: a process with a window.
class Editor {
 public:
  explicit Editor(const std::function<void()>& prepareFolder = [] {}) {
    std::filesystem::current_path(Folder.Path());
    fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
    prepareFolder();
    Process = fork();
    if (Process == 0) {
      int null = open("/dev/null", O_RDONLY);
      dup2(null, 0);
      // What the window system's libraries keep until the process ends is not
      // the editor's to free.
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      // Work kept from an editor that ended is the test's own.
      setenv("XDG_STATE_HOME", (Folder.Path() / ".state").c_str(), 1);
      execl(TERRAFIX_BINARY, TERRAFIX_BINARY, nullptr);
      _exit(127);
    }
    // The window counts once it is shown and stays the same for a moment.
    std::string seen;
    for (int i = 0; i < 200; ++i) {
      std::this_thread::sleep_for(50ms);
      std::string found = testing::CommandOutput("xdotool search --onlyvisible --name '^terrafix$' 2>/dev/null | head -n 1");
      while (!found.empty() && found.back() == '\n') found.pop_back();
      if (!found.empty() && found == seen) {
        Window = found;
        break;
      }
      seen = found;
    }
    WaitUntilReady();
  }
  ~Editor() {
    if (Process > 0 && !Ended) kill(Process, SIGKILL), waitpid(Process, nullptr, 0);
    // The next editor must not find this one's window.
    for (int i = 0; i < 40 && !testing::CommandOutput("xdotool search --onlyvisible --name '^terrafix$' 2>/dev/null").empty(); ++i) {
      std::this_thread::sleep_for(50ms);
    }
  }

  const std::string& Id() const { return Window; }
  pid_t Pid() const { return Process; }

  // Until the editor draws passes and reads the pointer: the pointer readout
  // follows the pointer only once the window is active and the loop runs.
  void WaitUntilReady() {
    if (!Window.empty()) PointAt(RestX, RestY);
  }
  const fs::path& Path() const { return Folder.Path(); }

  void MoveTo(int x, int y) { RunCommand("xdotool mousemove --window " + Window + " " + std::to_string(x) + " " + std::to_string(y)); }
  void Press() { RunCommand("xdotool mousedown 1"); }
  void Release() { RunCommand("xdotool mouseup 1"); }

  // Moves the pointer and waits until the pointer readout shows it: the
  // editor has then read the mouse there.
  bool PointAt(int x, int y) {
    MoveTo(x, y);
    std::string readout = "   mx: " + std::to_string(x);
    readout.resize(17, ' ');  // "my:" stands at column 57
    readout += "my: " + std::to_string(y) + " ";
    return Shows([&](const Frame& f) {
      return !f.empty() && testing::TextIn(f.data(), 3, 40, static_cast<int>(readout.size())) == readout;
    });
  }

  // A click as a hand makes it: pressed once the editor has read the pointer
  // there, held until the window shows what the click does, then released.
  bool ClickUntil(int x, int y, const std::function<bool(const Frame&)>& shown) {
    if (!PointAt(x, y)) return false;
    Press();
    const bool seen = Shows(shown);
    Release();
    return seen;
  }
  // A click on a box or a view that leaves the editor in `state` with `grid`.
  bool ClickTo(int x, int y, EditorState state, const Level& grid);
  // A click on a menu square, held until row 1 asks `question`.
  bool ClickMenu(int x, const std::string& question) {
    return ClickUntil(x, 3, [&](const Frame& f) { return RowOneIn(f, question); });
  }

  void Type(const std::string& text) { RunCommand("xdotool type --delay 40 '" + text + "'"); }
  void Key(const std::string& keys) { RunCommand("xdotool key --delay 40 " + keys); }

  static bool RowOneIn(const Frame& f, const std::string& text) {
    return !f.empty() && testing::TextIn(f.data(), 1, 40, static_cast<int>(text.size())) == text;
  }

  // Waits until a screenshot satisfies `shown` (up to a few seconds).
  bool Shows(const std::function<bool(const Frame&)>& shown, std::chrono::milliseconds limit = 8000ms) {
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
      if (shown(Screenshot())) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  Frame Screenshot() {
    std::string file = (Path() / "shot.rgb").string();
    if (std::system(("timeout 20 import -window " + Window + " -depth 8 rgb:" + file).c_str()) != 0) return {};
    std::string rgb = testing::ReadWholeFile(file);
    Frame frame(ScreenWidth * ScreenHeight);
    if (rgb.size() != frame.size() * 3) return {};
    for (size_t i = 0; i < frame.size(); ++i) {
      auto c = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(rgb[i * 3 + k])); };
      frame[i] = 0xFF000000u | c(0) << 16 | c(1) << 8 | c(2);
    }
    return frame;
  }

  // Waits until the window shows `expected` (up to a few seconds) and returns what it shows.
  Frame ShowsWithin(const Frame& expected, std::chrono::milliseconds limit = 8000ms) {
    Frame shown;
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
      shown = Screenshot();
      if (shown == expected) break;
      std::this_thread::sleep_for(100ms);
    }
    return shown;
  }

  // Waits until row 1 from column 40 starts with `text`.
  bool RowOneShows(const std::string& text) {
    return Shows([&](const Frame& f) { return RowOneIn(f, text); });
  }

  // Sends the close request of the window's title bar, as a window manager does.
  void RequestClose() { ASSERT_TRUE(testing::SendCloseRequest(std::stoul(Window))); }

  // The exit status once the process has ended, or -1 if it is still running after `limit`.
  int ExitStatus(std::chrono::milliseconds limit = 5000ms) {
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
      int status = 0;
      if (waitpid(Process, &status, WNOHANG) == Process) {
        Ended = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }

 private:
  testing::WorkingFolder Folder;
  pid_t Process = 0;
  std::string Window;
  bool Ended = false;
};

// What the in-memory surface draws for this state, with the pointer read at
// (x, y) and, when not empty, what the last box key said.
Frame Expected(EditorState state, const Level& grid, int x = RestX, int y = RestY, std::string said = {}) {
  testing::FreshScreen();
  state.MouseX = x;
  state.MouseY = y;
  if (!said.empty()) said.resize(MessageWidth, ' ');
  DrawPass(state, grid, said);
  return Frame(FramePixels(), FramePixels() + ScreenWidth * ScreenHeight);
}

bool Editor::ClickTo(int x, int y, EditorState state, const Level& grid) {
  const Frame expected = Expected(state, grid, x, y);
  return ClickUntil(x, y, [&](const Frame& f) { return f == expected; });
}

// Dirt chosen in the palette and painted into cell (7, 9) of layer 0 with a
// click, in the editor and in `state` and `grid` alike.
bool PaintDirtCell(Editor& editor, EditorState& state, Level& grid) {
  state.CurrentTile = 3;
  if (!editor.ClickTo(803, 490, state, grid)) return false;
  WriteCell(grid, 7, 9, 0, 3);
  return editor.ClickTo(10 + 3 * 7, 30 + 3 * 9, state, grid);
}

// Empty when the frames are the same; else how many pixels differ and where
// the first one is.
std::string Mismatch(const Frame& shown, const Frame& expected) {
  if (shown.size() != expected.size()) return "a frame of another size";
  size_t n = 0, first = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != expected[i] && n++ == 0) first = i;
  }
  if (n == 0) return "";
  char where[160];
  std::snprintf(where, sizeof where, "%zu pixels differ, the first at %zu,%zu: shown %08X, expected %08X", n,
                first % ScreenWidth, first / ScreenWidth, shown[first], expected[first]);
  return where;
}

TEST(Window, SizeTitleAndFirstFrame) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty()) << "no window titled terrafix";
  testing::WindowFacts facts = testing::ReadWindowFacts(std::stoul(editor.Id()));
  ASSERT_TRUE(facts.Found);
  EXPECT_EQ(facts.Width, 1050);
  EXPECT_EQ(facts.Height, 800);
  EXPECT_EQ(facts.Title, "terrafix");
  EXPECT_TRUE(facts.FixedSize) << "the window can be resized";

  editor.MoveTo(RestX, RestY);
  auto grid = std::make_unique<Level>();
  Frame expected = Expected(EditorState{}, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");
}

TEST(Window, PaletteClickThenDragPaints) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  state.CurrentTile = 2;
  ASSERT_TRUE(editor.ClickTo(803, 482, state, *grid));  // the grass box
  // A drag over the top view at zoom 3, one cell each step, each step once
  // the cell under the pointer shows grass.
  ASSERT_TRUE(editor.PointAt(100, 100));
  editor.Press();
  for (int i = 0; i <= 10; ++i) {
    const int x = 100 + 3 * i, y = 100 + 6 * i;
    editor.MoveTo(x, y);
    EXPECT_TRUE(editor.Shows([&](const Frame& f) { return !f.empty() && f[y * ScreenWidth + x] == 0xFF00C800; }))
        << "step " << i;
    WriteCell(*grid, 30 + i, 23 + 2 * i, 0, 2);
  }
  editor.Release();
  // And one cell of side view B: (x 20, y 0, z 10) at layout 1, zoom 3.
  WriteCell(*grid, 20, 0, 10, 2);
  EXPECT_TRUE(editor.ClickTo(10 + 3 * (260 + 20) + 1, 30 + 3 * (133 - 10) + 1, state, *grid));
  editor.MoveTo(RestX, RestY);
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");
}

// Buttons pressed while another window is active paint nothing, then or
// once the editor is active again; a quick click in the active window is
// still a click.
TEST(Window, APressWhileAnotherWindowIsActivePaintsNothing) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  state.CurrentTile = 3;
  ASSERT_TRUE(editor.ClickTo(803, 490, state, *grid));  // dirt
  const int x = 10 + 3 * 7, y = 30 + 3 * 9;              // top view cell (7, 9), never painted
  {
    testing::OtherWindow other;
    ASSERT_TRUE(other.Shown());
    editor.MoveTo(x, y);
    ASSERT_TRUE(editor.Shows([](const Frame& f) {
      return !f.empty() && testing::TextIn(f.data(), 3, 40, 23) == "   mx:-1         my:-1 ";
    })) << "the readouts show no pointer while the editor is not active";
    editor.Press();
    editor.Release();
    RunCommand("xdotool windowfocus --sync " + editor.Id());
    ASSERT_TRUE(editor.PointAt(x, y)) << "the readouts are back";
  }
  // A quick click on another cell paints that one alone.
  const int clickX = x + 3 * 2;
  ASSERT_TRUE(editor.PointAt(clickX, y));
  RunCommand("xdotool click 1");
  WriteCell(*grid, 9, 9, 0, 3);
  const Frame painted = Expected(state, *grid, clickX, y);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(painted), painted), "") << "only the click paints";
}

TEST(Window, KeysMoveTheSlicesAndOptionBoxesSwitchTheViews) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  editor.MoveTo(RestX, RestY);
  editor.Type("jjjJnbbgu");
  editor.Key("Left Delete F1");  // two-character keys do nothing
  EditorState state;
  state.SliceX = 3;
  state.SliceY = 1;
  state.Layer = 1;
  auto grid = std::make_unique<Level>();
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");
  EXPECT_EQ(testing::TextIn(expected.data(), 2, 40, 35), "   x: 3          y: 1          z: 1");

  state.ViewMode = 3;
  EXPECT_TRUE(editor.ClickTo(978, 442, state, *grid));  // sides
  state.Zoom = 2;
  EXPECT_TRUE(editor.ClickTo(882, 450, state, *grid));  // zoom x2
  state.GridVisible = 1;
  EXPECT_TRUE(editor.ClickTo(986, 458, state, *grid));  // grid
  editor.MoveTo(RestX, RestY);
  expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");
}

// Processor time the process has used so far, in clock ticks.
long ProcessorTicks(pid_t process) {
  std::string stat = testing::ReadWholeFile("/proc/" + std::to_string(process) + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  long user = 0, system = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) user = std::stol(field);
    if (i == 15) system = std::stol(field);
  }
  return user + system;
}

TEST(Window, AnIdleEditorWakesForKeysAndClicks) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  // Idle: no processor time over a while with nothing happening.
  bool idle = false;
  for (int i = 0; i < 20 && !idle; ++i) {
    const long before = ProcessorTicks(editor.Pid());
    std::this_thread::sleep_for(500ms);
    idle = ProcessorTicks(editor.Pid()) == before;
  }
  ASSERT_TRUE(idle) << "the untouched editor keeps using the processor";
  editor.Type("j");
  auto grid = std::make_unique<Level>();
  EditorState state;
  state.SliceX = 1;
  const Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the key moves the readout";
  state.GridVisible = 1;
  EXPECT_TRUE(editor.ClickTo(986, 458, state, *grid)) << "a click on the grid box acts";
}

// A window manager may force another size on the window: the editor shows
// what fits, asks for its own size back, and goes on.
TEST(Window, AWindowForcedSmallerShowsWhatFitsAndComesBack) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  RunCommand("xdotool windowsize " + editor.Id() + " 400 300");
  editor.Type("j");
  auto grid = std::make_unique<Level>();
  EditorState state;
  state.SliceX = 1;
  const Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");
  testing::WindowFacts facts = testing::ReadWindowFacts(std::stoul(editor.Id()));
  EXPECT_EQ(std::make_pair(facts.Width, facts.Height), std::make_pair(1050, 800));
  EXPECT_EQ(editor.ExitStatus(200ms), -1) << "the editor ended";
}

TEST(Window, CloseControlLeavesTheWindowOpen) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  editor.RequestClose();
  EXPECT_EQ(editor.ExitStatus(1000ms), -1);
  editor.MoveTo(RestX, RestY);
  editor.Type("j");  // still there and still taking keys
  EditorState state;
  state.SliceX = 1;
  auto grid = std::make_unique<Level>();
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");
}

// The picture window's id once it is shown, or empty.
// The picture window, by its name (`titled`: a regular expression of its whole title).
std::string PictureWindowId(const std::string& titled = "^terrafix picture$") {
  for (int i = 0; i < 100; ++i) {
    std::string found =
        testing::CommandOutput("xdotool search --onlyvisible --name '" + titled + "' 2>/dev/null | head -n 1");
    while (!found.empty() && found.back() == '\n') found.pop_back();
    if (!found.empty()) return found;
    std::this_thread::sleep_for(50ms);
  }
  return {};
}

bool PictureWindowGone() {
  for (int i = 0; i < 100; ++i) {
    if (testing::CommandOutput("xdotool search --onlyvisible --name '^terrafix picture$' 2>/dev/null").empty()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

// The picture window's pixels of one colour, and the first of them.
struct ColourSeen {
  int Count = 0, X = -1, Y = -1;
};
ColourSeen PixelsOfColour(const std::string& window, uint32_t colour) {
  ColourSeen seen;
  const std::string rgb = testing::CommandOutput("timeout 20 import -window " + window + " -depth 8 rgb:-");
  const testing::WindowFacts facts = testing::ReadWindowFacts(std::stoul(window));
  if (facts.Width <= 0 || rgb.size() != size_t(facts.Width) * facts.Height * 3) return seen;
  for (size_t i = 0; i < rgb.size() / 3; ++i) {
    const uint32_t c = uint32_t(uint8_t(rgb[3 * i])) << 16 | uint32_t(uint8_t(rgb[3 * i + 1])) << 8 | uint8_t(rgb[3 * i + 2]);
    if (c != (colour & 0xFFFFFF)) continue;
    if (seen.Count++ == 0) seen.X = int(i % facts.Width), seen.Y = int(i / facts.Width);
  }
  return seen;
}

// Waits until the picture window shows the colour in a way `wanted` accepts.
bool PictureShows(const std::string& window, uint32_t colour, const std::function<bool(const ColourSeen&)>& wanted) {
  for (int i = 0; i < 100; ++i) {
    if (wanted(PixelsOfColour(window, colour))) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

// The key i opens the picture window beside the main one, which goes on
// showing exactly what it showed; a stroke shows in the picture, the wheel
// zooms it, a drag turns it; its close control closes it and nothing else,
// and i opens and closes it again.
TEST(Window, ThePictureWindowFollowsTheLevelAndClosesAlone) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  editor.Key("i");
  const std::string picture = PictureWindowId();
  ASSERT_FALSE(picture.empty());
  const testing::WindowFacts facts = testing::ReadWindowFacts(std::stoul(picture));
  EXPECT_FALSE(facts.FixedSize) << "it can be resized";
  constexpr uint32_t Dirt = 0xFFA06400;
  EXPECT_TRUE(PictureShows(picture, LayerOutline, [](const ColourSeen& s) { return s.Count > 0; })) << "the layer outlined";
  EXPECT_EQ(PixelsOfColour(picture, Dirt).Count, 0);

  ASSERT_TRUE(PaintDirtCell(editor, state, *grid));  // the main window's frames as ever
  ColourSeen painted;
  EXPECT_TRUE(PictureShows(picture, Dirt, [&](const ColourSeen& s) { return (painted = s).Count > 0; }))
      << "the painted cell";

  RunCommand("xdotool mousemove --window " + picture + " 200 240 mousedown 1 mousemove --window " + picture +
             " 400 240 mouseup 1");
  ColourSeen turned;
  EXPECT_TRUE(PictureShows(picture, Dirt, [&](const ColourSeen& s) {
    return (turned = s).Count > 0 && (s.X != painted.X || s.Y != painted.Y);
  })) << "turned: the cell elsewhere";

  // A cell in the middle of the level stays in the middle of the picture as it is zoomed.
  WriteCell(*grid, 128, 128, 0, 3);
  ASSERT_TRUE(editor.ClickTo(10 + 3 * 128, 30 + 3 * 128, state, *grid));
  ColourSeen both;
  ASSERT_TRUE(PictureShows(picture, Dirt, [&](const ColourSeen& s) { return (both = s).Count > turned.Count; }));
  RunCommand("xdotool mousemove --window " + picture + " 320 240 click 4");  // the wheel, away from the user
  EXPECT_TRUE(PictureShows(picture, Dirt, [&](const ColourSeen& s) { return s.Count > both.Count; }))
      << "zoomed in: the cell larger";

  ASSERT_TRUE(testing::SendCloseRequest(std::stoul(picture)));
  EXPECT_TRUE(PictureWindowGone());
  EXPECT_EQ(editor.ExitStatus(300ms), -1) << "the editor goes on";
  editor.MoveTo(RestX, RestY);
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "");

  editor.Key("i");
  ASSERT_FALSE(PictureWindowId().empty());
  editor.Key("i");
  EXPECT_TRUE(PictureWindowGone());
  editor.Type("j");
  state.SliceX = 1;
  expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "keys work as ever";
}

// Saving twice under one name asks before replacing; the level typed with
// its extension at Load is the same level.
TEST(Window, SaveTwiceUnderOneNameAndLoadWithTheExtension) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  auto save = [&](const std::string& answer) {
    ASSERT_TRUE(editor.ClickMenu(418, std::string(SavePrompt)));
    editor.Type("world");
    editor.Key("Return");
    if (!answer.empty()) {
      ASSERT_TRUE(editor.RowOneShows(ReplaceQuestion("world")));
      editor.Type(answer);
      editor.Key("Return");
    }
  };
  save("");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'world', press any key to continue..."));
  editor.Key("space");
  const std::string first = testing::ReadWholeFile(editor.Path() / "world.dat");

  ASSERT_TRUE(PaintDirtCell(editor, state, *grid));
  save("y");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'world', press any key to continue..."));
  editor.Key("space");
  const std::string second = testing::ReadWholeFile(editor.Path() / "world.dat");
  EXPECT_EQ(testing::Gunzip(editor.Path() / "world.dat")[319 + 9 * 256 + 7], 3);

  state.CurrentTile = 0;
  ASSERT_TRUE(editor.ClickTo(803, 466, state, *grid));  // air
  WriteCell(*grid, 7, 9, 0, 0);
  ASSERT_TRUE(editor.ClickTo(10 + 3 * 7, 30 + 3 * 9, state, *grid));
  save("n");
  editor.MoveTo(RestX, RestY);
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "back in the editor after n";
  EXPECT_EQ(testing::ReadWholeFile(editor.Path() / "world.dat"), second) << "n keeps the saved level";
  EXPECT_NE(first, second);

  ASSERT_TRUE(editor.ClickMenu(363, std::string(LoadPrompt)));
  editor.Type("world.dat");
  editor.Key("Return");
  WriteCell(*grid, 7, 9, 0, 3);
  editor.MoveTo(RestX, RestY);
  expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the level loaded as world.dat";
}

// A slip of the hand undone with Ctrl+Z, redone with Ctrl+Y and undone
// again: the level saved afterwards holds the cells as they were before it.
TEST(Window, PaintUndoRedoAndSave) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  ASSERT_TRUE(PaintDirtCell(editor, state, *grid));  // kept
  auto kept = std::make_unique<Level>(*grid);
  ASSERT_TRUE(editor.PointAt(100, 100));  // the slip: a drag over a few cells
  editor.Press();
  for (int i = 0; i < 5; ++i) {
    const int x = 100 + 3 * i, y = 100;
    editor.MoveTo(x, y);
    EXPECT_TRUE(editor.Shows([&](const Frame& f) { return !f.empty() && f[y * ScreenWidth + x] == 0xFFA06400; }));
    WriteCell(*grid, 30 + i, 23, 0, 3);
  }
  editor.Release();
  editor.MoveTo(RestX, RestY);
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the slip";
  editor.Key("ctrl+z");
  expected = Expected(state, *kept);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "undone";
  editor.Key("ctrl+y");
  expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "redone";
  editor.Key("ctrl+z");

  ASSERT_TRUE(editor.ClickMenu(418, std::string(SavePrompt)));
  editor.Type("world");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'world', press any key to continue..."));
  std::string raw = testing::Gunzip(editor.Path() / "world.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  EXPECT_EQ(raw[319 + 9 * 256 + 7], 3);
  EXPECT_EQ(std::count(raw.begin() + 319, raw.begin() + 4'194'623, '\0'), 4'194'303) << "only the kept cell";
}

TEST(Window, SaveNewLoadAndQuit) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  ASSERT_TRUE(PaintDirtCell(editor, state, *grid));

  ASSERT_TRUE(editor.ClickMenu(418, std::string(SavePrompt)));
  editor.Type("world");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'world', press any key to continue..."));
  editor.Key("space");
  std::string raw = testing::Gunzip(editor.Path() / "world.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  EXPECT_EQ(raw.substr(0, 319), testing::ReadWholeFile(fs::path(TERRAFIX_DATA) / "headers.dat").substr(0, 319));
  EXPECT_EQ(raw[319 + 9 * 256 + 7], 3);
  EXPECT_EQ(std::count(raw.begin() + 319, raw.begin() + 4'194'623, '\0'), 4'194'303);

  ASSERT_TRUE(editor.ClickMenu(314, std::string(NewQuestion)));  // New, answered n, then y
  editor.Type("n");
  editor.Key("Return");
  editor.MoveTo(RestX, RestY);
  Frame expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "New answered n changes nothing";
  ASSERT_TRUE(editor.ClickMenu(314, std::string(NewQuestion)));
  editor.Type("maybe");
  editor.Key("Return");
  editor.Type("Y");
  editor.Key("Return");
  editor.Type("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");  // up to layer 32, just above the grass
  auto terrain = std::make_unique<Level>();
  LayNewTerrain(*terrain);
  state.Layer = 32;
  editor.MoveTo(RestX, RestY);
  expected = Expected(state, *terrain);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the new terrain";

  ASSERT_TRUE(editor.ClickMenu(363, std::string(LoadPrompt)));  // Load the saved level back
  editor.Type("world");
  editor.Key("Return");
  editor.MoveTo(RestX, RestY);
  expected = Expected(state, *grid);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the loaded level";

  ASSERT_TRUE(editor.ClickMenu(363, std::string(LoadPrompt)));  // a name that is not there
  editor.Type("nowhere");
  editor.Key("Return");
  EXPECT_TRUE(editor.RowOneShows(std::string(HeaderMismatchMessage)));
  editor.Key("space");

  ASSERT_TRUE(editor.ClickMenu(475, std::string(QuitQuestion)));  // Quit, answered n, then y
  editor.Type("n");
  editor.Key("Return");
  EXPECT_EQ(editor.ExitStatus(1000ms), -1);
  ASSERT_TRUE(editor.ClickMenu(475, std::string(QuitQuestion)));
  editor.Type("y");
  editor.Key("Return");
  EXPECT_EQ(editor.ExitStatus(), 0);
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// A right drag on each view, at zoom 1 and 3, with and without the grid: the
// outline while the button is held, the cells after its release, and Ctrl+Z.
TEST(Window, RightDragFillsARectangleOnEachView) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  auto grid = std::make_unique<Level>();
  EditorState state;
  state.CurrentTile = 1;
  ASSERT_TRUE(editor.ClickTo(803, 474, state, *grid));  // the stone box
  struct Case {
    int32_t Zoom, GridVisible, ZoomBoxX;
    SliceView View;
    int32_t FromH, FromV, ToH, ToV;
  };
  const Case cases[] = {
      {1, 0, 803, SliceView::Top, 40, 50, 60, 55},
      {3, 1, 963, SliceView::Top, 70, 90, 60, 80},
      {1, 1, 803, SliceView::SideA, 10, 40, 30, 20},
      {3, 0, 963, SliceView::SideB, 5, 3, 20, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("zoom " + std::to_string(c.Zoom) + ", view " + std::to_string(static_cast<int>(c.View)));
    if (state.Zoom != c.Zoom) {
      state.Zoom = c.Zoom;
      ASSERT_TRUE(editor.ClickTo(c.ZoomBoxX, 450, state, *grid));
    }
    if (state.GridVisible != c.GridVisible) {
      state.GridVisible = c.GridVisible;
      ASSERT_TRUE(editor.ClickTo(986, 458, state, *grid));
    }
    const PixelRect from = PixelsOfCell(state, *grid, {c.View, c.FromH, c.FromV});
    const PixelRect to = PixelsOfCell(state, *grid, {c.View, c.ToH, c.ToV});
    ASSERT_TRUE(editor.PointAt(from.Left, from.Top));
    RunCommand("xdotool mousedown 3");
    editor.MoveTo(to.Left, to.Top);
    EditorState held = state;
    held.FillView = c.View;
    held.FillFromH = c.FromH, held.FillFromV = c.FromV, held.FillToH = c.ToH, held.FillToV = c.ToV;
    Frame expected = Expected(held, *grid, to.Left, to.Top);
    EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the outline while held";
    RunCommand("xdotool mouseup 3");
    auto before = std::make_unique<Level>(*grid);
    FillRectangle(state, c.View, c.FromH, c.FromV, c.ToH, c.ToV, 1, *grid, *std::make_unique<UndoHistory>());
    editor.MoveTo(RestX, RestY);
    expected = Expected(state, *grid);
    EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "filled";
    editor.Key("ctrl+z");
    expected = Expected(state, *before);
    EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "undone";
    *grid = *before;
  }
}

// A left press during a right drag cancels it; a middle press picks a loaded
// tile that the palette lacks, which the left button then paints.
TEST(Window, LeftPressCancelsAFillAndMiddlePressPicksALoadedTile) {
  auto level = std::make_unique<Level>();
  WriteCell(*level, 20, 30, 0, 19);  // white, in no palette box
  Editor editor([&] {
    HeaderTemplate header;
    ReadHeaderTemplate(header);
    testing::WriteGzipped("castle.dat", testing::LevelFileOf(*level, header));
  });
  ASSERT_FALSE(editor.Id().empty());
  EditorState state;
  ASSERT_TRUE(editor.ClickMenu(363, std::string(LoadPrompt)));
  editor.Type("castle");
  editor.Key("Return");
  editor.MoveTo(RestX, RestY);
  Frame expected = Expected(state, *level);
  ASSERT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "loaded";

  ASSERT_TRUE(editor.PointAt(100, 100));
  RunCommand("xdotool mousedown 3");
  editor.MoveTo(200, 150);
  // The outline's top edge runs along pixel row 99, from the cell of pixel (100, 100).
  ASSERT_TRUE(editor.Shows([](const Frame& f) { return !f.empty() && f[99 * ScreenWidth + 200] == FillOutlineColour; }));
  editor.Press();
  expected = Expected(state, *level, 200, 150);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the outline gone at the left press";
  editor.Release();
  RunCommand("xdotool mouseup 3");

  const int x = 10 + 3 * 20 + 1, y = 30 + 3 * 30 + 1;
  ASSERT_TRUE(editor.PointAt(x, y));
  RunCommand("xdotool mousedown 2");
  state.CurrentTile = 19;
  expected = Expected(state, *level, x, y);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "picked: the current-tile box is white";
  RunCommand("xdotool mouseup 2");
  WriteCell(*level, 50, 60, 0, 19);
  EXPECT_TRUE(editor.ClickTo(10 + 3 * 50 + 1, 30 + 3 * 60 + 1, state, *level));
  editor.MoveTo(RestX, RestY);
  expected = Expected(state, *level);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the picked tile painted, nothing filled";
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// Quit answered y ends the editor with status 0, every time, on a busy
// machine too: the window is torn down once, and nothing of it runs again.
TEST(Window, QuitEndsWithStatusZeroEveryTime) {
  // Two processes that keep both processors busy for the test's length, at
  // a lower priority: the editor starts and quits among them, as on a busy
  // desktop, without waiting for a turn longer than the test waits for it.
  struct BusyMachine {
    std::vector<pid_t> Loops;
    BusyMachine() {
      for (int i = 0; i < 2; ++i) {
        const pid_t p = fork();
        if (p == 0) execlp("nice", "nice", "-n", "10", "sh", "-c", "while :; do :; done", nullptr), _exit(127);
        Loops.push_back(p);
      }
    }
    ~BusyMachine() {
      for (pid_t p : Loops) kill(p, SIGKILL), waitpid(p, nullptr, 0);
    }
  } busy;
  for (int run = 0; run < 8; ++run) {
    Editor editor;
    ASSERT_FALSE(editor.Id().empty()) << "run " << run;
    ASSERT_TRUE(editor.ClickMenu(475, std::string(QuitQuestion))) << "run " << run;
    editor.Type("y");
    editor.Key("Return");
    EXPECT_EQ(editor.ExitStatus(), 0) << "run " << run;
  }
}

// Keys typed far faster than passes run all reach a typed name.
TEST(Window, SixtyKeysTypedAtOnceAllArrive) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWX";
  ASSERT_EQ(name.size(), 60u);
  ASSERT_TRUE(editor.ClickMenu(418, std::string(SavePrompt)));
  RunCommand("xdotool type --delay 0 '" + name + "'");
  editor.Key("Return");
  EXPECT_TRUE(editor.RowOneShows("File saved as '" + name + "'"));
  EXPECT_TRUE(fs::exists(editor.Path() / (name + ".dat")));
}

// The display going away ends the editor within a second in every state it
// can wait in; with unsaved changes, their level is kept first.
TEST(Window, ALostDisplayEndsTheEditorInEveryState) {
  struct Case {
    const char* What;
    std::function<void(Editor&)> Reach;  // asserts that the editor is there
    bool Unsaved;
  };
  const Case cases[] = {
      {"idle", [](Editor&) {}, false},
      {"line input", [](Editor& e) { ASSERT_TRUE(e.ClickMenu(418, std::string(SavePrompt))); }, false},
      {"question", [](Editor& e) { ASSERT_TRUE(e.ClickMenu(314, std::string(NewQuestion))); }, false},
      {"message",
       [](Editor& e) {
         ASSERT_TRUE(e.ClickMenu(363, std::string(LoadPrompt)));
         e.Type("missing");
         e.Key("Return");
         ASSERT_TRUE(e.RowOneShows(std::string(HeaderMismatchMessage).substr(0, 40)));
       },
       false},
      {"compressor",
       [](Editor& e) {
         testing::WriteWholeFile(e.Path() / "gzip.exe", "#!/bin/sh\ntouch running; exec sleep 600\n");
         chmod((e.Path() / "gzip.exe").c_str(), 0755);
         ASSERT_TRUE(e.ClickMenu(418, std::string(SavePrompt)));
         e.Type("world");
         e.Key("Return");
         for (int i = 0; i < 100 && !fs::exists(e.Path() / "running"); ++i) std::this_thread::sleep_for(50ms);
         ASSERT_TRUE(fs::exists(e.Path() / "running"));
       },
       false},
      {"unsaved, idle",
       [](Editor& e) {
         EditorState state;
         auto grid = std::make_unique<Level>();
         ASSERT_TRUE(PaintDirtCell(e, state, *grid));
       },
       true},
  };
  const std::string shared = std::getenv("DISPLAY");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    const pid_t server = StartXServer(150);
    ASSERT_GT(server, 0);
    {
      Editor editor;
      ASSERT_FALSE(editor.Id().empty());
      c.Reach(editor);
      kill(server, SIGTERM);  // the server goes away, as at the end of a session
      waitpid(server, nullptr, 0);
      // 1, as the lost display ends it: not a signal (a write to the
      // connection gone would otherwise end it with SIGPIPE, keeping nothing).
      EXPECT_EQ(editor.ExitStatus(1000ms), 1) << "still running a second after the display went away, or not ended by it";
      EXPECT_EQ(testing::KeptWorkFiles(editor.Path() / ".state").size(), c.Unsaved ? 1u : 0u);
    }
    setenv("DISPLAY", shared.c_str(), 1);
  }
}

// Levels of every size, of the game's format and as worlds: each loads and
// is drawn where its extents place the views; at every zoom, every view's
// four corners are panned to with the keys and painted with a click; saved,
// the level is read back by the game's own classes (the JDK) or by
// prismarine-nbt with exactly those cells changed; undo of the Load brings
// back the level before, of another size.
TEST(Window, LevelsOfEverySizeLoadPaintSaveAndUndo) {
  struct Size {
    int32_t Width, Length, Height;
  };
  const Size sizes[] = {{1, 1, 1}, {64, 64, 64}, {128, 64, 128}, {512, 512, 64}, {100, 300, 200}, {1024, 1024, 256}};
  const std::string java = TERRAFIX_JAVA_SOURCES;
  const std::string node = "NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES "/classic_world.js' ";
  for (const Size& size : sizes) {
    for (const bool world : {false, true}) {
      const std::string name = "level" + std::string(world ? ".cw" : ".dat");
      SCOPED_TRACE(std::to_string(size.Width) + " x " + std::to_string(size.Length) + " x " +
                   std::to_string(size.Height) + (world ? " world" : " level"));
      // The level: every cell i % 47, as both writers lay it out.
      auto level = std::make_unique<Level>();
      level->Width = size.Width, level->Length = size.Length, level->Height = size.Height;
      level->Cells.resize(size_t(size.Width) * size.Length * size.Height);
      for (size_t i = 0; i < level->Cells.size(); ++i) level->Cells[i] = static_cast<uint8_t>(i % 47);
      level->TopPlane.assign(PlanCells(*level), 0);
      const bool huge = level->Cells.size() > (size_t{64} << 20);  // more than prismarine-nbt reads in a test
      Editor editor([&] {
        if (!world) {
          RunCommand("javac -d classes " + java + "/Level.java " + java + "/LevelTool.java");
          RunCommand("java -cp classes com.mojang.minecraft.level.LevelTool write level.raw " +
                     std::to_string(size.Width) + " " + std::to_string(size.Length) + " " +
                     std::to_string(size.Height) + " && gzip -c -n level.raw > level.dat");
        } else if (!huge) {
          // prismarine-nbt's X is the width, Y the height, Z the length.
          RunCommand(node + "write level.cw " + std::to_string(size.Width) + " " + std::to_string(size.Height) +
                     " " + std::to_string(size.Length));
        } else {
          std::vector<uint8_t> before, after;
          size_t time = 0;
          NewClassicWorld(*level, "level", 0, before, after, time);
          testing::WriteGzipped("level.cw", std::string(before.begin(), before.end()) +
                                                std::string(level->Cells.begin(), level->Cells.end()) +
                                                std::string(after.begin(), after.end()));
        }
      });
      ASSERT_FALSE(editor.Id().empty());
      const std::string original = testing::Gunzip(editor.Path() / name);
      EditorState state;
      Level previous;  // all air, as the editor starts
      state.CurrentTile = 3;
      ASSERT_TRUE(editor.ClickTo(803, 490, state, previous));  // dirt
      ASSERT_TRUE(editor.ClickMenu(363, std::string(LoadPrompt)));
      editor.Type(name);
      editor.Key("Return");
      Frame expected = Expected(state, *level, 363, 3);
      ASSERT_EQ(Mismatch(editor.ShowsWithin(expected, 20000ms), expected), "") << "the level as loaded";

      // Every view at every zoom: its four corners, each once the keys have
      // panned the part shown to the ends of the level that hold it. Corners
      // past the frame's right edge (the side views at zoom 3) are left out.
      const int32_t lastX = size.Width - 1, lastY = size.Length - 1, lastZ = size.Height - 1;
      const int32_t across = std::min(size.Width, 256), down = std::min(size.Length, 256),
                    up = std::min(size.Height, 64);
      std::set<size_t> painted;  // the cells whose value the paint changes
      for (const int32_t zoom : {3, 2, 1}) {
        state.Zoom = zoom;
        ASSERT_TRUE(editor.ClickTo(803 + 80 * (zoom - 1), 450, state, *level)) << "zoom " << zoom;
        const int32_t sides = 10 + zoom * (across + 4);
        for (SliceView view : {SliceView::Top, SliceView::SideA, SliceView::SideB}) {
          for (const bool farH : {false, true}) {
            for (const bool farV : {false, true}) {
              const bool top = view == SliceView::Top, sideA = view == SliceView::SideA;
              const bool farX = !sideA && farH, farY = top ? farV : sideA && farH, farZ = !top && farV;
              // The view's corner pixels, as the layout places it.
              const int32_t left = top ? 10 : sides, upper = view == SliceView::SideB ? 30 + zoom * (up + 6) : 30;
              const int32_t wide = sideA ? down : across, high = top ? down : up;
              const int32_t x = farH ? left + zoom * wide - 1 : left;
              const int32_t y = top ? (farV ? upper + zoom * high - 1 : upper) : (farV ? upper : upper + zoom * high - 1);
              if (x >= ScreenWidth) continue;
              RunCommand(std::string("xdotool key --delay 2 --repeat 40 ") + (farX ? "Right " : "Left ") +
                         (farY ? "Down " : "Up ") + (farZ ? "Prior" : "Next"));
              state.PanX = farX ? 1 << 20 : 0, state.PanY = farY ? 1 << 20 : 0, state.PanZ = farZ ? 1 << 20 : 0;
              const int32_t cx = top || !sideA ? (farX ? lastX : 0) : 0;
              const int32_t cy = top ? (farY ? lastY : 0) : sideA ? (farY ? lastY : 0) : 0;
              const int32_t cz = top ? 0 : (farZ ? lastZ : 0);
              const size_t index = CellIndex(*level, cx, cy, cz);
              if (level->Cells[index] != 3) painted.insert(index);
              WriteCell(*level, cx, cy, cz, 3);
              ASSERT_TRUE(editor.ClickTo(x, y, state, *level)) << "zoom " << zoom << ", view " << int(view)
                                                               << ", corner " << farH << farV;
            }
          }
        }
      }

      ASSERT_TRUE(editor.ClickMenu(418, std::string(SavePrompt)));
      editor.Type("out" + std::string(world ? ".cw" : ".dat"));
      editor.Key("Return");
      ASSERT_TRUE(editor.RowOneShows("File saved as 'out'"));
      editor.Key("space");
      const std::string saved = testing::Gunzip(editor.Path() / (world ? "out.cw" : "out.dat"));
      // Exactly the painted cells changed (and, of a world, LastModified).
      ASSERT_EQ(saved.size(), original.size());
      const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(original.data()), original.size());
      const size_t cells = world ? ReadClassicWorld(bytes).BlocksOffset : ReadGameLevel(bytes).CellsOffset;
      std::set<size_t> changed;
      for (size_t i = 0; i < saved.size(); ++i) {
        const bool cell = i >= cells && i < cells + level->Cells.size();
        if (saved[i] != original[i] && (cell || !world)) changed.insert(i - cells);
      }
      EXPECT_EQ(changed, painted);
      if (!world) {
        const std::string tool = "cd '" + editor.Path().string() + "' && java -cp classes com.mojang.minecraft.level.LevelTool read ";
        RunCommand("cd '" + editor.Path().string() + "' && gzip -dc out.dat > out.raw");
        const std::string before = testing::CommandOutput(tool + "level.raw 0 0 0");
        const std::string after = testing::CommandOutput(tool + "out.raw " + std::to_string(size.Width - 1) + " " +
                                                         std::to_string(size.Length - 1) + " 0");
        EXPECT_EQ(after.substr(0, after.find("blocks=")), before.substr(0, before.find("blocks=")));
        EXPECT_NE(after.find(" cell=3 "), std::string::npos) << after;
      } else if (!huge) {
        // The top view's far corner, and side view A's far top one.
        const size_t topFar = PlanCells(*level) - 1, sideFar = CellIndex(*level, 0, lastY, lastZ);
        const std::string read = testing::CommandOutput("cd '" + editor.Path().string() + "' && " + node + "read out.cw " +
                                                        std::to_string(topFar) + " " + std::to_string(sideFar));
        EXPECT_NE(read.find("blocks=" + std::to_string(level->Cells.size()) + " at=3,3\n"), std::string::npos) << read;
      }

      // Undo of the strokes and the Load: the level before, of another size.
      RunCommand("xdotool key --delay 2 --repeat " + std::to_string(painted.size() + 2) + " ctrl+z");
      EditorState back = state;
      back.PanX = back.PanY = back.PanZ = 0;
      const Frame before = Expected(back, previous, 418, 3);
      EXPECT_EQ(Mismatch(editor.ShowsWithin(before), before), "") << "the level before the Load";
    }
  }
}

// Saves the level in the editor as result.dat, whose cells must be `grid`'s.
void ExpectSavedAsResult(Editor& editor, const Level& grid) {
  ASSERT_TRUE(editor.ClickMenu(419, std::string(SavePrompt)));
  editor.Type("result");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'result'"));
  const std::string raw = testing::Gunzip(editor.Path() / "result.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  EXPECT_TRUE(std::equal(grid.Cells.begin(), grid.Cells.end(), raw.begin() + 319,
                         [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }));
}

// Building in boxes: a box set by two Shift drags (outlined while held, in
// the picture window as a wire frame), filled, replaced, flood filled,
// copied, turned and pasted into a level loaded afterwards, every frame as
// the in-memory surface draws it; the saved file read back.
TEST(Window, ABoxByTwoShiftDragsFilledReplacedFloodedCopiedTurnedAndPasted) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  ASSERT_TRUE(editor.ClickMenu(419, std::string(SavePrompt)));
  editor.Type("target");  // all air
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'target'"));
  editor.Key("space");
  auto grid = std::make_unique<Level>();
  EditorState state;
  auto drag = [&](SliceView view, int32_t fromH, int32_t fromV, int32_t toH, int32_t toV, const CellBox& box) {
    const PixelRect from = PixelsOfCell(state, *grid, {view, fromH, fromV});
    const PixelRect to = PixelsOfCell(state, *grid, {view, toH, toV});
    ASSERT_TRUE(editor.PointAt(from.Left, from.Top));
    RunCommand("xdotool keydown shift mousedown 1");
    editor.MoveTo(to.Left, to.Top);
    SetBox(state, box);
    const Frame expected = Expected(state, *grid, to.Left, to.Top);
    EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the box while the drag is held";
    RunCommand("xdotool mouseup 1 keyup shift");
  };
  drag(SliceView::Top, 5, 1, 11, 4, {5, 1, 0, 11, 4, 0});
  drag(SliceView::SideA, 4, 3, 1, 0, {5, 1, 0, 11, 4, 3});  // y and z from side view A, x kept

  // Each key at a pointer on the top view's cell (8, 2), layer 0.
  const PixelRect cell = PixelsOfCell(state, *grid, {SliceView::Top, 8, 2});
  auto keyAt = [&](const std::string& key, const std::string& said) {
    ASSERT_TRUE(editor.PointAt(cell.Left, cell.Top));
    editor.Key(key);
    const Frame expected = Expected(state, *grid, cell.Left, cell.Top, said);
    EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << key;
  };
  UndoHistory history;
  size_t changed = 0;
  state.CurrentTile = 1;
  ASSERT_TRUE(editor.ClickTo(803, 474, state, *grid));  // stone
  FillBox(*grid, state.Box, 1);
  keyAt("f", "Filled 112 cells");
  state.CurrentTile = 12;
  ASSERT_TRUE(editor.ClickTo(803, 530, state, *grid));  // sand
  ReplaceInBox(*grid, state.Box, 1, 12, changed);
  keyAt("r", "Replaced 112 stone by sand");
  state.CurrentTile = 8;
  ASSERT_TRUE(editor.ClickTo(803, 514, state, *grid));  // water
  FloodFill(*grid, {5, 1, 0, 11, 4, 0}, 8, 2, 0, 8, changed);
  keyAt("o", "Flood filled 28 cells");

  editor.Key("i");
  const std::string picture = PictureWindowId();
  ASSERT_FALSE(picture.empty());
  EXPECT_TRUE(PictureShows(picture, BoxFrame, [](const ColourSeen& s) { return s.Count > 20; })) << "the wire frame";
  editor.Key("i");
  EXPECT_TRUE(PictureWindowGone());

  keyAt("ctrl+c", "Copied 7 x 4 x 4");
  keyAt("bracketright", "Turned the clipboard clockwise: 4 x 7 x 4");
  ASSERT_TRUE(editor.ClickMenu(364, std::string(LoadPrompt)));
  editor.Type("target");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows(" New   Load   Save   Quit"));
  grid = std::make_unique<Level>();
  state.BoxShown = 0, state.Box = {};
  SetBox(state, {8, 2, 0, 11, 8, 3});  // the pasted part becomes the box
  for (int32_t z = 0; z <= 3; ++z)
    for (int32_t y = 2; y <= 8; ++y)
      for (int32_t x = 8; x <= 11; ++x) WriteCell(*grid, x, y, z, z == 0 ? 8 : 12);
  keyAt("v", "Pasted 4 x 7 x 4");

  ExpectSavedAsResult(editor, *grid);
}

// A box of stone exported with e as a schematic, placed with p into the
// level loaded afterwards and pasted there: every frame as the in-memory
// surface draws it, the files read back.
TEST(Window, ABoxExportedAndPlacedIntoALevelLoadedAfterwards) {
  Editor editor;
  ASSERT_FALSE(editor.Id().empty());
  ASSERT_TRUE(editor.ClickMenu(419, std::string(SavePrompt)));
  editor.Type("target");  // all air
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("File saved as 'target'"));
  editor.Key("space");
  auto grid = std::make_unique<Level>();
  EditorState state;
  const PixelRect from = PixelsOfCell(state, *grid, {SliceView::Top, 5, 1});
  const PixelRect to = PixelsOfCell(state, *grid, {SliceView::Top, 7, 2});
  ASSERT_TRUE(editor.PointAt(from.Left, from.Top));
  RunCommand("xdotool keydown shift mousedown 1");
  editor.MoveTo(to.Left, to.Top);
  SetBox(state, {5, 1, 0, 7, 2, 0});
  Frame expected = Expected(state, *grid, to.Left, to.Top);
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "the box";
  RunCommand("xdotool mouseup 1 keyup shift");
  state.CurrentTile = 1;
  ASSERT_TRUE(editor.ClickTo(803, 474, state, *grid));  // stone
  editor.Key("f");
  ASSERT_TRUE(editor.RowOneShows("Filled 6 cells"));

  editor.Key("e");
  ASSERT_TRUE(editor.RowOneShows(std::string(ExportPrompt)));
  editor.Type("tower");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("Exported 3 x 2 x 1 as 'tower.schematic', press any key to continue..."));
  editor.Key("space");
  const std::string read = testing::CommandOutput("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                                                  "/schematic.js' read '" + (editor.Path() / "tower.schematic").string() +
                                                  "' 0 5");
  EXPECT_NE(read.find("blocks=6 at=1,1\ndata=6 nonzero=0"), std::string::npos) << read;

  ASSERT_TRUE(editor.ClickMenu(364, std::string(LoadPrompt)));
  editor.Type("target");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows(" New   Load   Save   Quit"));
  editor.Key("p");
  ASSERT_TRUE(editor.RowOneShows(std::string(PlacePrompt)));
  editor.Type("tower");
  editor.Key("Return");
  ASSERT_TRUE(editor.RowOneShows("Placed 3 x 2 x 1 in the clipboard: v or t pastes it"));
  const PixelRect cell = PixelsOfCell(state, *grid, {SliceView::Top, 20, 30});
  ASSERT_TRUE(editor.PointAt(cell.Left, cell.Top));
  editor.Key("v");
  state.BoxShown = 0, state.Box = {};
  SetBox(state, {20, 30, 0, 22, 31, 0});  // the pasted part becomes the box
  for (int32_t y = 30; y <= 31; ++y)
    for (int32_t x = 20; x <= 22; ++x) WriteCell(*grid, x, y, 0, 1);
  expected = Expected(state, *grid, cell.Left, cell.Top, "Pasted 3 x 2 x 1");
  EXPECT_EQ(Mismatch(editor.ShowsWithin(expected), expected), "") << "pasted";

  ExpectSavedAsResult(editor, *grid);
}

// A level whose picture at full size would take gigabytes (32767 x 32767 x
// 1): the picture window draws it smaller and says so in its title, and a
// stroke shows in it.
TEST(Window, ThePictureOfAHugeLevelIsDrawnSmallerAndFollowsAStroke) {
  Editor editor([] {
    // A map's header (1874, 32767, 32767, 1, a spawn of zeros), in octal for sh's printf, and its cells.
    std::string header = "\\122\\007\\377\\177\\377\\177\\001\\000";
    for (int i = 0; i < 10; ++i) header += "\\000";
    RunCommand("(printf '" + header + "'; head -c 1073676289 /dev/zero) | gzip -1 > wide.lvl");
  });
  ASSERT_FALSE(editor.Id().empty());
  ASSERT_TRUE(editor.ClickMenu(364, std::string(LoadPrompt)));
  editor.Type("wide.lvl");
  editor.Key("Return");
  ASSERT_TRUE(editor.Shows([](const Frame& f) { return Editor::RowOneIn(f, " New   Load   Save   Quit"); }, 60000ms));
  editor.Key("i");
  const std::string picture = PictureWindowId("^terrafix picture [(]1/32 scale[)]$");
  ASSERT_FALSE(picture.empty()) << "titled with the scale it is drawn at";
  // The main window to the screen's left edge, the picture as large as the room beside it.
  RunCommand("xdotool windowmove " + editor.Id() + " 0 0 windowmove " + picture + " 1058 0 windowsize " + picture +
             " 1340 1000");
  const uint32_t stone = PictureColour(1);
  ASSERT_TRUE(PictureShows(picture, stone, [](const ColourSeen& s) { return s.Count == 0; }));
  // Stone, and a stroke to and fro over the top view's first 64 rows: a cell
  // in each of 16 blocks of 32 x 32.
  ASSERT_TRUE(editor.PointAt(803, 474));
  editor.Press();
  editor.Release();
  ASSERT_TRUE(editor.PointAt(10, 31));
  editor.Press();
  for (int row : {0, 40, 63}) {
    for (int column = 0; column < 256; column += 16) {
      ASSERT_TRUE(editor.PointAt(10 + 3 * (row == 40 ? 255 - column : column), 31 + 3 * row));
    }
  }
  editor.Release();
  EXPECT_TRUE(PictureShows(picture, stone, [](const ColourSeen& s) { return s.Count > 0; })) << "the stroke";
  EXPECT_EQ(kill(editor.Pid(), 0), 0) << "the editor runs on";
}

// On a screen with no room beside the main window, the picture window opens
// at the screen's edge, never centred over the slices.
TEST(Window, OnANarrowScreenThePictureWindowOpensAtItsEdge) {
  const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  const pid_t narrow = StartXServer(140, "1280x1024x24");
  ASSERT_GT(narrow, 0);
  {
    Editor editor;
    ASSERT_FALSE(editor.Id().empty());
    editor.Key("i");
    const std::string picture = PictureWindowId();
    ASSERT_FALSE(picture.empty());
    const std::string place = testing::CommandOutput("xdotool getwindowgeometry " + picture + " | sed -n 2p");
    EXPECT_NE(place.find("Position: 640,"), std::string::npos) << place;  // 1280 - 640: at the right edge
  }
  kill(narrow, SIGTERM);
  waitpid(narrow, nullptr, 0);
  setenv("DISPLAY", display.c_str(), 1);
}

}  // namespace
}  // namespace terrafix
