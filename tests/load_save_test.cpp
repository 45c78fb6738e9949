// Load and Save with the real gzip (or a stand-in gzip.exe) in a temporary
// working folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "files/load_save_commands.h"
#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using testing::Gunzip;
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

class LoadAndSave : public ::testing::Test {
 protected:
  void SetUp() override {
    // gzip must not find a terminal to ask its questions on.
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    WriteWholeFile("headers.dat", Template394());
    ReadHeaderTemplate(Header);
  }

  // Runs a command with `typed` as the keys typed, then one more key for any message.
  void Run(void (*command)(LevelGrid&, HeaderTemplate&), const std::string& typed) {
    Surface = &testing::FreshScreen();
    testing::ScriptKeys(*Surface, typed + "\r");
    Surface->ScriptedKeys.push_back('j');
    command(*Grid, Header);
  }
  static void Save(LevelGrid& g, HeaderTemplate& h) { SaveCommand(g, h); }
  static void Load(LevelGrid& g, HeaderTemplate& h) { LoadCommand(g, h); }
  std::string Row1() { return TextAt(1, 40, 92); }
  // Row 1 from column 40 holds the first 92 characters of a message.
  bool ShowsMessage(std::string_view message) {
    message = message.substr(0, 92);
    return Row1().substr(0, message.size()) == message;
  }

  testing::WorkingFolder Folder;
  HeaderTemplate Header;
  std::unique_ptr<LevelGrid> Grid = std::make_unique<LevelGrid>();
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

  auto saved = std::make_unique<LevelGrid>(*Grid);
  std::fill(Grid->Cells.begin(), Grid->Cells.end(), 0);
  Run(Load, "world");
  EXPECT_TRUE(fs::exists("world"));
  EXPECT_FALSE(fs::exists("world.dat"));
  EXPECT_EQ(Row1().substr(0, 80), std::string(LoadPrompt) + "world ");  // no message after a load
  EXPECT_TRUE(Grid->Cells == saved->Cells);
  EXPECT_EQ(ReadKey(), "j");  // nothing waited for a key

  // Quitting after a load leaves only `world`; loading it again still works.
  std::fill(Grid->Cells.begin(), Grid->Cells.end(), 0);
  Run(Load, "world");
  EXPECT_TRUE(Grid->Cells == saved->Cells);
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

TEST_F(LoadAndSave, LoadsThatFailTheHeaderCheck) {
  Run(Save, "world");
  WriteWholeFile("corrupt.dat", "this is not gzip data at all");
  LayNewTerrain(*Grid);
  auto before = std::make_unique<LevelGrid>(*Grid);
  auto header = Header;
  for (const char* name : {"missing", "world.dat", "corrupt"}) {
    Run(Load, name);
    EXPECT_TRUE(ShowsMessage(HeaderMismatchMessage)) << name << ": " << Row1();
    EXPECT_EQ(ReadKey(), "j");
    EXPECT_TRUE(Grid->Cells == before->Cells) << name;
    EXPECT_EQ(Header.HeaderBytes, header.HeaderBytes) << name;
  }
  EXPECT_TRUE(fs::exists("missing"));  // created empty by the open
  EXPECT_EQ(fs::file_size("missing"), 0u);
  EXPECT_TRUE(fs::exists("world.dat"));  // typed with its extension: the compressed file stays
}

TEST_F(LoadAndSave, AllZeroTemplateLetsAnEmptyFileLoadAsAir) {
  fs::remove("headers.dat");
  ReadHeaderTemplate(Header);
  LayNewTerrain(*Grid);
  Run(Load, "nothing");
  EXPECT_FALSE(ShowsMessage(HeaderMismatchMessage));
  EXPECT_EQ(ReadCell(*Grid, 0, 0, 0), 0);
  Run(Save, "zeros");
  std::string raw = Gunzip("zeros.dat");
  EXPECT_EQ(raw, std::string(4'194'698, '\0'));
}

TEST_F(LoadAndSave, FailedSavesSaySoAndDamageNothing) {
  WriteCell(*Grid, 0, 0, 0, 1);
  Run(Save, "world");
  std::string first = ReadWholeFile("world.dat");
  // gzip will not overwrite world.dat when nobody can answer its question.
  WriteCell(*Grid, 0, 0, 0, 2);
  Run(Save, "world");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage)) << Row1();
  EXPECT_EQ(ReadWholeFile("world.dat"), first);

  // A full disk: nothing to compress.
  MakeScript("gzip.exe", "touch ran");
  Run(Save, "/dev/full");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage)) << Row1();
  EXPECT_FALSE(fs::exists("ran"));
}

// Makes a file that nobody, root included, can open for writing.
class Unwritable {
 public:
  explicit Unwritable(const char* name) : Name(name) {
    chmod(name, 0444);
    if (geteuid() != 0) return;
    int fd = open(name, O_RDONLY);
    int flags = 0;
    Immutable = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (fd >= 0) close(fd);
  }
  ~Unwritable() {
    if (!Immutable) return;
    int fd = open(Name, O_RDONLY);
    int flags = 0;
    if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0) close(fd);
  }
  bool Works() const { return geteuid() != 0 || Immutable; }

 private:
  const char* Name;
  bool Immutable = false;
};

TEST_F(LoadAndSave, ReadOnlyFileIsNotSavedOver) {
  WriteWholeFile("locked", "old content");
  Unwritable lock("locked");
  if (!lock.Works()) GTEST_SKIP() << "this file system cannot make a file unwritable for root";
  MakeScript("gzip.exe", "touch ran");
  Run(Save, "locked");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage)) << Row1();
  EXPECT_EQ(ReadWholeFile("locked"), "old content");
  EXPECT_FALSE(fs::exists("ran"));
}

TEST_F(LoadAndSave, LongerOldFileIsCutToTheLevelLength) {
  WriteWholeFile("world", std::string(5'000'000, 'x'));
  Run(Save, "world");
  EXPECT_TRUE(ShowsMessage(Saved));
  EXPECT_EQ(Gunzip("world.dat").size(), 4'194'698u);
}

TEST_F(LoadAndSave, CompressorThatCannotStartOrFails) {
  WriteWholeFile("gzip.exe", "not executable");
  Run(Save, "world");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage));
  EXPECT_TRUE(fs::exists("world"));  // the uncompressed file stays
  WriteCell(*Grid, 1, 1, 1, 9);
  Run(Load, "world");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage));
  EXPECT_EQ(ReadCell(*Grid, 1, 1, 1), 9);  // unchanged

  MakeScript("gzip.exe", "exit 1");
  Run(Save, "other");
  EXPECT_TRUE(ShowsMessage(CompressorFailureMessage));
  // A load goes on after the compressor fails: `world` is still there.
  Run(Load, "world");
  EXPECT_FALSE(ShowsMessage(CompressorFailureMessage));
  EXPECT_EQ(ReadCell(*Grid, 1, 1, 1), 0);
}

TEST_F(LoadAndSave, KeyTypedWhileTheCompressorRunsEndsTheWaitAtOnce) {
  MakeScript("gzip.exe", "sleep 0.3; mv \"$3\" \"$3.dat\"");
  Surface = &testing::FreshScreen();
  testing::ScriptKeys(*Surface, "world\r");
  bool typed = false;
  Surface->OnGather = [&] {
    if (!typed && fs::exists("world")) {  // the compressor is running
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

TEST_F(LoadAndSave, NameWithBlanksReachesTheCompressorAsOneArgument) {
  MakeScript("gzip.exe", "printf '%s|' \"$@\" >> args");
  Run(Save, "my level");
  EXPECT_TRUE(fs::exists("my level"));
  EXPECT_EQ(fs::file_size("my level"), 4'194'698u);
  Run(Load, "my level");
  EXPECT_EQ(ReadWholeFile("args"), "-S|.dat|my level|-d|-S|.dat|my level.dat|");
}

// A real level of the game: rejected as it stands, loaded once re-laid into
// the editor's layout.
TEST_F(LoadAndSave, ClassicLevelFromTheGame) {
  fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "classic.dat");
  Run(Load, "classic");
  EXPECT_TRUE(ShowsMessage(HeaderMismatchMessage));
  std::string raw = ReadWholeFile("classic");
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
}

}  // namespace
}  // namespace terrafix
