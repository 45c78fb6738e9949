// Load and Save through the real program in a terminal, against everything
// that used to lose a level or leave the folder in a state the next command
// misread: files left by the game or by an earlier editor, limits, kills,
// broken and hostile files, a level folder's own programs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "console_editor.h"
#include "files/levels_folder.h"
#include "files/load_save_commands.h"
#include "formats/header_template.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ConsoleEditor;
using testing::ConsoleStart;
using testing::Gunzip;
using testing::MenuLine;
using testing::ReadWholeFile;
using testing::WriteWholeFile;

// The uncompressed level file of an all-air level with one cell set, as the
// editor saves it with the project's headers.dat (an all-air level: value 0).
std::string LevelFile(int value) {
  testing::WorkingFolder scratch;
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  auto grid = std::make_unique<Level>();
  WriteCell(*grid, 7, 8, 9, value);
  return testing::LevelFileOf(*grid, header);
}

using testing::WriteGzipped;

void MakeScript(const fs::path& file, const std::string& body) {
  WriteWholeFile(file, "#!/bin/sh\n" + body + "\n");
  chmod(file.c_str(), 0755);
}

// The names in a folder, headers.dat aside.
std::set<std::string> FilesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().filename() != "headers.dat") names.insert(e.path().filename().string());
  }
  return names;
}

const std::string Castle = LevelFile(5), Village = LevelFile(12);
const std::string SavedWorld = "File saved as 'world'";
const std::string Failed(CompressorFailureMessage.substr(0, 60));

struct Case {
  const char* What;
  ConsoleStart Start;
  std::function<void(const fs::path&)> Prepare;  // the folder, before the editor starts
  std::function<void(ConsoleEditor&)> Act;       // asserts what the editor shows
  std::function<void(ConsoleEditor&)> Check;     // asserts the files afterwards
};

TEST(FileSafety, EachWayALevelUsedToBeLost) {
  const std::string longName(250, 'n');
  const Case cases[] = {
      {"a load leaves name.dat for the game, so a later save asks before replacing it", {},
       [](const fs::path& f) { WriteGzipped(f / "castle.dat", Castle), WriteGzipped(f / "village.dat", Village); },
       [](ConsoleEditor& e) {
         ASSERT_TRUE(e.Load("castle", MenuLine));
         ASSERT_TRUE(e.Load("village", MenuLine));
         ASSERT_TRUE(e.Save("castle", ReplaceQuestion("castle")));
         e.Type("n"), e.Enter();
         ASSERT_TRUE(e.Shows(1, 40, MenuLine));
       },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "castle.dat") == Castle);
         EXPECT_TRUE(Gunzip(e.Path() / "village.dat") == Village);
         EXPECT_EQ(FilesIn(e.Path()), (std::set<std::string>{"castle.dat", "village.dat"}));
       }},
      {"a level kept aside by an earlier editor comes back where name.dat is missing", {},
       [](const fs::path& f) {
         WriteGzipped(f / "world.dat.terrafix-kept", Castle);
         WriteGzipped(f / "other.dat", Village), WriteGzipped(f / "other.dat.terrafix-kept", Castle);
       },
       [](ConsoleEditor& e) { ASSERT_TRUE(e.Load("world", MenuLine)); },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == Castle);
         EXPECT_TRUE(Gunzip(e.Path() / "other.dat") == Village);
         EXPECT_TRUE(Gunzip(e.Path() / "other.dat.terrafix-kept") == Castle);
         EXPECT_EQ(FilesIn(e.Path()), (std::set<std::string>{"world.dat", "other.dat", "other.dat.terrafix-kept"}));
       }},
      {"a limit on file sizes fails the save and ends nothing", {.Before = "ulimit -f 2000"},
       [](const fs::path& f) { WriteGzipped(f / "world.dat", Castle); },
       [](ConsoleEditor& e) {
         ASSERT_TRUE(e.Save("world", ReplaceQuestion("world")));
         e.Type("y"), e.Enter();
         ASSERT_TRUE(e.Shows(1, 40, Failed));
         e.Type("j");
         ASSERT_TRUE(e.Shows(2, 40, "   x: 1 "));  // still running
       },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == Castle);
         EXPECT_EQ(FilesIn(e.Path()), std::set<std::string>{"world.dat"});
         EXPECT_NE(ReadWholeFile(e.Side() / "errors").find("terrafix: save world: write: File too large"),
                   std::string::npos);
       }},
      {"levels of a wrong length load and their names stay free", {},
       [](const fs::path& f) {
         WriteGzipped(f / "short.dat", Castle.substr(0, Castle.size() - 1));
         WriteGzipped(f / "long.dat", Castle + "x");
         WriteGzipped(f / "cut.dat", Castle.substr(0, 1000));
       },
       [](ConsoleEditor& e) {
         for (const char* name : {"short", "long", "cut"}) {
           ASSERT_TRUE(e.Load(name, MenuLine)) << name;
           ASSERT_TRUE(e.Save(name, ReplaceQuestion(name))) << name;
           e.Type("y"), e.Enter();
           ASSERT_TRUE(e.Shows(1, 40, "File saved as '" + std::string(name) + "'")) << name;
           e.Type(" ");
         }
       },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "short.dat") == Castle);  // the missing trailer byte from the template
         EXPECT_TRUE(Gunzip(e.Path() / "long.dat") == Castle);
         EXPECT_TRUE(Gunzip(e.Path() / "cut.dat") == LevelFile(0));  // its cell was in the missing part
         EXPECT_EQ(FilesIn(e.Path()), (std::set<std::string>{"short.dat", "long.dat", "cut.dat"}));
       }},
      {"a small file that decompresses into a gigabyte is refused", {},
       [](const fs::path& f) {
         std::system(("head -c 1073741824 /dev/zero | gzip -c > '" + (f / "bomb.dat").string() + "'").c_str());
       },
       [](ConsoleEditor& e) { ASSERT_TRUE(e.Load("bomb", Failed)); },
       [](ConsoleEditor& e) {
         EXPECT_EQ(FilesIn(e.Path()), std::set<std::string>{"bomb.dat"});
         EXPECT_NE(ReadWholeFile(e.Side() / "errors").find("terrafix: load bomb: gzip wrote more than a level holds"),
                   std::string::npos);
       }},
      {"gzip's warning about trailing garbage fails the load and changes nothing", {},
       [](const fs::path& f) {
         WriteGzipped(f / "world.dat", Castle);
         WriteWholeFile(f / "world.dat", ReadWholeFile(f / "world.dat") + "garbage");
       },
       [](ConsoleEditor& e) {
         ASSERT_TRUE(e.Load("world", Failed));
         e.Type(" ");
         ASSERT_TRUE(e.Shows(3, 40, "   mx:"));
         EXPECT_EQ(e.At(2, 40, 36), "   x: 0          y: 0          z: 0 ");
       },
       [](ConsoleEditor& e) {
         EXPECT_EQ(FilesIn(e.Path()), std::set<std::string>{"world.dat"});
         EXPECT_NE(ReadWholeFile(e.Side() / "errors").find("terrafix: load world: gzip exited 2"), std::string::npos);
       }},
      {"started from the menu, a level folder's gzip.exe is never run",
       {.Environment = "HOME=home", .Arguments = "--desktop", .CopyTemplate = false},
       [](const fs::path& f) {
         fs::create_directories(f / "home/Terrafix");
         fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", f / "home/Terrafix/headers.dat");
         MakeScript(f / "home/Terrafix/gzip.exe", "touch ran; exec gzip \"$@\"");
       },
       [](ConsoleEditor& e) { ASSERT_TRUE(e.Save("world", SavedWorld)); },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "home/Terrafix/world.dat") == LevelFile(0));
         EXPECT_FALSE(fs::exists(e.Path() / "home/Terrafix/ran"));
       }},
      {"started from a shell there, the folder's gzip.exe is run", {},
       [](const fs::path& f) { MakeScript(f / "gzip.exe", "touch ran; exec gzip \"$@\""); },
       [](ConsoleEditor& e) { ASSERT_TRUE(e.Save("world", SavedWorld)); },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == LevelFile(0));
         EXPECT_TRUE(fs::exists(e.Path() / "ran"));
       }},
      {"a gzip.exe that is not a program gives way to the system's", {},
       [](const fs::path& f) { WriteWholeFile(f / "gzip.exe", "MZ not for this system"); },
       [](ConsoleEditor& e) { ASSERT_TRUE(e.Save("world", SavedWorld)); },
       [](ConsoleEditor& e) { EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == LevelFile(0)); }},
      {"Esc stops a gzip.exe that never ends", {},
       [](const fs::path& f) {
         WriteGzipped(f / "world.dat", Castle);
         MakeScript(f / "gzip.exe", "touch running; exec sleep 600");
       },
       [](ConsoleEditor& e) {
         ASSERT_TRUE(e.Save("world", ReplaceQuestion("world")));
         e.Type("y"), e.Enter();
         for (int i = 0; i < 100 && !fs::exists(e.Path() / "running"); ++i) std::this_thread::sleep_for(100ms);
         e.Key("Escape");
         ASSERT_TRUE(e.Shows(1, 40, Failed));
       },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == Castle);
         EXPECT_EQ(FilesIn(e.Path()), (std::set<std::string>{"world.dat", "gzip.exe", "running"}));
         EXPECT_NE(ReadWholeFile(e.Side() / "errors").find("terrafix: save world: gzip.exe stopped"), std::string::npos);
       }},
      {"a name of 250 characters is replaced like any other", {}, [](const fs::path&) {},
       [&](ConsoleEditor& e) {
         ASSERT_TRUE(e.Save(longName, "File saved as '" + longName.substr(0, 20)));
         e.Type(" ");
         ASSERT_TRUE(e.Save(longName, longName.substr(0, 20)));
         e.Type("y"), e.Enter();
         ASSERT_TRUE(e.Shows(1, 40, "File saved as '" + longName.substr(0, 20)));
       },
       [&](ConsoleEditor& e) { EXPECT_EQ(FilesIn(e.Path()), std::set<std::string>{longName + ".dat"}); }},
      {"a replaced level keeps its mode", {},
       [](const fs::path& f) {
         WriteGzipped(f / "world.dat", Castle);
         chmod((f / "world.dat").c_str(), 0640);
       },
       [](ConsoleEditor& e) {
         ASSERT_TRUE(e.Save("world", ReplaceQuestion("world")));
         e.Type("y"), e.Enter();
         ASSERT_TRUE(e.Shows(1, 40, SavedWorld));
       },
       [](ConsoleEditor& e) {
         struct stat info;
         ASSERT_EQ(stat((e.Path() / "world.dat").c_str(), &info), 0);
         EXPECT_EQ(info.st_mode & 07777, 0640u);
         EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == LevelFile(0));
       }},
      {"with no compressor to run, the whole level stays uncompressed", {.Environment = "PATH=/nonexistent"},
       [](const fs::path&) {}, [](ConsoleEditor& e) { ASSERT_TRUE(e.Save("world", Failed)); },
       [](ConsoleEditor& e) {
         EXPECT_TRUE(ReadWholeFile(e.Path() / "world") == LevelFile(0));
         EXPECT_EQ(FilesIn(e.Path()), std::set<std::string>{"world"});
         EXPECT_NE(ReadWholeFile(e.Side() / "errors").find("terrafix: save world: cannot run"), std::string::npos);
       }},
      {"the editor removes only its own temporaries, never a user's file of a like name", {},
       [](const fs::path& f) {
         WriteWholeFile(f / ".terrafix-notes1", "my notes");
         WriteWholeFile(f / ".terrafix-ABCDEF", "more notes");
         WriteWholeFile(f / ".terrafix-temporary-abcdefghijkl", "notes under a name like the editor's own");
         WriteWholeFile(f / ".terrafix-temporary-mnopqrstuvwx", std::string("\x1f\x8b\x08\0", 4));  // abandoned
       },
       [](ConsoleEditor& e) {
         ASSERT_TRUE(e.Save("world", SavedWorld));
         e.Type(" ");
         ASSERT_TRUE(e.Load("world", MenuLine));
       },
       [](ConsoleEditor& e) {
         EXPECT_EQ(ReadWholeFile(e.Path() / ".terrafix-notes1"), "my notes");
         EXPECT_EQ(ReadWholeFile(e.Path() / ".terrafix-ABCDEF"), "more notes");
         EXPECT_EQ(ReadWholeFile(e.Path() / ".terrafix-temporary-abcdefghijkl"),
                   "notes under a name like the editor's own");
         EXPECT_EQ(FilesIn(e.Path()), (std::set<std::string>{".terrafix-notes1", ".terrafix-ABCDEF",
                                                              ".terrafix-temporary-abcdefghijkl", "world.dat"}));
       }},
      {"a folder with no headers.dat saves with the game's template and makes none", {.CopyTemplate = false},
       [](const fs::path&) {}, [](ConsoleEditor& e) { ASSERT_TRUE(e.Save("world", SavedWorld)); },
       [](ConsoleEditor& e) {
         EXPECT_FALSE(fs::exists(e.Path() / "headers.dat"));
         EXPECT_TRUE(Gunzip(e.Path() / "world.dat") == LevelFile(0));
         // The game's own reader takes it.
         const std::string java = TERRAFIX_JAVA_SOURCES, folder = e.Path().string();
         ASSERT_EQ(std::system(("javac -d '" + folder + "/classes' " + java + "/Level.java " + java +
                                "/ReadLevel.java && gzip -dc '" + folder + "/world.dat' > '" + folder + "/world.raw'")
                                   .c_str()),
                   0);
         const std::string fields = testing::CommandOutput("cd '" + folder +
                                                           "' && java -cp classes com.mojang.minecraft.level.ReadLevel "
                                                           "world.raw blocks.bin");
         EXPECT_EQ(fields.substr(0, fields.find("creator")),
                   "magic=271bb788 version=2\nwidth=256 height=256 depth=64\nblocks=4194304\n");
       }},
      {"a levels folder that cannot be made is said, and no empty template is made",
       {.Environment = "HOME=home", .Arguments = "--desktop", .CopyTemplate = false},
       [](const fs::path& f) { WriteWholeFile(f / "home", "a file where the home folder should be"); },
       [](ConsoleEditor& e) { ASSERT_TRUE(e.Shows(1, 40, std::string(NoLevelsFolderMessage))); },
       [](ConsoleEditor& e) {
         EXPECT_EQ(FilesIn(e.Path()), std::set<std::string>{"home"});
         EXPECT_NE(ReadWholeFile(e.Side() / "errors").find("terrafix: cannot make home/Terrafix"), std::string::npos);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    testing::WorkingFolder folder;
    c.Prepare(folder.Path());
    ConsoleEditor editor(folder.Path(), c.Start);
    ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
    c.Act(editor);
    c.Check(editor);
  }
}

// SIGKILL at instants all through a save and a load: a fresh editor then
// loads the old level or the new one, whole, and nothing of the editor's own
// is left once it has.
TEST(FileSafety, KilledAtAnyInstantOfASaveOrALoad) {
  testing::WorkingFolder folder;
  const fs::path world = folder.Path() / "world.dat";
  WriteGzipped(world, Castle);
  // gzip a little late, so that kills land before it, while it runs and after it.
  MakeScript(folder.Path() / "gzip.exe", "sleep 0.1; exec gzip \"$@\"");
  std::set<std::string> outcomes;
  for (int delay = 0; delay <= 600; delay += 40) {
    SCOPED_TRACE("killed after " + std::to_string(delay) + " ms");
    {
      ConsoleEditor editor(folder.Path(), {});
      ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
      const bool save = delay % 80 == 0;
      if (save) {
        ASSERT_TRUE(editor.Save("world", ReplaceQuestion("world")));
        editor.Type("y"), editor.Enter();
      } else {
        ASSERT_TRUE(editor.Click(1, 46, std::string(LoadPrompt)));
        editor.Type("world"), editor.Enter();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
      const int pid = editor.EditorPid();
      ASSERT_GT(pid, 0);
      kill(pid, SIGKILL);
      ASSERT_TRUE(editor.Ended());
    }
    ConsoleEditor fresh(folder.Path(), {});
    ASSERT_TRUE(fresh.Shows(1, 1, "Terrafix v0.5"));
    ASSERT_TRUE(fresh.Load("world", MenuLine));
    const std::string level = Gunzip(world);
    EXPECT_TRUE(level == Castle || level == LevelFile(0)) << level.size() << " bytes";
    outcomes.insert(level == Castle ? "old" : "new");
    EXPECT_EQ(FilesIn(folder.Path()), (std::set<std::string>{"world.dat", "gzip.exe"}));
  }
  EXPECT_EQ(outcomes.size(), 2u);  // some kills came before the rename, some after
}

// A name with a folder on another file system (a tmpfs mounted here, as a
// USB stick would be) saves there: the temporaries are made beside the file
// they replace, never in the working folder.
TEST(FileSafety, ASaveToAnotherFileSystem) {
  testing::WorkingFolder folder;
  fs::create_directory("stick");
  if (std::system("mount -t tmpfs -o size=16m tmpfs stick 2>/dev/null") != 0) {
    GTEST_SKIP() << "no rights to mount a tmpfs here";
  }
  {
    ConsoleEditor editor(folder.Path(), {});
    ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
    ASSERT_TRUE(editor.Save("stick/world", "File saved as 'stick/world'"));
    EXPECT_TRUE(Gunzip(folder.Path() / "stick/world.dat") == LevelFile(0));
    EXPECT_EQ(FilesIn(folder.Path() / "stick"), std::set<std::string>{"world.dat"});
    EXPECT_EQ(FilesIn(folder.Path()), std::set<std::string>{"stick"});
  }
  std::system("umount stick");
}

// An ending signal while the compressor runs a Save ends the compressor and
// everything it started (here a program that holds the temporary and
// ignores SIGTERM), removes the command's temporaries and ends the editor as
// the signal would; the level there is the one that was.
TEST(FileSafety, AnEndingSignalDuringASaveLeavesNothingBehind) {
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(strsignal(signal));
    testing::WorkingFolder folder;
    WriteGzipped(folder.Path() / "world.dat", Castle);
    MakeScript(folder.Path() / "gzip.exe", "(trap '' TERM; exec sleep 600) & echo $! > child; touch running; wait");
    ConsoleEditor editor(folder.Path(), {});
    ASSERT_TRUE(editor.Shows(1, 1, "Terrafix v0.5"));
    ASSERT_TRUE(editor.Save("world", ReplaceQuestion("world")));
    editor.Type("y"), editor.Enter();
    for (int i = 0; i < 100 && !fs::exists(folder.Path() / "running"); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(fs::exists(folder.Path() / "running"));
    kill(editor.EditorPid(), signal);
    ASSERT_TRUE(editor.Ended());
    EXPECT_EQ(ReadWholeFile(editor.Side() / "status"), std::to_string(128 + signal) + "\n");
    // The program that held the temporary is gone (or a zombie no one has reaped yet).
    const std::string child = ReadWholeFile(folder.Path() / "child");
    const std::string stat = ReadWholeFile("/proc/" + child.substr(0, child.find('\n')) + "/stat");
    EXPECT_TRUE(stat.empty() || stat.find(") Z ") != std::string::npos) << stat;
    EXPECT_TRUE(Gunzip(folder.Path() / "world.dat") == Castle);
    EXPECT_EQ(FilesIn(folder.Path()), (std::set<std::string>{"world.dat", "gzip.exe", "running", "child"}));
  }
}

}  // namespace
}  // namespace terrafix
