#include <gtest/gtest.h>

#include <sys/stat.h>

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

TEST(Compressor, TheLocalOneElseTheSystemGzipAndNamesAreNeverOptions) {
  testing::WorkingFolder folder;
  EXPECT_NE(CompressorProgram().find("/gzip"), std::string::npos);
  MakeScript("gzip.exe", "printf '%s|' \"$@\" >> seen\nexit 7");
  EXPECT_EQ(CompressorProgram(), "./gzip.exe");
  EXPECT_EQ(Compress("my level"), 7);
  EXPECT_EQ(Decompress("-f"), 7);
  EXPECT_EQ(testing::ReadWholeFile("seen"), "-S|.dat|my level|-d|-S|.dat|./-f.dat|");
}

}  // namespace
}  // namespace terrafix
