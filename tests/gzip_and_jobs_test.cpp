// The compressor each command runs (libdeflate-gzip where installed and the
// editor's own reader for loads, gzip alone where not, or the one
// TERRAFIX_COMPRESSOR names), seen through
// stand-ins that log each run and run the real program; and levels
// converted and drawn several at once, which read exactly as one at a time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::CommandOutput;
using testing::ReadWholeFile;

const std::string Binary = TERRAFIX_BINARY;

// A script in `folder` named `name` that logs "name ARGUMENTS" to `log`,
// then runs `program` with them.
void MakeStandIn(const fs::path& folder, const std::string& name, const std::string& program, const fs::path& log) {
  fs::create_directories(folder);
  testing::WriteWholeFile(folder / name, "#!/bin/sh\necho \"" + name + " $*\" >> '" + log.string() + "'\nexec '" +
                                             program + "' \"$@\"\n");
  chmod((folder / name).c_str(), 0755);
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ProgramOnPath(const std::string& name) {
  std::string found = CommandOutput("command -v " + name);
  if (!found.empty() && found.back() == '\n') found.pop_back();
  return found;
}

// A conversion reads the level and writes it through the chosen programs,
// and every choice writes a gzip file of the same level; libdeflate's no
// larger than gzip -6 makes it.
TEST(FastGzip, EachCompressorChosenAsItShouldBeWritesTheSameLevel) {
  testing::WorkingFolder folder;
  const std::string gzip = ProgramOnPath("gzip"), fast = ProgramOnPath("libdeflate-gzip");
  ASSERT_FALSE(gzip.empty() || fast.empty()) << "gzip and libdeflate-tools are installed";
  const fs::path log = folder.Path() / "log", all = folder.Path() / "all", alone = folder.Path() / "alone";
  MakeStandIn(all, "gzip", gzip, log);
  MakeStandIn(all, "libdeflate-gzip", fast, log);
  MakeStandIn(all, "mine", gzip, log);
  MakeStandIn(alone, "gzip", gzip, log);
  fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "level.dat");

  // The same level with zeros after its gzip stream, which gzip takes.
  testing::WriteWholeFile("padded.dat", ReadWholeFile("level.dat") + std::string(1024, '\0'));

  struct Case {
    const char* What;
    std::string Environment, Level;
    std::vector<std::string> Runs;  // the start of each line logged
    unsigned char WrittenBy;        // the gzip header's system byte: libdeflate's 255, gzip's 3
  };
  const std::string withAll = "PATH='" + all.string() + "':\"$PATH\"";
  const Case cases[] = {
      // gzip reads the start, the editor (libdeflate) the rest.
      {"libdeflate", withAll, "level.dat", {"gzip -d -c level.dat", "libdeflate-gzip -7 -c "}, 255},
      // What libdeflate leaves undecided, gzip reads again.
      {"libdeflate, then gzip", withAll, "padded.dat",
       {"gzip -d -c padded.dat", "gzip -d -c padded.dat", "libdeflate-gzip -7 -c "}, 255},
      {"gzip alone", "PATH='" + alone.string() + "'", "level.dat", {"gzip -d -c level.dat", "gzip -c -n "}, 3},
      {"the one named", "TERRAFIX_COMPRESSOR=mine " + withAll, "level.dat", {"mine -d -c level.dat", "mine -c -n "}, 3},
  };
  std::string level;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    fs::remove(log);
    fs::remove("map.lvl");
    ASSERT_EQ(CommandOutput(c.Environment + " '" + Binary + "' --convert " + c.Level + " map.lvl 2>&1; echo $?"), "0\n");
    const std::vector<std::string> runs = LinesOf(ReadWholeFile(log));
    ASSERT_EQ(runs.size(), c.Runs.size()) << ReadWholeFile(log);
    for (size_t i = 0; i < runs.size(); ++i) EXPECT_TRUE(runs[i].starts_with(c.Runs[i])) << runs[i];
    const std::string file = ReadWholeFile("map.lvl");
    ASSERT_GT(file.size(), 10u);
    EXPECT_EQ(static_cast<unsigned char>(file[9]), c.WrittenBy);
    const std::string cells = testing::Gunzip("map.lvl");
    if (level.empty()) level = cells;
    EXPECT_TRUE(cells == level) << "another level";
    testing::WriteWholeFile("map.raw", cells);
    const size_t gzips = std::stoul(CommandOutput("gzip -6 -n -c map.raw | wc -c"));
    EXPECT_LE(file.size(), gzips) << "larger than gzip -6 makes it";
  }
}

// The conversions and pictures of a folder, several at once: standard error
// and the exit status are those of one at a time, a level that reads what a
// level before it writes waits for it, and a second writer of one output is
// refused as ever.
TEST(Jobs, SeveralAtOnceReadAsOneAtATime) {
  testing::WorkingFolder folder;
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", std::string(name) + ".dat");
  }
  testing::WriteGzipped("notes.lvl", "a text, not a level");
  const std::string conversions = "a.dat a.cw notes.lvl notes.cw a.cw chain.lvl b.dat b.cw missing.lvl m.cw "
                                  "c.dat b.cw chain.lvl chain2.dat d.dat d.lvl e.dat e.cw";
  const std::string pictures = "a.dat notes.lvl b.dat missing.lvl c.dat d.dat";
  struct Run {
    std::string Errors, Status;
    std::vector<std::string> Files;
  };
  auto run = [&](const std::string& arguments, const std::vector<std::string>& outputs) {
    for (const std::string& file : outputs) fs::remove(file);
    Run r;
    r.Status = CommandOutput("'" + Binary + "' " + arguments + " 2>errors; echo $?");
    r.Errors = ReadWholeFile("errors");
    // (A world is written with an identifier and a time of its own: only that it is there.)
    for (const std::string& file : outputs) {
      r.Files.push_back(!fs::exists(file) ? "none" : file.ends_with(".cw") ? "there" : testing::Gunzip(file));
    }
    return r;
  };
  const std::vector<std::string> written = {"a.cw", "chain.lvl", "b.cw", "chain2.dat", "d.lvl", "e.cw"};
  const Run one = run("--convert --jobs 1 " + conversions, written);
  EXPECT_EQ(one.Status, "1\n");
  for (const char* line : {"terrafix: [3/9] a.cw -> chain.lvl\n", "terrafix: notes.lvl: ",
                           "terrafix: missing.lvl: there is no missing.lvl\n",
                           "terrafix: c.dat: b.cw is written by a level before it in this run\n",
                           "terrafix: 3 of 9 levels not converted\n"}) {
    EXPECT_NE(one.Errors.find(line), std::string::npos) << line << " in\n" << one.Errors;
  }
  for (const std::string& cells : one.Files) EXPECT_NE(cells, "none");
  for (const int jobs : {2, 4}) {
    SCOPED_TRACE(jobs);
    const Run several = run("--convert --jobs " + std::to_string(jobs) + " " + conversions, written);
    EXPECT_EQ(several.Status, one.Status);
    EXPECT_EQ(several.Errors, one.Errors);
    EXPECT_TRUE(several.Files == one.Files) << "other levels written";
  }

  const std::vector<std::string> drawn = {"a.png", "b.png", "c.png", "d.png"};
  auto png = [](const std::string& file) { return fs::exists(file) ? ReadWholeFile(file) : "none"; };
  const Run picturesOne = run("--render --jobs 1 " + pictures, {});
  std::vector<std::string> firstPictures;
  for (const std::string& file : drawn) firstPictures.push_back(png(file));
  EXPECT_EQ(picturesOne.Status, "1\n");
  EXPECT_NE(picturesOne.Errors.find("terrafix: 2 of 6 pictures not drawn\n"), std::string::npos) << picturesOne.Errors;
  for (const std::string& file : drawn) fs::remove(file);
  const Run picturesThree = run("--render --jobs 3 " + pictures, {});
  EXPECT_EQ(picturesThree.Status, picturesOne.Status);
  EXPECT_EQ(picturesThree.Errors, picturesOne.Errors);
  for (size_t i = 0; i < drawn.size(); ++i) {
    EXPECT_NE(png(drawn[i]), "none");
    EXPECT_TRUE(png(drawn[i]) == firstPictures[i]) << drawn[i];
  }

  EXPECT_EQ(CommandOutput("'" + Binary + "' --convert --jobs 0 a.dat z.cw 2>&1 >/dev/null | head -n 1"),
            "terrafix: --jobs takes 1 to 1024, not '0'\n");
  EXPECT_EQ(CommandOutput("'" + Binary + "' --render a.dat --jobs 2>&1 >/dev/null | head -n 1"),
            "terrafix: --jobs needs the number of levels to work on at once\n");
}

bool TemporariesIn(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".terrafix-temporary-")) return true;
  }
  return false;
}

// SIGTERM or SIGINT to a run of several levels at once reaches each level
// under way: every one stops, removes its temporaries and writes nothing,
// and the run ends as the signal ends it.
TEST(Jobs, AnEndingSignalStopsEveryLevelUnderWay) {
  testing::WorkingFolder folder;
  // Two maps of 1024 x 1024 x 64 cells of noise, which take a while to write.
  const std::string header = "printf '\\122\\007\\000\\004\\000\\004\\100\\000\\000\\000\\000\\000\\000\\000\\000\\000\\000\\000'";
  for (const char* name : {"one", "two"}) {
    ASSERT_EQ(std::system(("(" + header + "; head -c 67108864 /dev/urandom) | gzip -1 > " + name + ".lvl").c_str()), 0);
  }
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const pid_t run = fork();
    if (run == 0) {
      execl(Binary.c_str(), Binary.c_str(), "--convert", "--jobs", "2", "one.lvl", "two.lvl", "--to", "cw", nullptr);
      _exit(127);
    }
    for (int i = 0; i < 1000 && !TemporariesIn("."); ++i) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(TemporariesIn(".")) << "the levels were being written";
    kill(run, signal);
    int status = 0;
    waitpid(run, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    // Nothing of either level is left, nor written later by a job still running.
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(TemporariesIn("."));
    EXPECT_FALSE(fs::exists("one.cw") || fs::exists("two.cw"));
  }
}

}  // namespace
}  // namespace terrafix
