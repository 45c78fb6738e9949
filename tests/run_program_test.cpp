#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <span>
#include <string>
#include <vector>

#include "files/compressor.h"
#include "files/gzip_in_memory.h"
#include "memory_screen.h"
#include "platform/programs/run_program.h"

namespace terrafix {
namespace {

void MakeScript(const std::string& name, const std::string& body) {
  testing::WriteWholeFile(name, "#!/bin/sh\n" + body + "\n");
  chmod(name.c_str(), 0755);
}

TEST(RunProgram, ArgumentsArriveAsTheyAreAndTheStatusComesBack) {
  testing::WorkingFolder folder;
  MakeScript("args.sh", "printf '%s|' \"$@\" > seen\nexit 3");
  EXPECT_EQ(RunProgramAndWait("./args.sh", {"-S", ".dat", "two words", "x\"y", ""}), 3);
  EXPECT_EQ(testing::ReadWholeFile("seen"), "-S|.dat|two words|x\"y||");
  EXPECT_EQ(RunProgramAndWait("", {}), -1);
  EXPECT_EQ(RunProgramAndWait("./missing", {}), -1);
  testing::WriteWholeFile("plain", "not a program");
  EXPECT_EQ(RunProgramAndWait("./plain", {}), -1);
  MakeScript("dies.sh", "kill -9 $$");
  EXPECT_EQ(RunProgramAndWait("./dies.sh", {}), 128 + 9);
}

// Output to a file or read into memory, with a limit; a program asked to stop
// is stopped, even one that ignores SIGTERM.
TEST(RunProgram, OutputAndStopping) {
  testing::WorkingFolder folder;
  MakeScript("say.sh", "printf '%s' \"$1\"");
  std::vector<uint8_t> bytes;
  EXPECT_EQ(RunProgramAndWait("./say.sh", {"hello"}, {.Bytes = &bytes, .Limit = 100}), 0);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "hello");
  EXPECT_EQ(RunProgramAndWait("./say.sh", {"hello"}, {.Bytes = &bytes, .Limit = 4}), ProgramOutputTooLong);
  MakeScript("endless.sh", "exec cat /dev/zero");
  EXPECT_EQ(RunProgramAndWait("./endless.sh", {}, {.Bytes = &bytes, .Limit = 1'000'000}), ProgramOutputTooLong);

  const int fd = open("out", O_WRONLY | O_CREAT | O_TRUNC, 0600);
  EXPECT_EQ(RunProgramAndWait("./say.sh", {"to a file"}, {.ToFile = fd}), 0);
  close(fd);
  EXPECT_EQ(testing::ReadWholeFile("out"), "to a file");

  MakeScript("stubborn.sh", "trap '' TERM; sleep 600");
  int asked = 0;
  const ProgramWait wait{nullptr, nullptr, [&] { return ++asked == 3; }};
  EXPECT_EQ(RunProgramAndWait("./stubborn.sh", {}, {}, wait), ProgramStopped);
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(DescribeProgramResult("/usr/bin/gzip", 1), "gzip exited 1");
  EXPECT_EQ(DescribeProgramResult("/usr/bin/gzip", 137), "gzip ended by signal 9");
}

// The folder's gzip.exe only where it is allowed and is a program; names
// reach it as one argument that is never an option.
TEST(Compressor, TheFolderOneOnlyWhenAllowedAndNamesAreNeverOptions) {
  testing::WorkingFolder folder;
  AllowFolderCompressor(true);
  EXPECT_NE(CompressorProgram().find("/gzip"), std::string::npos);
  testing::WriteWholeFile("gzip.exe", "not a program");
  EXPECT_NE(CompressorProgram(), "./gzip.exe");
  MakeScript("gzip.exe", "printf '%s|' \"$@\" >> seen\nexit 7");
  EXPECT_EQ(CompressorProgram(), "./gzip.exe");
  std::vector<uint8_t> bytes;
  EXPECT_EQ(CompressInto("my level", -1), 7);
  EXPECT_EQ(DecompressInto("-f.dat", bytes, 10), 7);
  EXPECT_EQ(testing::ReadWholeFile("seen"), "-c|-n|my level|-d|-c|./-f.dat|");
  AllowFolderCompressor(false);
  EXPECT_NE(CompressorProgram(), "./gzip.exe");
  EXPECT_NE(CompressorProgram().find("/gzip"), std::string::npos);
}

// The reader in memory takes one whole gzip member that fits its room, and
// leaves everything else to gzip, its memory given back.
TEST(Compressor, InMemoryTakesOnlyOneWholeMemberThatFits) {
  if (!CanInflateInMemory()) GTEST_SKIP() << "built without libdeflate";
  testing::WorkingFolder folder;
  auto gzipped = [](const std::string& text) {
    testing::WriteWholeFile("text", text);
    return testing::CommandOutput("gzip -n -c text");
  };
  const std::string level(300000, 'x'), member = gzipped(level);
  struct Case {
    const char* What;
    std::string Compressed;
    size_t Room;
    bool Whole;
  };
  const Case cases[] = {
      {"one member", member, level.size(), true},
      {"one member, room to spare", member, level.size() + 1000, true},
      {"larger than its room", member, level.size() - 1, false},
      {"cut short", member.substr(0, member.size() - 5), level.size(), false},
      {"bytes after its end", member + "junk", level.size(), false},
      {"zeros after its end (gzip's to judge)", member + std::string(8, '\0'), level.size(), false},
      {"two members", member + gzipped("more"), level.size() + 10, false},
      {"no gzip", level, level.size(), false},
      {"nothing", "", level.size(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::vector<uint8_t> bytes(10, 1);
    const std::span<const uint8_t> compressed(reinterpret_cast<const uint8_t*>(c.Compressed.data()), c.Compressed.size());
    EXPECT_EQ(InflateInMemory(compressed, c.Room, bytes), c.Whole);
    if (c.Whole) {
      EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == level);
    } else {
      EXPECT_TRUE(bytes.empty() && bytes.capacity() == 0);
    }
  }
}

}  // namespace
}  // namespace terrafix
