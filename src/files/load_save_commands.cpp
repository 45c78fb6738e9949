#include "files/load_save_commands.h"

#include <algorithm>
#include <string>

#include "files/level_file.h"
#include "files/level_follower.h"
#include "platform/byte_files.h"
#include "platform/line_input.h"
#include "platform/run_program.h"
#include "platform/screen.h"

namespace terrafix {

namespace {

constexpr int LoadSlot = 1;
constexpr int SaveSlot = 2;
constexpr int QuestionRow = 1, QuestionColumn = 40;
constexpr int CannotStart = -1;

std::string Ask(std::string_view prompt) {
  SetTextCursor(QuestionRow, QuestionColumn);
  return InputLine(prompt);
}

void ShowMessage(std::string_view message) {
  SetTextCursor(QuestionRow, QuestionColumn);
  PrintText(message, PrintEnding::LineBreak);
  WaitForKey();
}

std::string SavedMessage(const std::string& name) {
  return "File saved as '" + name + "', press any key to continue..." + std::string(28, ' ');
}

// Writes the uncompressed file `name`; false when it did not reach the disk whole.
bool WriteUncompressed(const std::string& name, const LevelGrid& grid, HeaderTemplate& header) {
  if (!OpenByteFile(name, SaveSlot)) {
    DropLevelFileLayout();
    return false;
  }
  WriteLevelFile(SaveSlot, grid, header);
  // A longer file of the same name must not leave its tail behind the trailer.
  CutFileAt(SaveSlot, LevelFileLength);
  return CloseFile(SaveSlot);
}

}  // namespace

void LoadCommand(LevelGrid& grid, HeaderTemplate& header) {
  std::string name = Ask(LoadPrompt);
  if (name.empty()) return;
  // While the compressor writes the file, the helper reads it and fills the
  // grid; the grid's old cells come back unless that file is the one loaded.
  StartFollowingLevelFile(name, grid, header);
  // Whatever the compressor makes of name.dat, the file `name` is what loads:
  // one left by an earlier load still loads when name.dat is missing.
  if (RunProgramAndWait(Compressor, "-d -S .dat " + name + ".dat") == CannotStart) {
    AbandonFollowedLevelFile();
    ShowMessage(CompressorFailureMessage);
    return;
  }
  bool opened = OpenByteFile(name, LoadSlot);
  if (opened) ReadBytesAt(LoadSlot, 0, header.CompareBuffer);
  bool matches = opened && std::equal(header.CompareBuffer.begin(), header.CompareBuffer.begin() + HeaderLength,
                                      header.HeaderBytes.begin());
  if (!matches) {
    AbandonFollowedLevelFile();
    CloseFile(LoadSlot);
    ShowMessage(HeaderMismatchMessage);
    return;
  }
  if (!FinishFollowedLevelFile(LoadSlot, grid, header)) ReadLevelCells(LoadSlot, grid, header);
  CloseFile(LoadSlot);
}

void SaveCommand(const LevelGrid& grid, HeaderTemplate& header) {
  // Nothing changes the grid while the name is typed: meanwhile the helper
  // lays its cells out for the file.
  LayOutLevelFileAhead(grid);
  std::string name = Ask(SavePrompt);
  if (name.empty()) {
    DropLevelFileLayout();
    return;
  }
  // Only a file written whole is compressed, and only a compressor run that
  // succeeded counts as saved: anything else leaves an existing name.dat as it
  // was and says that the save failed.
  if (!WriteUncompressed(name, grid, header) || RunProgramAndWait(Compressor, "-S .dat " + name) != 0) {
    ShowMessage(CompressorFailureMessage);
    return;
  }
  ShowMessage(SavedMessage(name));
}

}  // namespace terrafix
