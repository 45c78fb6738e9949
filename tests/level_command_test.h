// Tests of Load and Save on the in-memory screen: each in a working folder of
// its own with the game's headers.dat, standard input at its end.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "files/load_save_commands.h"
#include "memory_screen.h"

namespace terrafix::testing {

class LevelCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    std::filesystem::copy_file(std::filesystem::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
    ReadHeaderTemplate(Header);
  }
  // Load with the name typed.
  bool Load(const std::string& typed) {
    ScriptKeys(FreshScreen(), typed + "\r");
    return LoadCommand(*Grid, Header);
  }
  // Save with the name typed, then `after`: the answers to its questions
  // and the key that ends its message.
  bool Save(const std::string& typed, const std::string& after = "k") {
    ScriptKeys(FreshScreen(), typed + "\r" + after);
    return SaveCommand(*Grid, Header);
  }
  WorkingFolder Folder;
  HeaderTemplate Header;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
};

}  // namespace terrafix::testing
