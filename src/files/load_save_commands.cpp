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
#include <ctime>
#include <span>
#include <vector>

#include "files/classic_world.h"
#include "files/compressor.h"
#include "files/folder_cleanup.h"
#include "files/level_file.h"
#include "files/level_decompression.h"
#include "files/level_names.h"
#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"
#include "platform/machine/machine_memory.h"
#include "platform/programs/run_program.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {

constexpr int SaveSlot = 2;

std::string Ask(std::string_view prompt) {
  SetTextCursor(QuestionRow, QuestionColumn);
  return InputLine(prompt);
}

// For whoever helps the user: what failed and why, on standard error.
void Report(const char* command, const LevelName& level, const std::string& why) {
  std::fprintf(stderr, "terrafix: %s %s: %s\n", command, level.File.c_str(), why.c_str());
}

// 70000 as "70,000".
std::string WithThousands(size_t number) {
  const std::string digits = std::to_string(number);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
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

// Says why a level was refused: on standard error, and on row 1 in the
// message of its cause.
void ShowRefusal(const LevelName& level, const LevelReading& reading, std::string_view notALevelMessage) {
  Report("load", level, reading.Why);
  switch (reading.Refusal) {
    case LevelRefusal::None: break;
    case LevelRefusal::NotALevel: ShowMessage(notALevelMessage); break;
    case LevelRefusal::OwnPartTooLarge: ShowMessage(OwnPartMessage(reading.OwnBytes, reading.AtLeast)); break;
    case LevelRefusal::TooLargeForMemory:
      ShowMessage(TooLargeMessage(level.Shown, reading.Width, reading.Length, reading.Height));
      break;
  }
}

// What stands before and after the cells in the file a save writes: a
// ClassicWorld's own tags, with LastModified now, or a new world's; a level's
// own header and trailer; or the template's.
void PartsOfTheFile(const LevelName& name, const Level& level, const HeaderTemplate& header,
                    std::vector<uint8_t>& before, std::vector<uint8_t>& after) {
  using Kind = LevelForm::Kind;
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  const LevelForm& form = level.Form;
  if (name.IsClassicWorld() && form.Of != Kind::ClassicWorld) {
    size_t timeOffset = 0;
    NewClassicWorld(level, name.File, now, before, after, timeOffset);
    return;
  }
  if (name.IsClassicWorld() || form.Of == Kind::GameLevel) {
    before = form.Header;
    after = form.Trailer;
    const size_t time = form.TimeOffset;
    if (time != 0 && time + 8 <= before.size()) {
      for (int i = 0; i < 8; ++i) before[time + i] = static_cast<uint8_t>(now >> (8 * (7 - i)));
    } else if (time != 0 && time >= before.size() + level.Cells.size()) {
      const size_t at = time - before.size() - level.Cells.size();
      for (int i = 0; i < 8 && at + i < after.size(); ++i) after[at + i] = static_cast<uint8_t>(now >> (8 * (7 - i)));
    }
    return;
  }
  before = TemplateHeaderFor(level, header);
  after.assign(header.TrailerBytes.begin(), header.TrailerBytes.end());
}

// The uncompressed level file written into the temporary.
bool WriteUncompressed(const TemporaryFile& file, const LevelName& name, const Level& level,
                       const HeaderTemplate& header, std::string& why) {
  if (!OpenByteFile(file.Name, SaveSlot)) {
    why = std::string("open: ") + std::strerror(errno);
    return false;
  }
  std::vector<uint8_t> before, after;
  PartsOfTheFile(name, level, header, before, after);
  WriteAround(SaveSlot, before, level.Cells, after);
  if (CloseFile(SaveSlot)) return true;
  why = std::string("write: ") + std::strerror(errno);
  return false;
}

// Writes the level, compresses it and puts it in place of name.dat.
bool SaveLevel(const LevelName& name, const Level& level, const HeaderTemplate& header, std::string& why) {
  // Beside the file they replace, whatever folder the name names: a rename
  // never crosses file systems, and the room they take is that folder's.
  const std::string folder = FolderOf(name.Compressed());
  if (folder != ".") RemoveAbandonedTemporaries(folder);
  TemporaryFile uncompressed, compressed;
  if (!MakeTemporary(uncompressed, why, folder) || !WriteUncompressed(uncompressed, name, level, header, why) ||
      !MakeTemporary(compressed, why, folder)) {
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
    saved = PutTemporaryInPlace(compressed, name.Compressed(), why);
  }
  RemoveTemporary(compressed);  // nothing once it is in place
  // With no compressor to run, the whole level stays as the file `name`, for
  // the user to compress.
  if (result == ProgramCannotStart && MoveFile(uncompressed.Name, name.File)) ForgetTemporary(uncompressed);
  RemoveTemporary(uncompressed);
  return saved;
}

}  // namespace

std::string TooLargeMessage(std::string_view shownName, int32_t width, int32_t length, int32_t height) {
  const std::string rest = " is a level of " + std::to_string(width) + " x " + std::to_string(length) + " x " +
                           std::to_string(height) + ": it needs " +
                           MemoryText(LevelMemory(width, length, height)) + ", more than this machine has";
  std::string text = ShortenedName(shownName, MessageWidth - std::min(rest.size(), MessageWidth)) + rest;
  text.resize(MessageWidth, ' ');
  return text;
}

std::string OwnPartMessage(size_t bytes, bool atLeast) {
  std::string text = "The editor keeps at most 64 KiB of a level's own data; this one has " +
                     std::string(atLeast ? "more than " : "") + WithThousands(bytes) + " bytes";
  text.resize(std::max(text.size(), MessageWidth), ' ');
  return text;
}

std::string ShortenedName(std::string_view shownName, size_t width) {
  constexpr std::string_view Cut = "...";
  if (shownName.size() <= width) return std::string(shownName);
  if (width <= Cut.size()) return std::string(Cut.substr(0, width));
  return std::string(shownName.substr(0, width - Cut.size())) + std::string(Cut);
}

std::string ReplaceQuestion(std::string_view shownName, std::string_view ending) {
  return std::string(shownName) + std::string(ending) + " exists. Replace it? (y/n) ";
}

bool LoadCommand(Level& loaded, const HeaderTemplate& header) {
  return LoadLevel(NameOfLevel(Ask(LoadPrompt)), loaded, header);
}

bool LoadLevel(const LevelName& name, Level& loaded, const HeaderTemplate& header) {
  CleanUpFolder();
  if (name.File.empty() || Refused(name, false)) return false;
  const LevelForms forms = name.IsClassicWorld() ? LevelForms::ClassicWorld : LevelForms::GameFormat;
  std::vector<uint8_t> file;
  std::string why;
  if (KindOfFile(name.Compressed()) == FileKind::Regular) {
    const LevelReading reading = DecompressLevel(
        [&](std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
          return DecompressInto(name.Compressed(), bytes, limit, start);
        },
        forms, header, file);
    if (reading.Refusal != LevelRefusal::None) {
      ShowRefusal(name, reading, CompressorFailureMessage);
      return false;
    }
  } else if (name.IsClassicWorld() || KindOfFile(name.File) != FileKind::Regular) {
    why = "there is no " + name.Compressed();
  } else {
    // An uncompressed level left by an earlier version of the editor.
    ReadFileStart(name.File, file, LargestLevelFile, why);
  }
  if (!why.empty()) {
    Report("load", name, why);
    ShowMessage(HeaderMismatchMessage);
    return false;
  }
  const LevelReading reading = ReadLevelBytes(file, forms, header, loaded);
  if (reading.Refusal != LevelRefusal::None) {
    ShowRefusal(name, reading, HeaderMismatchMessage);
    return false;
  }
  loaded.Name = name.File;
  return true;
}

bool SaveCommand(Level& level, const HeaderTemplate& header, const std::function<void()>& saved) {
  CleanUpFolder();
  const LevelName name = NameOfLevel(Ask(SavePrompt));
  if (name.File.empty() || Refused(name, true)) return false;
  if (KindOfFile(name.Compressed()) != FileKind::Missing &&
      !AskYesOrNo(ReplaceQuestion(name.Shown, name.Ending), QuestionRow, QuestionColumn)) {
    return false;
  }
  std::string why;
  if (!SaveLevel(name, level, header, why)) {
    Report("save", name, why);
    ShowMessage(CompressorFailureMessage);
    return false;
  }
  level.Name = name.File;
  if (saved) saved();
  ShowMessage(SavedMessage(name.Shown));
  return true;
}

}  // namespace terrafix
