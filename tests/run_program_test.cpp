#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/compressor.h"
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

}  // namespace
}  // namespace terrafix
