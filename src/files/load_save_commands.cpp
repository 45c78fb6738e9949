// Load and Save never lose a level and never report what did not happen:
// - the typed name stands for one level (world and world.dat alike) and
//   reaches the compressor as one file name, never as an option;
// - names that would write over the header template, through a link, or over
//   a file that is not a level are refused with a message;
// - whatever the compressor would replace is first moved aside, and put back
//   if the command fails, so the compressor never has to ask and an earlier
//   level stays whole until a new one has taken its place;
// - a save counts only when the compressor ended well and left name.dat in
//   place of name, and then reaches the disk before it says so; a load with
//   name.dat there counts only when the compressor ended well.
#include "files/load_save_commands.h"

#include <algorithm>

#include "files/compressor.h"
#include "files/kept_aside.h"
#include "files/level_file.h"
#include "files/level_names.h"
#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"
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

// Whether the command may not use the name; if so, after saying why.
bool Refused(const LevelName& level, bool writesOverUncompressed) {
  switch (RefusalOf(level, writesOverUncompressed)) {
    case NameRefusal::None: return false;
    case NameRefusal::HeaderTemplate: ShowMessage(TemplateNameMessage); break;
    case NameRefusal::NotAPlainFile: ShowMessage(NotAPlainFileMessage); break;
    case NameRefusal::NotALevelFile: ShowMessage(NotALevelFileMessage); break;
  }
  return true;
}

bool Exists(const std::string& name) { return KindOfFile(name) != FileKind::Missing; }

// Writes the uncompressed level file `name`; false when it did not reach the file whole.
bool WriteUncompressed(const std::string& name, const LevelGrid& grid, HeaderTemplate& header) {
  if (!OpenByteFile(name, SaveSlot)) return false;
  WriteLevelFile(SaveSlot, grid, header);
  return CloseFile(SaveSlot);
}

// The file `name` opened, checked against the template and, when it matches,
// read into the grid and the template (and true).
bool ReadLevel(const std::string& name, LevelGrid& grid, HeaderTemplate& header) {
  const bool opened = OpenByteFile(name, LoadSlot);
  if (opened) ReadBytesAt(LoadSlot, 0, header.CompareBuffer);
  const bool matches = opened && std::equal(header.CompareBuffer.begin(), header.CompareBuffer.begin() + HeaderLength,
                                            header.HeaderBytes.begin());
  if (matches) ReadLevelCells(LoadSlot, grid, header);
  CloseFile(LoadSlot);
  if (!matches) ShowMessage(HeaderMismatchMessage);
  return matches;
}

}  // namespace

std::string ReplaceQuestion(std::string_view shownName) {
  return std::string(shownName) + ".dat exists. Replace it? (y/n) ";
}

bool LoadCommand(LevelGrid& grid, HeaderTemplate& header) {
  const LevelName level = NameOfLevel(Ask(LoadPrompt));
  if (level.File.empty()) return false;
  // The uncompressed file is written over only when there is name.dat to decompress.
  const bool compressedThere = Exists(level.Compressed());
  if (Refused(level, compressedThere)) return false;
  if (!compressedThere) {
    // Nothing to decompress: the file `name` left by an earlier load still loads.
    if (Decompress(level.File) != CannotStart) return ReadLevel(level.File, grid, header);
    ShowMessage(CompressorFailureMessage);
    return false;
  }
  // The editor's own leftover `name` makes way for the decompressed one.
  KeptAside leftover;
  if (!KeepAside(level.File, leftover)) {
    ShowMessage(CompressorFailureMessage);
    return false;
  }
  if (Decompress(level.File) != 0) {
    // name.dat is still the level; what the compressor left half written goes.
    if (KindOfFile(level.Compressed()) == FileKind::Regular) PutBack(leftover);
    ShowMessage(CompressorFailureMessage);
    return false;
  }
  DropKept(leftover);
  return ReadLevel(level.File, grid, header);
}

void SaveCommand(const LevelGrid& grid, HeaderTemplate& header) {
  const LevelName level = NameOfLevel(Ask(SavePrompt));
  if (level.File.empty() || Refused(level, true)) return;
  const std::string compressed = level.Compressed();
  if (Exists(compressed) && !AskYesOrNo(ReplaceQuestion(level.Shown), QuestionRow, QuestionColumn)) return;
  KeptAside earlierLevel, leftover;
  const bool saved = KeepAside(compressed, earlierLevel) && KeepAside(level.File, leftover) &&
                     WriteUncompressed(level.File, grid, header) && Compress(level.File) == 0 &&
                     KindOfFile(compressed) == FileKind::Regular && KindOfFile(level.File) == FileKind::Missing &&
                     SyncToDisk(compressed);
  if (!saved) {
    PutBack(leftover);
    PutBack(earlierLevel);
    ShowMessage(CompressorFailureMessage);
    return;
  }
  DropKept(leftover);
  DropKept(earlierLevel);
  ShowMessage(SavedMessage(level.Shown));
}

}  // namespace terrafix
