// Load and Save never lose a level and never report what did not happen:
// - the typed name stands for one level (world and world.dat alike) and
//   reaches the compressor as one file name, never as an option;
// - names that are the header template, links or special files are refused
//   with a message, and so is a save where a file `name` is there that is not
//   a level (the save could leave its level there);
// - a load changes no file: the compressor writes the level into a pipe;
// - a save changes exactly one file, name.dat: the level is written and
//   compressed into the editor's own temporaries beside it, which reach the
//   disk and then take the name in one rename, so that at every instant
//   name.dat is the whole earlier level or the whole new one;
// - every failure also leaves one line on standard error saying why.
#include "files/load_save_commands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "files/compressor.h"
#include "files/file_order.h"
#include "files/folder_cleanup.h"
#include "files/game_level.h"
#include "files/level_file.h"
#include "files/level_names.h"
#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"
#include "platform/programs/run_program.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {

constexpr int SaveSlot = 2;
constexpr size_t MessageWidth = 92;  // row 1 from column 40 to the last

std::string Ask(std::string_view prompt) {
  SetTextCursor(QuestionRow, QuestionColumn);
  return InputLine(prompt);
}

// For whoever helps the user: what failed and why, on standard error.
void Report(const char* command, const LevelName& level, const std::string& why) {
  std::fprintf(stderr, "terrafix: %s %s: %s\n", command, level.File.c_str(), why.c_str());
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

// The uncompressed level file, its cells laid out already, written into the temporary.
bool WriteUncompressed(const TemporaryFile& file, HeaderTemplate& header, std::string& why) {
  if (!OpenByteFile(file.Name, SaveSlot)) {
    why = std::string("open: ") + std::strerror(errno);
    return false;
  }
  WriteLaidOutLevel(SaveSlot, header);
  if (CloseFile(SaveSlot)) return true;
  why = std::string("write: ") + std::strerror(errno);
  return false;
}

// Writes the level (laid out in file order already), compresses it and puts
// it in place of name.dat.
bool SaveLevel(const LevelName& level, HeaderTemplate& header, std::string& why) {
  TemporaryFile uncompressed, compressed;
  if (!MakeTemporary(uncompressed, why) || !WriteUncompressed(uncompressed, header, why) ||
      !MakeTemporary(compressed, why)) {
    RemoveTemporary(uncompressed);
    return false;
  }
  const int result = CompressInto(uncompressed.Name, compressed.Fd);
  bool saved = false;
  if (result != 0) {
    why = DescribeProgramResult(CompressorProgram(), result);
  } else if (SizeOfFile(compressed.Name) <= 0) {
    why = CompressorProgram() + " wrote nothing";
  } else {
    saved = PutTemporaryInPlace(compressed, level.Compressed(), why);
  }
  RemoveTemporary(compressed);  // nothing once it is in place
  // With no compressor to run, the whole level stays as the file `name`, for
  // the user to compress.
  if (result == ProgramCannotStart && MoveFile(uncompressed.Name, level.File)) ForgetTemporary(uncompressed);
  RemoveTemporary(uncompressed);
  return saved;
}

}  // namespace

std::string OtherSizeMessage(std::string_view shownName, int32_t width, int32_t height, int32_t depth) {
  std::string text = std::string(shownName) + " is a level of " + std::to_string(width) + " x " +
                     std::to_string(height) + " x " + std::to_string(depth) +
                     "; this editor edits 256 x 256 x 64 levels";
  text.resize(std::max<size_t>(text.size(), MessageWidth), ' ');
  return text;
}

std::string ReplaceQuestion(std::string_view shownName) {
  return std::string(shownName) + ".dat exists. Replace it? (y/n) ";
}

std::optional<std::string> LoadCommand(LevelGrid& grid, HeaderTemplate& header) {
  return LoadLevel(NameOfLevel(Ask(LoadPrompt)), grid, header);
}

std::optional<std::string> LoadLevel(const LevelName& level, LevelGrid& grid, HeaderTemplate& header) {
  CleanUpFolder();
  if (level.File.empty() || Refused(level, false)) return {};
  std::vector<uint8_t> file;
  std::string why;
  if (KindOfFile(level.Compressed()) == FileKind::Regular) {
    const int result = DecompressInto(level.Compressed(), file, LargestLevelFile);
    if (result != 0) {
      Report("load", level, DescribeProgramResult(CompressorProgram(), result));
      // A larger level of the game is known by its start.
      const GameLevel game = result == ProgramOutputTooLong ? ReadGameLevel(file) : GameLevel{};
      ShowMessage(game.Found && !game.OfTheEditorsSize()
                      ? OtherSizeMessage(level.Shown, game.Width, game.Height, game.Depth)
                      : std::string(CompressorFailureMessage));
      return {};
    }
  } else if (KindOfFile(level.File) != FileKind::Regular) {
    why = "there is no " + level.Compressed();
  } else {
    // An uncompressed level left by an earlier version of the editor.
    ReadFileStart(level.File, file, LargestLevelFile, why);
  }
  if (why.empty() && HeaderMatches(file, header)) {
    ReadLevelCells(file, grid, header);
    return level.File;
  }
  // Not the template's layout: a level of another variant of the game's format?
  const GameLevel game = why.empty() ? ReadGameLevel(file) : GameLevel{};
  if (game.Found && !game.OfTheEditorsSize()) {
    Report("load", level, "a level of another size");
    ShowMessage(OtherSizeMessage(level.Shown, game.Width, game.Height, game.Depth));
    return {};
  }
  if (game.Found && game.CellsWhole && game.CellsOffset <= LargestOwnPart &&
      file.size() - game.CellsOffset - game.CellCount <= LargestOwnPart) {
    ReadOwnLevel(file, game.CellsOffset, grid, header);
    return level.File;
  }
  if (why.empty()) why = "neither the layout of " + std::string(HeaderTemplateFile) + " nor a level of the game";
  Report("load", level, why);
  ShowMessage(HeaderMismatchMessage);
  return {};
}

std::optional<std::string> SaveCommand(const LevelGrid& grid, HeaderTemplate& header) {
  CleanUpFolder();
  // The cells are laid out before the name is asked for: what is left to do
  // once it is typed is the file's writing and compression.
  GridToFileOrder(grid, header.FileOrderCells);
  const LevelName level = NameOfLevel(Ask(SavePrompt));
  if (level.File.empty() || Refused(level, true)) return {};
  if (KindOfFile(level.Compressed()) != FileKind::Missing &&
      !AskYesOrNo(ReplaceQuestion(level.Shown), QuestionRow, QuestionColumn)) {
    return {};
  }
  std::string why;
  if (!SaveLevel(level, header, why)) {
    Report("save", level, why);
    ShowMessage(CompressorFailureMessage);
    return {};
  }
  ShowMessage(SavedMessage(level.Shown));
  return level.File;
}

}  // namespace terrafix
