// The command line and the terminal used as a hostile user would: the
// template never written however its path is spelled, formats that cannot
// hold a level refusing it, one output never written twice by one run,
// endings in any letter case, unrelated files left alone, what a killed
// command left cleared by the next, a gzip bomb held to the level it
// promises, and messages and questions that say what happened and leave
// nothing of what stood before them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "console_editor.h"
#include "files/load_save_commands.h"
#include "formats/server_map.h"
#include "platform/text/number_text.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::CommandOutput;
using testing::ConsoleEditor;
using testing::ConsoleStart;
using testing::ReadWholeFile;

const std::string Binary = TERRAFIX_BINARY;

// A server map's 18-byte header, little-endian: the identifier, the size,
// a spawn of zeros and the permission bytes.
std::string MapHeader(int width, int length, int height) {
  std::string header;
  for (int number : {1874, width, length, height, 0, 0, 0}) {
    header += static_cast<char>(number & 0xFF);
    header += static_cast<char>(number >> 8);
  }
  return header + std::string(4, '\0');
}

// A map of that size whose every cell holds `tile`, and what follows its cells.
void WriteMap(const fs::path& file, int width, int length, int height, char tile, const std::string& after = "") {
  testing::WriteGzipped(file, MapHeader(width, length, height) + std::string(size_t(width) * length * height, tile) + after);
}

// The map's header as printf(1) writes it, for a map made by the shell.
std::string PrintfHeader(int width, int length, int height) {
  std::string text;
  char byte[8];
  for (char c : MapHeader(width, length, height)) {
    std::snprintf(byte, sizeof byte, "\\%03o", static_cast<unsigned char>(c));  // (octal: sh's printf has no \\x)
    text += byte;
  }
  return "printf '" + text + "'";
}

// The exit status of a command line run in the working folder, its standard
// error in the file errors.
int RunProgram(const std::string& arguments) {
  return std::stoi(CommandOutput(Binary + " " + arguments + " 2>errors; echo $?"));
}

bool TemporariesIn(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".terrafix-temporary-")) return true;
  }
  return false;
}

TEST(Hostile, TheTemplateIsNeverATargetHoweverItsPathIsSpelled) {
  testing::WorkingFolder folder;  // with no headers.dat: the editor uses its own
  WriteMap("a.lvl", 8, 8, 8, 1);
  fs::create_directory("sub");
  fs::create_symlink(folder.Path(), "here");
  for (const std::string& out : {folder.Path().string() + "/headers.dat", std::string("sub/../headers.dat"),
                                 std::string("here/headers.dat")}) {
    SCOPED_TRACE(out);
    EXPECT_EQ(RunProgram("--convert a.lvl '" + out + "'"), 1);
    EXPECT_NE(ReadWholeFile("errors").find("headers.dat holds the headers of every level"), std::string::npos)
        << ReadWholeFile("errors");
    EXPECT_FALSE(fs::exists("headers.dat"));
  }
}

// 2048 x 2048 x 512 cells are 2^31: one more than a .cw or a .dat counts.
TEST(Hostile, AFormatThatCannotHoldALevelRefusesItAndTheOthersStillTakeIt) {
  testing::WorkingFolder folder;
  ASSERT_EQ(std::system(("(" + PrintfHeader(2048, 2048, 512) + "; head -c 2147483648 /dev/zero) | gzip -1 > big.lvl").c_str()), 0);
  EXPECT_EQ(RunProgram("--convert big.lvl big.cw big.lvl big.dat"), 1);
  const std::string errors = ReadWholeFile("errors");
  for (const char* format : {"cw", "dat"}) {
    const std::string line = std::string("terrafix: big.lvl: big.") + format + ": 2,147,483,648 cells: more than a ." +
                             format + " holds (2,147,483,647); .lvl holds it\n";
    EXPECT_NE(errors.find(line), std::string::npos) << line << " in\n" << errors;
  }
  EXPECT_FALSE(fs::exists("big.cw") || fs::exists("big.dat"));
  EXPECT_FALSE(TemporariesIn("."));
}

TEST(Hostile, TwoLevelsOfOneRunNeverWriteOneOutput) {
  testing::WorkingFolder folder;
  WriteMap("a.lvl", 8, 8, 8, 2);
  WriteMap("a.dat", 8, 8, 8, 3);  // a map under the game's ending: told by its content
  for (const std::string force : {"--force ", ""}) {
    SCOPED_TRACE(force);
    fs::remove("a.cw");
    EXPECT_EQ(RunProgram("--convert " + force + "a.lvl a.dat --to cw"), 1);
    EXPECT_NE(ReadWholeFile("errors").find("terrafix: a.dat: a.cw is written by a level before it in this run\n"),
              std::string::npos)
        << ReadWholeFile("errors");
    ASSERT_EQ(RunProgram("--convert --force a.cw check.lvl"), 0);
    EXPECT_EQ(testing::Gunzip("check.lvl").substr(18), std::string(512, '\2')) << "the first level's cells";
  }
}

TEST(Hostile, EndingsInAnyLetterCase) {
  testing::WorkingFolder folder;
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  WriteMap("MAP.LVL", 8, 8, 8, 4);
  EXPECT_EQ(RunProgram("--convert MAP.LVL m.cw MAP.LVL OUT.CW"), 0) << ReadWholeFile("errors");
  EXPECT_TRUE(fs::exists("m.cw") && fs::exists("OUT.CW"));
  EXPECT_FALSE(fs::exists("OUT.cw"));
  EXPECT_EQ(RunProgram("--convert MAP.LVL --to CW"), 0) << ReadWholeFile("errors");
  EXPECT_TRUE(fs::exists("MAP.cw"));
  EXPECT_EQ(RunProgram("--render MAP.LVL"), 0) << ReadWholeFile("errors");
  EXPECT_TRUE(fs::exists("MAP.png"));

  // As a file manager starts it: the map opens, and saves back as it was.
  ConsoleEditor editor(folder.Path(), ConsoleStart{.Arguments = "MAP.LVL", .CopyTemplate = false});
  ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
  ASSERT_TRUE(editor.Save("copy.lvl", "File saved as 'copy'"));
  EXPECT_EQ(testing::Gunzip("copy.lvl").substr(18), std::string(512, '\4'));
}

TEST(Hostile, AnUnrelatedFileRefusesNoOutput) {
  testing::WorkingFolder folder;
  WriteMap("a.lvl", 8, 8, 8, 5);
  fs::create_directory("castle");
  testing::WriteWholeFile("notes", "my own notes\n");
  EXPECT_EQ(RunProgram("--convert a.lvl castle.cw a.lvl notes.lvl"), 0) << ReadWholeFile("errors");
  EXPECT_TRUE(fs::exists("castle.cw") && fs::exists("notes.lvl"));
  EXPECT_EQ(ReadWholeFile("notes"), "my own notes\n");
  // Only a level of the game's format has an uncompressed file beside it that it may replace.
  EXPECT_EQ(RunProgram("--convert a.lvl notes.dat"), 1);
  EXPECT_NE(ReadWholeFile("errors").find("is not a level"), std::string::npos) << ReadWholeFile("errors");
  EXPECT_EQ(ReadWholeFile("notes"), "my own notes\n");
}

// A conversion killed while it writes leaves its temporaries; the next
// command in that folder, a conversion or a picture, clears them.
TEST(Hostile, WhatAKilledCommandLeftGoesAtTheNextOne) {
  testing::WorkingFolder folder;
  ASSERT_EQ(std::system(("(" + PrintfHeader(1024, 1024, 64) + "; head -c 67108864 /dev/urandom) | gzip -1 > big.lvl").c_str()), 0);
  WriteMap("a.lvl", 8, 8, 8, 1);
  const pid_t converting = fork();
  if (converting == 0) {
    execl(Binary.c_str(), Binary.c_str(), "--convert", "big.lvl", "big.cw", nullptr);
    _exit(127);
  }
  for (int i = 0; i < 600 && !TemporariesIn("."); ++i) std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(TemporariesIn(".")) << "the conversion was writing";
  kill(converting, SIGKILL);
  waitpid(converting, nullptr, 0);
  std::this_thread::sleep_for(200ms);  // (its compressor ends with it)
  EXPECT_EQ(RunProgram("--convert a.lvl b.cw"), 0);
  EXPECT_FALSE(TemporariesIn(".")) << "cleared by the next conversion";

  fs::create_directory("pictures");
  testing::WriteWholeFile("pictures/.terrafix-temporary-abcdefghijkl", "");  // as a killed --render leaves it
  EXPECT_EQ(RunProgram("--render a.lvl --out pictures"), 0) << ReadWholeFile("errors");
  EXPECT_FALSE(TemporariesIn("pictures")) << "cleared by the next picture";
}

// The peak memory of a run of the program, in bytes.
size_t PeakMemoryOf(const std::vector<std::string>& arguments) {
  const pid_t child = fork();
  if (child == 0) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return static_cast<size_t>(usage.ru_maxrss) * 1024;
}

// A map whose header promises 1024 x 1024 x 64 cells (64 MiB) and which
// decompresses to 512 MiB of zeros takes no more than its cells, the most a
// map keeps after them and 64 MiB: what decompresses past that is never
// held, and nothing grows by copying. (Under the sanitizers, which shadow
// each byte used with an eighth of a byte more, a run of a tiny map is the
// floor the rest stands on.)
TEST(Hostile, AGzipBombTakesNoMoreThanTheLevelItPromises) {
  testing::WorkingFolder folder;
  ASSERT_EQ(std::system(("(" + PrintfHeader(1024, 1024, 64) + "; head -c 536870912 /dev/zero) | gzip -1 > bomb.lvl").c_str()), 0);
  WriteMap("tiny.lvl", 8, 8, 8, 1);
  const size_t floor = PeakMemoryOf({Binary, "--convert", "tiny.lvl", "tiny.cw"});
  const size_t peak = PeakMemoryOf({Binary, "--convert", "bomb.lvl", "bomb.cw"});
  const size_t cells = size_t{1024} * 1024 * 64, bound = LargestServerMapTrailer(cells);
  const size_t allowed = (cells + bound) / 8 * 9 + (size_t{64} << 20);
  EXPECT_LE(peak, floor + allowed) << "peak " << (peak >> 20) << " MiB, floor " << (floor >> 20) << " MiB";
  EXPECT_FALSE(fs::exists("bomb.cw"));
}

TEST(Hostile, MessagesOfTheCommandLineSayWhatHappened) {
  testing::WorkingFolder folder;
  WriteMap("one.lvl", 8, 8, 8, 1);
  EXPECT_EQ(RunProgram("--convert one.lvl --to"), 2);
  EXPECT_NE(ReadWholeFile("errors").find("terrafix: --to needs a format: dat, cw, lvl or schematic\n"), std::string::npos);

  testing::WriteGzipped("huge.lvl", MapHeader(32767, 32767, 32767));
  EXPECT_EQ(RunProgram("--convert huge.lvl huge.cw"), 1);
  EXPECT_NE(ReadWholeFile("errors").find("huge.lvl: a level of 32767 x 32767 x 32767: it needs "), std::string::npos)
      << ReadWholeFile("errors");
  EXPECT_NE(ReadWholeFile("errors").find(", more than this machine has\n"), std::string::npos);

  // A picture that cannot take its place names the picture, not the level.
  fs::create_directories("pictures/one.png");
  EXPECT_EQ(RunProgram("--render one.lvl --out pictures"), 1);
  EXPECT_NE(ReadWholeFile("errors").find("terrafix: one.lvl: cannot write pictures/one.png: "), std::string::npos)
      << ReadWholeFile("errors");

  // Too large a picture is refused by the size the level starts with, before
  // its cells are read (these are not even there).
  testing::WriteGzipped("wide.lvl", MapHeader(32767, 32767, 1) + "only a few cells");
  EXPECT_EQ(RunProgram("--render wide.lvl --scale 16"), 1);
  EXPECT_NE(ReadWholeFile("errors").find("terrafix: wide.lvl: its picture at scale 16 needs "), std::string::npos)
      << ReadWholeFile("errors");

  // Drawn smaller on request: 64 x 64 x 64 at 1/4 is the picture of 16 x 16 x 16.
  WriteMap("cube.lvl", 64, 64, 64, 1);
  EXPECT_EQ(RunProgram("--render cube.lvl --scale 1/4"), 0) << ReadWholeFile("errors");
  EXPECT_EQ(CommandOutput("identify -format '%w x %h' cube.png"), "72 x 72");  // 2 (16 + 16) and a margin of 4 around
}

TEST(Hostile, MessagesOnRowOneFitItAndQuestionsBlankIt) {
  ConsoleEditor editor;
  ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
  // A map whose sections pass the bound of a map of its size: the message
  // names that bound, and ends within its row.
  const size_t bound = LargestServerMapTrailer(4 * 4 * 4);
  WriteMap(editor.Path() / "sections.lvl", 4, 4, 4, 1, std::string(bound + 100, '\xBD'));
  ASSERT_TRUE(editor.Load("sections.lvl", "A map keeps at most " + WithThousands(bound) +
                                              " bytes after its cells; this one has more than "));
  EXPECT_EQ(editor.At(1, 131, 1), " ");
  EXPECT_EQ(editor.At(2, 1, 47), "Slice editor by the Terrafix authors      x: 0 ") << "the row below is as it was";
  editor.Type(" ");
  // A map cut short says so.
  testing::WriteGzipped(editor.Path() / "short.lvl", MapHeader(4, 4, 4) + std::string(30, '\1'));
  ASSERT_TRUE(editor.Load("short.lvl", CutShortMessage("short.lvl", 4, 4, 4)));
  editor.Type(" ");
  // Saving over a level: the question stands alone on its row.
  ASSERT_TRUE(editor.Save("keep", "File saved as 'keep'"));
  editor.Type(" ");
  ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
  ASSERT_TRUE(editor.Save("keep", ReplaceQuestion("keep")));
  const size_t asked = ReplaceQuestion("keep").size();
  EXPECT_EQ(editor.At(1, 40 + int(asked), 92 - int(asked)), std::string(92 - asked, ' '));
  editor.Type("n");
  editor.Enter();
}

}  // namespace
}  // namespace terrafix
