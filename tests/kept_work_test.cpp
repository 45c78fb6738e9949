// Unsaved work kept as the editor is ended from outside, through the real
// program in a terminal: every editor's work its own, kept whole or not at
// all, private, always somewhere, and read back only when it is a level.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "console_editor.h"
#include "editor/unsaved_work.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ConsoleEditor;
using testing::ConsoleStart;
using testing::KeptWorkFiles;
using testing::MenuLine;

constexpr int CellsStart = 319, CellsEnd = 4'194'623;

// The cells of a saved level that hold stone.
std::set<int> StoneCells(const fs::path& level) {
  const std::string raw = testing::Gunzip(level);
  std::set<int> cells;
  for (int i = CellsStart; i < CellsEnd && i < static_cast<int>(raw.size()); ++i) {
    if (raw[i] == 1) cells.insert(i - CellsStart);
  }
  return cells;
}
constexpr int CellAt10x10 = 15 * 256 + 21, CellAt10x12 = 15 * 256 + 27;  // top view cells (21, 15), (27, 15)

// An editor of its own that paints stone at text row 10, `column`, with
// its work kept in `state`.
std::unique_ptr<ConsoleEditor> Painter(const fs::path& state, int column) {
  auto editor = std::make_unique<ConsoleEditor>(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.string()});
  EXPECT_TRUE(editor->Shows(1, 1, "Terrafix v0.5"));
  EXPECT_TRUE(editor->Click(60, 101));  // stone
  EXPECT_TRUE(editor->Click(10, column));
  return editor;
}

// Answers the restore question on row 1, waiting for it first.
bool Answer(ConsoleEditor& editor, const std::string& answer) {
  if (!editor.Shows(1, 40, "Unsaved work in ")) return false;
  editor.Type(answer);
  editor.Enter();
  return true;
}

// Two editors ended together (as at a logout) or one after the other each
// keep their own work, and the next starts offer both back, cell for cell,
// one a start, newest first. A restored level's kept work stays until the
// level is saved: an editor killed before then offers it again.
TEST(KeptWork, TwoEditorsEndedTogetherOrOneAfterTheOtherAreBothOfferedBack) {
  for (const bool together : {true, false}) {
    SCOPED_TRACE(together ? "together" : "one after the other");
    testing::WorkingFolder state;
    {
      auto first = Painter(state.Path(), 10);
      auto second = Painter(state.Path(), 12);
      kill(first->EditorPid(), SIGHUP);
      if (!together) {
        ASSERT_TRUE(first->Ended());
      }
      kill(second->EditorPid(), SIGHUP);
      ASSERT_TRUE(first->Ended());
      ASSERT_TRUE(second->Ended());
      EXPECT_NE(testing::ReadWholeFile(second->Side() / "errors").find("terrafix: unsaved work kept in "),
                std::string::npos);
    }
    ASSERT_EQ(KeptWorkFiles(state.Path()).size(), 2u);
    std::set<std::set<int>> restored;
    {
      ConsoleEditor killed(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
      ASSERT_TRUE(Answer(killed, "y"));  // the newest, then nothing more this start
      ASSERT_TRUE(killed.Shows(1, 40, MenuLine));
      EXPECT_EQ(KeptWorkFiles(state.Path()).size(), 2u) << "kept until its level is saved";
      kill(killed.EditorPid(), SIGKILL);
      ASSERT_TRUE(killed.Ended());
    }
    ASSERT_EQ(KeptWorkFiles(state.Path()).size(), 2u);
    for (int start = 0; start < 2; ++start) {
      ConsoleEditor next(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
      ASSERT_TRUE(Answer(next, "y"));
      ASSERT_TRUE(next.Shows(1, 40, MenuLine));
      ASSERT_TRUE(next.Save("restored", "File saved as 'restored'"));
      restored.insert(StoneCells(next.Path() / "restored.dat"));
      EXPECT_EQ(KeptWorkFiles(state.Path()).size(), 1u - start) << "saved: its kept work goes";
    }
    EXPECT_EQ(restored, (std::set<std::set<int>>{{CellAt10x10}, {CellAt10x12}}));
  }
}

// n keeps the offer for the next start (and nothing else is offered this
// one); a second n removes it.
TEST(KeptWork, DeclinedOnceItIsOfferedAgainTwiceItGoes) {
  testing::WorkingFolder state;
  {
    auto painter = Painter(state.Path(), 10);
    kill(painter->EditorPid(), SIGHUP);
    ASSERT_TRUE(painter->Ended());
  }
  for (int start = 0; start < 2; ++start) {
    ConsoleEditor next(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
    ASSERT_TRUE(Answer(next, "n"));
    ASSERT_TRUE(next.Shows(1, 40, MenuLine));
    EXPECT_EQ(KeptWorkFiles(state.Path()).size(), 1u - start);
  }
}

// Two editors started together never offer the same kept work: the one that
// offers it first has it, the other passes it over.
TEST(KeptWork, TwoEditorsStartedTogetherOfferItOnce) {
  testing::WorkingFolder state;
  {
    auto painter = Painter(state.Path(), 10);
    kill(painter->EditorPid(), SIGHUP);
    ASSERT_TRUE(painter->Ended());
  }
  ASSERT_EQ(KeptWorkFiles(state.Path()).size(), 1u);
  ConsoleEditor first(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
  ASSERT_TRUE(first.Shows(1, 40, "Unsaved work in "));
  ConsoleEditor second(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
  ASSERT_TRUE(second.Shows(1, 1, "Terrafix v0.5"));
  EXPECT_TRUE(second.Shows(1, 40, MenuLine)) << "passed over while the first offers it";
  first.Type("y");
  first.Enter();
  ASSERT_TRUE(first.Shows(1, 40, MenuLine));
  ASSERT_TRUE(first.Save("restored", "File saved as 'restored'"));
  EXPECT_EQ(StoneCells(first.Path() / "restored.dat"), std::set<int>{CellAt10x10});
  EXPECT_TRUE(KeptWorkFiles(state.Path()).empty());
}

// Kept work whose level is not a level (or not even compressed) is refused
// with a message, changes nothing, stays for the user and is never offered
// again.
TEST(KeptWork, KeptWorkThatIsNotALevelIsRefusedAndLeftInPlace) {
  struct Case {
    const char* What;
    std::function<std::string()> Level;  // what follows the note
  };
  const Case cases[] = {
      {"gzip, but not a level",
       [] {
         testing::WriteGzipped("text.gz", "a shopping list, not a level");
         return testing::ReadWholeFile("text.gz");
       }},
      {"not gzip", [] { return std::string("this is not compressed at all"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    testing::WorkingFolder state;
    fs::create_directory(state.Path() / "terrafix");
    const fs::path kept = state.Path() / "terrafix/unsaved-1765390200-42.kept";
    testing::WriteWholeFile(kept, "Terrafix kept work\ntime 1765390200\nfolder /nowhere\nlevel castle\n" +
                                      std::string(1, '\0') + c.Level());
    const std::string before = testing::ReadWholeFile(kept);
    {
      ConsoleEditor editor(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
      ASSERT_TRUE(editor.Shows(1, 40, "Unsaved work of 'castle' in /nowhere from "));
      editor.Type("y");
      editor.Enter();
      const std::string message = UnreadableKeptWorkMessage(1765390200, (state.Path() / "terrafix").string());
      ASSERT_TRUE(editor.Shows(1, 40, message.substr(0, 60)));
      EXPECT_EQ(editor.At(2, 40, 36), "   x: 0          y: 0          z: 0 ");  // row 2 untouched
      editor.Type(" ");
      ASSERT_TRUE(editor.Shows(1, 40, MenuLine));
      ASSERT_TRUE(editor.Save("world", "File saved as 'world'"));
      EXPECT_EQ(testing::Gunzip(editor.Path() / "world.dat").substr(0, 4), "\x27\x1B\xB7\x88") << "the template kept";
      EXPECT_TRUE(StoneCells(editor.Path() / "world.dat").empty()) << "the level kept";
      EXPECT_NE(testing::ReadWholeFile(editor.Side() / "errors").find("could not be read"), std::string::npos);
    }
    EXPECT_TRUE(KeptWorkFiles(state.Path()).empty()) << "never offered again";
    EXPECT_EQ(testing::ReadWholeFile(state.Path() / "terrafix/unsaved-1765390200-42.unreadable"), before);
    ConsoleEditor again(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
    ASSERT_TRUE(again.Shows(1, 1, "Terrafix v0.5"));
    EXPECT_TRUE(again.Shows(1, 40, MenuLine));
  }
}

// Killed at any instant of keeping its work, the editor leaves a whole kept
// level with its note or nothing: the next start offers that level, cell for
// cell, or nothing, and clears whatever was half written.
TEST(KeptWork, KilledWhileKeepingLeavesAWholeKeptLevelOrNothing) {
  std::set<std::string> outcomes;
  for (int delay = 0; delay <= 1000; delay += 200) {
    SCOPED_TRACE("killed after " + std::to_string(delay) + " ms");
    testing::WorkingFolder state;
    testing::WorkingFolder folder;
    // The folder's own compressor, a little slow to start, keeps the level.
    // (Its pause holds nothing of the editor's: a kill leaves no process behind with a temporary.)
    testing::WriteWholeFile(folder.Path() / "gzip.exe", "#!/bin/sh\nsleep 0.4 >/dev/null; exec gzip \"$@\"\n");
    chmod((folder.Path() / "gzip.exe").c_str(), 0755);
    {
      ConsoleEditor painter(folder.Path(), ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
      ASSERT_TRUE(painter.Shows(1, 1, "Terrafix v0.5"));
      ASSERT_TRUE(painter.Click(60, 101));
      ASSERT_TRUE(painter.Click(10, 10));
      const int pid = painter.EditorPid();
      kill(pid, SIGTERM);
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
      kill(pid, SIGKILL);
      ASSERT_TRUE(painter.Ended());
    }
    ConsoleEditor next(ConsoleStart{.Environment = "XDG_STATE_HOME=" + state.Path().string()});
    ASSERT_TRUE(next.Shows(1, 1, "Terrafix v0.5"));
    for (int i = 0; i < 50 && next.At(1, 40, 12) != "Unsaved work" && next.At(1, 40, 25) != MenuLine; ++i) {
      std::this_thread::sleep_for(100ms);
    }
    if (next.At(1, 40, 12) == "Unsaved work") {
      outcomes.insert("kept");
      ASSERT_TRUE(Answer(next, "y"));
      ASSERT_TRUE(next.Save("restored", "File saved as 'restored'"));
      EXPECT_EQ(StoneCells(next.Path() / "restored.dat"), std::set<int>{CellAt10x10});
    } else {
      outcomes.insert("nothing");
      ASSERT_EQ(next.At(1, 40, 25), MenuLine);
    }
    std::set<std::string> left;
    std::error_code none;  // killed before the folder was made: nothing
    for (const auto& e : fs::directory_iterator(state.Path() / "terrafix", none)) left.insert(e.path().filename());
    EXPECT_TRUE(left.empty()) << *left.begin() << " and " << left.size() - 1 << " more left behind";
  }
  EXPECT_EQ(outcomes.size(), 2u) << "kills came both before the kept level was in place and after";
}

// The state folder and the kept work are the user's alone; where
// $XDG_STATE_HOME cannot be used, ~/.local/state is, and where neither can,
// a private folder in the system's temporary folder, which standard error
// names.
TEST(KeptWork, KeptWorkIsPrivateAndAlwaysHasAPlace) {
  struct Case {
    const char* What;
    std::function<void(const fs::path&)> Prepare;  // in the test's folder
    std::string Environment;
    const char* KeptIn;  // the state folder used, from the test's folder
  };
  const std::string uid = std::to_string(getuid());
  const Case cases[] = {
      {"XDG_STATE_HOME usable", [](const fs::path&) {}, "XDG_STATE_HOME=$T/state HOME=$T/home", "state"},
      {"XDG_STATE_HOME a file", [](const fs::path& t) { testing::WriteWholeFile(t / "state", "a file"); },
       "XDG_STATE_HOME=$T/state HOME=$T/home", "home/.local/state"},
      {"XDG_STATE_HOME a dangling link", [](const fs::path& t) { fs::create_symlink(t / "gone", t / "state"); },
       "XDG_STATE_HOME=$T/state HOME=$T/home", "home/.local/state"},
      {"neither usable",
       [](const fs::path& t) {
         testing::WriteWholeFile(t / "state", "a file");
         testing::WriteWholeFile(t / "home", "a file");
         fs::create_directory(t / "tmp");
       },
       "XDG_STATE_HOME=$T/state HOME=$T/home TMPDIR=$T/tmp", "tmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    testing::WorkingFolder test;
    c.Prepare(test.Path());
    std::string environment = c.Environment;
    for (size_t at; (at = environment.find("$T")) != std::string::npos;) environment.replace(at, 2, test.Path());
    const fs::path stateFolder = test.Path() / c.KeptIn;
    const fs::path folder = std::string(c.KeptIn) == "tmp" ? stateFolder / ("terrafix-" + uid) : stateFolder / "terrafix";
    {
      auto painter = std::make_unique<ConsoleEditor>(ConsoleStart{.Environment = environment});
      ASSERT_TRUE(painter->Shows(1, 1, "Terrafix v0.5"));
      ASSERT_TRUE(painter->Click(60, 101));
      ASSERT_TRUE(painter->Click(10, 10));
      kill(painter->EditorPid(), SIGHUP);
      ASSERT_TRUE(painter->Ended());
      EXPECT_NE(testing::ReadWholeFile(painter->Side() / "errors").find("unsaved work kept in " + folder.string() + "/"),
                std::string::npos)
          << testing::ReadWholeFile(painter->Side() / "errors");
    }
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::vector<fs::path> kept;
    for (const auto& e : fs::directory_iterator(folder)) kept.push_back(e.path());
    ASSERT_EQ(kept.size(), 1u);
    ASSERT_EQ(stat(kept[0].c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ConsoleEditor next(ConsoleStart{.Environment = environment});
    ASSERT_TRUE(Answer(next, "y"));
    ASSERT_TRUE(next.Save("restored", "File saved as 'restored'"));
    EXPECT_EQ(StoneCells(next.Path() / "restored.dat"), std::set<int>{CellAt10x10});
  }
}

}  // namespace
}  // namespace terrafix
