#include "files/load_save_commands.h"

#include <algorithm>
#include <string>

#include "files/compressor.h"
#include "files/level_file.h"
#include "platform/files/byte_files.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

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
  if (!OpenByteFile(name, SaveSlot)) return false;
  WriteLevelFile(SaveSlot, grid, header);
  // A longer file of the same name must not leave its tail behind the trailer.
  CutFileAt(SaveSlot, LevelFileLength);
  return CloseFile(SaveSlot);
}

}  // namespace

void LoadCommand(LevelGrid& grid, HeaderTemplate& header) {
  std::string name = Ask(LoadPrompt);
  if (name.empty()) return;
  // Whatever the compressor makes of name.dat, the file `name` is what loads:
  // one left by an earlier load still loads when name.dat is missing.
  if (Decompress(name) == CannotStart) {
    ShowMessage(CompressorFailureMessage);
    return;
  }
  bool opened = OpenByteFile(name, LoadSlot);
  if (opened) ReadBytesAt(LoadSlot, 0, header.CompareBuffer);
  bool matches = opened && std::equal(header.CompareBuffer.begin(), header.CompareBuffer.begin() + HeaderLength,
                                      header.HeaderBytes.begin());
  if (!matches) {
    CloseFile(LoadSlot);
    ShowMessage(HeaderMismatchMessage);
    return;
  }
  ReadLevelCells(LoadSlot, grid, header);
  CloseFile(LoadSlot);
}

void SaveCommand(const LevelGrid& grid, HeaderTemplate& header) {
  std::string name = Ask(SavePrompt);
  if (name.empty()) return;
  // Only a file written whole is compressed, and only a compressor run that
  // succeeded counts as saved: anything else leaves an existing name.dat as it
  // was and says that the save failed.
  if (!WriteUncompressed(name, grid, header) || Compress(name) != 0) {
    ShowMessage(CompressorFailureMessage);
    return;
  }
  ShowMessage(SavedMessage(name));
}

}  // namespace terrafix
