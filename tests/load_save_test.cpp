// Load and Save with the real gzip (or a stand-in gzip.exe) in a temporary
// working folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "files/compressor.h"
#include "files/load_save_commands.h"
#include "formats/level_file.h"
#include "memory_screen.h"
#include "platform/files/byte_files.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using testing::Gunzip;
using testing::LevelFileOf;
using testing::ReadWholeFile;
using testing::TextAt;
using testing::WriteWholeFile;

const std::string Saved = "File saved as 'world', press any key to continue...";

std::string Template394() {
  std::string t(394, '\0');
  for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<char>('A' + i % 26);
  return t;
}

void MakeScript(const char* name, const std::string& body) {
  WriteWholeFile(name, "#!/bin/sh\n" + body + "\n");
  chmod(name, 0755);
}

// Every file in the folder but the template and the stand-in compressor.
std::set<std::string> FilesHere() {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(".")) {
    const std::string name = e.path().filename().string();
    if (name != "headers.dat" && name != "gzip.exe") names.insert(name);
  }
  return names;
}

class LoadAndSave : public ::testing::Test {
 protected:
  void SetUp() override {
    // gzip must not find a terminal to ask its questions on.
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    AllowFolderCompressor(true);  // the stand-in compressors below
    WriteWholeFile("headers.dat", Template394());
    ReadHeaderTemplate(Header);
  }

  // Runs a command with `typed` as the keys typed, then one more key for any message.
  void Run(void (*command)(Level&, HeaderTemplate&), const std::string& typed) {
    Surface = &testing::FreshScreen();
    testing::ScriptKeys(*Surface, typed + "\r");
    Surface->ScriptedKeys.push_back('j');
    command(*Grid, Header);
  }
  static void Save(Level& g, HeaderTemplate& h) { SaveCommand(g, h); }
  static void Load(Level& g, HeaderTemplate& h) { LoadCommand(g, h); }
  std::string Row1() { return TextAt(1, 40, 92); }
  // Row 1 from column 40 holds the first 92 characters of a message.
  bool ShowsMessage(std::string_view message) {
    message = message.substr(0, 92);
    return Row1().substr(0, message.size()) == message;
  }

  testing::WorkingFolder Folder;
  HeaderTemplate Header;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
  MemorySurface* Surface = nullptr;
};

TEST_F(LoadAndSave, SaveThenLoadBringsTheLevelBack) {
  LayNewTerrain(*Grid);
  WriteCell(*Grid, 3, 4, 5, 17);
  WriteCell(*Grid, 255, 255, 63, 255);
  Run(Save, "world");
  EXPECT_TRUE(ShowsMessage(Saved + std::string(28, ' ')));
  EXPECT_FALSE(fs::exists("world"));
  std::string raw = Gunzip("world.dat");
  ASSERT_EQ(raw.size(), 4'194'698u);
  EXPECT_EQ(raw.substr(0, 319), Template394().substr(0, 319));
  EXPECT_EQ(raw.substr(4'194'623), Template394().substr(319));
  EXPECT_EQ(raw[319 + (5 * 256 + 4) * 256 + 3], 17);
  EXPECT_EQ(ReadKey(), "j");  // the key that ended the wait stays for the main loop

  auto saved = std::make_unique<Level>(*Grid);
  const std::string compressed = ReadWholeFile("world.dat");
  std::fill(Grid->Cells.begin(), Grid->Cells.end(), 0);
  Run(Load, "world");
  EXPECT_EQ(Row1().substr(0, 80), std::string(LoadPrompt) + "world ");  // no message after a load
  EXPECT_TRUE(Grid->Cells == saved->Cells);
  EXPECT_EQ(ReadKey(), "j");  // nothing waited for a key
  // A load changes no file: world.dat stays for the game, nothing is left beside it.
  EXPECT_EQ(ReadWholeFile("world.dat"), compressed);
  EXPECT_EQ(FilesHere(), std::set<std::string>{"world.dat"});
}

TEST_F(LoadAndSave, EmptyAnswerTouchesNothing) {
  MakeScript("gzip.exe", "touch ran");
  Run(Save, "   ");
  Run(Load, "");
  EXPECT_FALSE(fs::exists("ran"));
  EXPECT_EQ(fs::directory_iterator(".") == fs::directory_iterator(), false);
  size_t files = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(".")) ++files;
  EXPECT_EQ(files, 2u);  // headers.dat and gzip.exe
}

TEST_F(LoadAndSave, LoadsThatFailTheHeaderCheckOrTheCompressor) {
  WriteWholeFile("corrupt.dat", "this is not gzip data at all");
  WriteWholeFile("plain", std::string(4'194'698, 'x'));  // a level's size, not a level
  LayNewTerrain(*Grid);
  auto before = std::make_unique<Level>(*Grid);
  auto header = Header;
  const std::pair<const char*, std::string_view> cases[] = {
      {"missing", HeaderMismatchMessage},
      {"plain", HeaderMismatchMessage},
      {"corrupt", CompressorFailureMessage},
  };
  for (const auto& [name, message] : cases) {
    Run(Load, name);
    EXPECT_TRUE(ShowsMessage(message)) << name << ": " << Row1();
    EXPECT_EQ(ReadKey(), "j");
    EXPECT_TRUE(Grid->Cells == before->Cells) << name;
    EXPECT_EQ(Header.HeaderBytes, header.HeaderBytes) << name;
  }
  EXPECT_FALSE(fs::exists("missing"));  // a load creates nothing
  EXPECT_EQ(ReadWholeFile("corrupt.dat"), "this is not gzip data at all");
  EXPECT_FALSE(fs::exists("corrupt"));
}

TEST_F(LoadAndSave, AllZeroTemplateLetsAnEmptyFileLoadAsAir) {
  WriteWholeFile("headers.dat", "");
  ReadHeaderTemplate(Header);
  LayNewTerrain(*Grid);
  WriteWholeFile("nothing", "");
  Run(Load, "nothing");
  EXPECT_FALSE(ShowsMessage(HeaderMismatchMessage));
  EXPECT_EQ(ReadCell(*Grid, 0, 0, 0), 0);
  Run(Save, "zeros");
  std::string raw = Gunzip("zeros.dat");
  EXPECT_EQ(raw, std::string(4'194'698, '\0'));
}

TEST_F(LoadAndSave, CompressorThatCannotStartOrFails) {
  // No compressor at all: the save keeps the whole level as `world`; a
  // gzip.exe that is not a program is passed over.
  WriteWholeFile("gzip.exe", "not executable");
  const std::string path = std::getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  WriteCell(*Grid, 1, 1, 1, 9);
  Run(Save, "world");
  setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage)) << Row1();
  EXPECT_EQ(ReadWholeFile("world"), LevelFileOf(*Grid, Header));
  EXPECT_EQ(FilesHere(), std::set<std::string>{"world"});

  // With no world.dat, that uncompressed `world` is what loads.
  WriteCell(*Grid, 1, 1, 1, 0);
  Run(Load, "world");
  EXPECT_FALSE(ShowsMessage(CompressorFailureMessage));
  EXPECT_EQ(ReadCell(*Grid, 1, 1, 1), 9);

  // The not-executable gzip.exe gives way to the system's gzip.
  Run(Save, "world");
  EXPECT_TRUE(ShowsMessage(Saved)) << Row1();

  // A compressor that fails changes neither the grid nor any file.
  MakeScript("gzip.exe", "exit 1");
  const std::string compressed = ReadWholeFile("world.dat");
  WriteCell(*Grid, 1, 1, 1, 0);
  Run(Load, "world");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage));
  EXPECT_EQ(ReadCell(*Grid, 1, 1, 1), 0);
  EXPECT_EQ(ReadWholeFile("world.dat"), compressed);
}

TEST_F(LoadAndSave, KeyTypedWhileTheCompressorRunsEndsTheWaitAtOnce) {
  MakeScript("gzip.exe", "touch running; sleep 0.3; exec gzip \"$@\"");
  Surface = &testing::FreshScreen();
  testing::ScriptKeys(*Surface, "world\r");
  bool typed = false;
  Surface->OnGather = [&] {
    if (!typed && fs::exists("running")) {
      typed = true;
      QueueKey('n');
    }
  };
  SaveCommand(*Grid, Header);  // would throw InputExhausted if it had to wait
  EXPECT_TRUE(typed);
  EXPECT_TRUE(ShowsMessage(Saved));
  EXPECT_TRUE(fs::exists("world.dat"));
  EXPECT_EQ(ReadKey(), "n");
}

// Esc while the compressor runs stops it and ends the command as a failure,
// every file as it was; the Esc does not also end the message's wait.
TEST_F(LoadAndSave, EscStopsTheCompressor) {
  Run(Save, "world");
  ASSERT_TRUE(ShowsMessage(Saved));
  const std::string compressed = ReadWholeFile("world.dat");
  MakeScript("gzip.exe", "touch running; trap '' TERM; sleep 600");  // ignores SIGTERM: killed after a second
  for (auto command : {Save, Load}) {
    fs::remove("running");
    Surface = &testing::FreshScreen();
    testing::ScriptKeys(*Surface, command == Save ? "world\ry\r" : "world\r");
    bool pressed = false;
    Surface->OnGather = [&] {
      if (!pressed && fs::exists("running")) {
        pressed = true;
        QueueKey(KeyEsc);
      }
    };
    Surface->ScriptedKeys.push_back('j');
    command(*Grid, Header);
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(ShowsMessage(CompressorFailureMessage)) << Row1();
    EXPECT_EQ(ReadKey(), "j");
    EXPECT_EQ(ReadWholeFile("world.dat"), compressed);
    EXPECT_EQ(FilesHere(), (std::set<std::string>{"running", "world.dat"}));
  }
}

// Each way that Load and Save used to lose a level or report what did not
// happen, through the real commands and gzip: the files afterwards, byte for
// byte, the message shown and what the grid holds.
TEST_F(LoadAndSave, NamesAndFilesThatUsedToLoseALevel) {
  auto older = std::make_unique<Level>();
  LayNewTerrain(*older);
  auto newer = std::make_unique<Level>(*older);
  WriteCell(*newer, 9, 8, 7, 12);
  const std::string olderFile = LevelFileOf(*older, Header), newerFile = LevelFileOf(*newer, Header);
  // world.dat holds the older level, saved with the real gzip.
  auto saveOlderWorld = [&] {
    MemorySurface& surface = testing::FreshScreen();
    testing::ScriptKeys(surface, "world\rk");
    SaveCommand(*older, Header);
    ASSERT_TRUE(fs::exists("world.dat"));
  };
  struct Case {
    const char* What;
    std::function<void()> Prepare;
    void (*Command)(Level&, HeaderTemplate&);
    std::string Typed;                         // the name, Enter, and any answers
    std::string Shown;                         // how row 1 from column 40 begins afterwards
    std::map<std::string, std::string> Files;  // every file afterwards: name and uncompressed content
    bool Loaded;                               // the grid holds the older level (else it is as it was)
  };
  const std::string notes = "my own notes, not a level\n";
  const Case cases[] = {
      {"save twice, replacing", saveOlderWorld, Save, "world\ry\r", Saved, {{"world.dat", newerFile}}, false},
      {"save twice, keeping", saveOlderWorld, Save, "world\rn\r", ReplaceQuestion("world") + "n",
       {{"world.dat", olderFile}}, false},
      {"the question again until y or n", saveOlderWorld, Save, "world\ryes\rY\r", Saved, {{"world.dat", newerFile}},
       false},
      {"world.dat typed at Save", saveOlderWorld, Save, "world.dat\ry\r", Saved, {{"world.dat", newerFile}}, false},
      {"WORLD.DAT typed at Save", [] {}, Save, "WORLD.DAT\r", "File saved as 'WORLD'", {{"WORLD.dat", newerFile}},
       false},
      {"world.dat typed at Load", saveOlderWorld, Load, "world.dat\r", std::string(LoadPrompt) + "world.dat ",
       {{"world.dat", olderFile}}, true},
      {"--help", [] {}, Save, "--help\r", "File saved as '--help'", {{"--help.dat", newerFile}}, false},
      {"-f", [] {}, Save, "-f\r", "File saved as '-f'", {{"-f.dat", newerFile}}, false},
      {"-9", [] {}, Save, "-9\r", "File saved as '-9'", {{"-9.dat", newerFile}}, false},
      {"blanks and options", [&] { WriteWholeFile("x", notes); }, Save, "z -r .\r", "File saved as 'z -r .'",
       {{"z -r ..dat", newerFile}, {"x", notes}}, false},
      {"two names", [&] { WriteWholeFile("a", notes), WriteWholeFile("b", notes); }, Save, "a b\r",
       "File saved as 'a b'", {{"a b.dat", newerFile}, {"a", notes}, {"b", notes}}, false},
      {"the user's own file", [&] { WriteWholeFile("notes", notes); }, Save, "notes\r",
       std::string(NotALevelFileMessage), {{"notes", notes}}, false},
      {"a longer file", [&] { WriteWholeFile("long", std::string(5'000'000, 'x')); }, Save, "long\r",
       std::string(NotALevelFileMessage), {{"long", std::string(5'000'000, 'x')}}, false},
      {"a link", [&] { WriteWholeFile("target", notes), fs::create_symlink("target", "link"); }, Save, "link\r",
       std::string(NotAPlainFileMessage), {{"target", notes}, {"link", notes}}, false},
      {"a link as name.dat", [&] { WriteWholeFile("target", notes), fs::create_symlink("target", "link.dat"); },
       Load, "link\r", std::string(NotAPlainFileMessage), {{"target", notes}, {"link.dat", notes}}, false},
      {"a folder", [] { fs::create_directory("folder"); }, Save, "folder\r", std::string(NotAPlainFileMessage),
       {{"folder", ""}}, false},
      {"the template", [] {}, Save, "headers\r", std::string(TemplateNameMessage), {}, false},
      {"the template with .dat", [] {}, Save, "headers.dat\r", std::string(TemplateNameMessage), {}, false},
      {"the template at Load", [] {}, Load, "headers\r", std::string(TemplateNameMessage), {}, false},
      {"a cut-off copy beside the level", [&] { saveOlderWorld(), WriteWholeFile("world", "cut off"); }, Load,
       "world\r", std::string(LoadPrompt) + "world ", {{"world.dat", olderFile}, {"world", "cut off"}}, true},
      {"an uncompressed leftover beside the level", [&] { saveOlderWorld(), WriteWholeFile("world", newerFile); },
       Load, "world\r", std::string(LoadPrompt) + "world ", {{"world.dat", olderFile}, {"world", newerFile}}, true},
      {"a compressor killed halfway through a load",
       [&] {
         saveOlderWorld(), WriteWholeFile("world", newerFile);
         MakeScript("gzip.exe", "head -c 1000000 /dev/zero; kill -9 $$");
       },
       Load, "world\r", std::string(CompressorFailureMessage), {{"world.dat", olderFile}, {"world", newerFile}},
       false},
      {"a compressor that ends well but writes nothing", [] { MakeScript("gzip.exe", "exit 0"); }, Save, "world\r",
       std::string(CompressorFailureMessage), {}, false},
      {"a compressor that fails while replacing",
       [&] { saveOlderWorld(), MakeScript("gzip.exe", "head -c 100 \"$3\"; exit 1"); }, Save,
       "world\ry\r", std::string(CompressorFailureMessage), {{"world.dat", olderFile}}, false},
      {"letters beyond ASCII", [] {}, Save, "\x82t\x82\r", "File saved as '\x82t\x82'",
       {{"\xC3\xA9t\xC3\xA9.dat", newerFile}}, false},
  };
  for (const Case& c : cases) {
    testing::WorkingFolder folder;
    WriteWholeFile("headers.dat", Template394());
    const std::string headers = ReadWholeFile("headers.dat");
    c.Prepare();
    *Grid = *newer;
    Surface = &testing::FreshScreen();
    testing::ScriptKeys(*Surface, c.Typed);
    Surface->ScriptedKeys.push_back('j');
    c.Command(*Grid, Header);
    EXPECT_TRUE(ShowsMessage(c.Shown)) << c.What << ": " << Row1();
    std::set<std::string> expectedNames;
    for (const auto& [name, content] : c.Files) {
      expectedNames.insert(name);
      if (fs::is_directory(name)) continue;
      const bool compressed = name.ends_with(".dat") && content.size() == olderFile.size() && !name.starts_with("headers");
      const std::string found = compressed ? Gunzip(name) : ReadWholeFile(name);
      EXPECT_TRUE(found == content) << c.What << ": " << name << " holds " << found.size() << " bytes";
    }
    EXPECT_EQ(FilesHere(), expectedNames) << c.What;
    EXPECT_EQ(ReadWholeFile("headers.dat"), headers) << c.What;
    EXPECT_TRUE(Grid->Cells == (c.Loaded ? older : newer)->Cells) << c.What;
  }
}

// A save that fails to write its file (a full disk; here a limit on the size
// of files) leaves the earlier level whole and nothing half written.
TEST_F(LoadAndSave, SaveThatCannotWriteLeavesTheEarlierLevel) {
  Run(Save, "world");
  ASSERT_TRUE(ShowsMessage(Saved));
  const std::string earlier = ReadWholeFile("world.dat");
  WriteCell(*Grid, 3, 3, 3, 3);
  rlimit limit{}, small{1'000'000, 1'000'000};
  getrlimit(RLIMIT_FSIZE, &limit);
  small.rlim_max = limit.rlim_max;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  Run(Save, "world\ry");
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage)) << Row1();
  EXPECT_EQ(ReadWholeFile("world.dat"), earlier);
  EXPECT_EQ(FilesHere(), std::set<std::string>{"world.dat"});
}

// A real level of the game re-laid into the template's layout (its extra
// field taken out) passes the template check and loads as any other.
TEST_F(LoadAndSave, ClassicLevelRelaidIntoTheTemplatesLayout) {
  std::string raw = Gunzip(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat");
  ASSERT_EQ(raw.size(), 4'194'712u);
  // Take the networkMode field out: its description, its value, one off the count.
  size_t field = raw.find("networkMode");
  ASSERT_NE(field, std::string::npos);
  size_t values = raw.find("xp", field) + 2;  // end of class annotation, no superclass
  size_t count = raw.find("com.mojang.minecraft.level.Level") + 32 + 8 + 1;
  ASSERT_EQ(raw[count + 1], 15);
  std::string relaid = raw;
  relaid[count + 1] = 14;
  relaid.erase(values + 8 + 4 + 4, 1);  // after createTime, depth and height
  relaid.erase(field - 3, 14);
  ASSERT_EQ(relaid.size(), 4'194'697u);
  WriteWholeFile("classic", relaid);
  WriteWholeFile("headers.dat", relaid.substr(0, 319) + relaid.substr(relaid.size() - 75));
  ReadHeaderTemplate(Header);
  Run(Load, "classic");
  EXPECT_FALSE(ShowsMessage(HeaderMismatchMessage));
  size_t mismatches = 0;
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        mismatches += ReadCell(*Grid, x, y, z) != static_cast<uint8_t>(relaid[319 + (z * 256 + y) * 256 + x]);
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(ReadCell(*Grid, 0, 0, 0), 1);  // the bottom layer of generated terrain is not air
  EXPECT_TRUE(Grid->Form.Header.empty());
}

}  // namespace
}  // namespace terrafix
