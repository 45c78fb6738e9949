// Kept work when the disk fails it: each call of the file system that
// keeping, finding or removing it makes is made to fail on purpose. Keeping
// then says why and leaves nothing behind in any state folder; finding
// offers nothing and loses nothing; a failed removal leaves the work there.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/kept_work.h"
#include "memory_screen.h"
#include "platform/files/file_failures.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;

// A working folder whose state folders (XDG_STATE_HOME, HOME's and the
// temporary folder's) are all within it.
class KeptWorkFailures : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_STATE_HOME", "HOME", "TMPDIR"}) {
      const char* value = std::getenv(name);
      Saved.push_back({name, value ? value : "", value != nullptr});
    }
    const std::string here = Folder.Path().string();
    setenv("XDG_STATE_HOME", (here + "/state").c_str(), 1);
    setenv("HOME", (here + "/home").c_str(), 1);
    setenv("TMPDIR", (here + "/temporary").c_str(), 1);
    Level.Name = "castle";
    WriteCell(Level, 3, 4, 5, 7);
  }
  void TearDown() override {
    StopFileFailures();
    for (const auto& [name, value, set] : Saved) set ? setenv(name.c_str(), value.c_str(), 1) : unsetenv(name.c_str());
  }
  // The files (not folders) in all of the state folders.
  std::vector<std::string> FilesLeft() const {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(Folder.Path())) {
      if (entry.is_regular_file()) files.push_back(entry.path().filename().string());
    }
    return files;
  }
  struct Variable {
    std::string Name, Value;
    bool Set;
  };
  std::vector<Variable> Saved;
  testing::WorkingFolder Folder;
  HeaderTemplate Header;
  terrafix::Level Level;
};

TEST_F(KeptWorkFailures, KeepingThatFailsSaysWhyAndLeavesNothing) {
  struct Case {
    FileCall Call;
    int Error;
    std::string Why;
  };
  const Case cases[] = {
      {FileCall::MakeFolder, EACCES, "no state folder can be made"},
      {FileCall::Create, EACCES, "Permission denied"},
      {FileCall::Write, ENOSPC, "write: No space left on device"},
      {FileCall::Sync, EIO, "fsync: Input/output error"},
      {FileCall::Rename, EXDEV, "rename: Invalid cross-device link"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Why);
    FailFileCalls(c.Call, c.Error);
    std::string where, why;
    EXPECT_FALSE(KeepWork(Level, Header, where, why));
    EXPECT_EQ(why, c.Why);
    EXPECT_EQ(FilesLeft(), std::vector<std::string>{}) << "in no state folder";
    StopFileFailures();
  }
  // The first folder failing, the next one takes the work.
  FailFileCalls(FileCall::Write, ENOSPC, 0, 1);
  std::string where, why;
  ASSERT_TRUE(KeepWork(Level, Header, where, why)) << why;
  EXPECT_TRUE(where.starts_with((Folder.Path() / "home/.local/state/terrafix/unsaved-").string())) << where;
  EXPECT_EQ(FilesLeft(), std::vector<std::string>{fs::path(where).filename().string()});
}

TEST_F(KeptWorkFailures, WorkThatCannotBeReadOrRemovedIsNeitherOfferedNorLost) {
  std::string where, why;
  ASSERT_TRUE(KeepWork(Level, Header, where, why)) << why;

  FailFileCalls(FileCall::Read, EIO);
  EXPECT_TRUE(FindKeptWork().empty()) << "nothing can be read: nothing is offered";
  StopFileFailures();
  std::vector<KeptWork> found = FindKeptWork();
  ASSERT_EQ(found.size(), 1u) << "and it was not lost";
  EXPECT_EQ(found[0].Level, "castle");
  ASSERT_TRUE(TakeKeptWork(found[0]));
  terrafix::Level read;
  ASSERT_TRUE(ReadKeptWork(found[0], read, Header, why)) << why;
  EXPECT_EQ(ReadCell(read, 3, 4, 5), 7);

  FailFileCalls(FileCall::Remove, EROFS);
  RemoveKeptWork(found[0]);
  StopFileFailures();
  EXPECT_EQ(FindKeptWork().size(), 1u) << "a removal that failed leaves the work";
  found = FindKeptWork();
  RemoveKeptWork(found[0]);
  EXPECT_TRUE(FindKeptWork().empty());
}

}  // namespace
}  // namespace terrafix
