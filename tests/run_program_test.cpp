#include <gtest/gtest.h>

#include <sys/stat.h>

#include "memory_screen.h"
#include "platform/run_program.h"

namespace terrafix {
namespace {

TEST(SplitArguments, AsTheWindowsRuntimeSplitsACommandLine) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"-d -S .dat world.dat", V{"-d", "-S", ".dat", "world.dat"}},
      {"-S .dat my level", V{"-S", ".dat", "my", "level"}},
      {"  a\t b  ", V{"a", "b"}},
      {"", V{}},
      {"\"my level\".dat", V{"my level.dat"}},
      {"a\"b c\"d", V{"ab cd"}},
      {"\"\"", V{""}},
      {"\"a\"\"b\"", V{"a\"b"}},
      {"a\\\"b", V{"a\"b"}},
      {"a\\\\\"b c\"", V{"a\\b c"}},
      {"a\\b\\\\c", V{"a\\b\\\\c"}},
      {"\"unclosed quote", V{"unclosed quote"}},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(SplitArguments(line), expected) << "line [" << line << "]";
}

TEST(RunProgram, StartsOnlyFromTheWorkingDirectory) {
  testing::WorkingFolder folder;
  testing::WriteWholeFile("args.sh", "#!/bin/sh\nprintf '%s|' \"$@\" > seen\nexit 3\n");
  chmod("args.sh", 0755);
  EXPECT_EQ(RunProgramAndWait("args.sh", "-S .dat \"two words\" x\\\"y"), 3);
  EXPECT_EQ(testing::ReadWholeFile("seen"), "-S|.dat|two words|x\"y|");
  // On the search path but not here: cannot start.
  EXPECT_EQ(RunProgramAndWait("sh", "-c true"), -1);
  EXPECT_EQ(RunProgramAndWait("", ""), -1);
  testing::WriteWholeFile("plain", "not a program");
  EXPECT_EQ(RunProgramAndWait("plain", ""), -1);
  testing::WriteWholeFile("dies.sh", "#!/bin/sh\nkill -9 $$\n");
  chmod("dies.sh", 0755);
  EXPECT_EQ(RunProgramAndWait("dies.sh", ""), 128 + 9);
}

TEST(RunProgram, CompressorIsTheLocalOneElseTheSystemGzip) {
  testing::WorkingFolder folder;
  std::string system = ResolveProgram("gzip.exe");
  EXPECT_NE(system.find("/gzip"), std::string::npos);
  testing::WriteWholeFile("gzip.exe", "#!/bin/sh\nexit 7\n");
  chmod("gzip.exe", 0755);
  EXPECT_EQ(ResolveProgram("gzip.exe"), "./gzip.exe");
  EXPECT_EQ(RunProgramAndWait("gzip.exe", "-S .dat x"), 7);
}

}  // namespace
}  // namespace terrafix
