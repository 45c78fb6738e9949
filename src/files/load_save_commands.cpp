// Load and Save never lose a level and never report what did not happen:
// - the typed name stands for one level (world and world.dat alike) and
//   reaches the compressor as one file name, never as an option;
// - names that are the header template, links or special files are refused
//   with a message, and so is a save where a file `name` is there that is not
//   a level (the save could leave its level there);
// - a load changes no file: the compressor writes the level into a pipe;
// - a save changes exactly one file, name.dat (name.cw, name.lvl), as
//   level_saving.h tells;
// - every failure also leaves one line on standard error saying why.
#include "files/load_save_commands.h"

#include <algorithm>
#include <cstdio>

#include "files/folder_cleanup.h"
#include "files/level_loading.h"
#include "files/level_names.h"
#include "files/level_saving.h"
#include "formats/game_level.h"
#include "platform/files/file_system.h"
#include "platform/machine/machine_memory.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

std::string Ask(std::string_view prompt) {
  BlankRowFrom(QuestionRow, QuestionColumn);
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
  const NameRefusal refusal = RefusalOf(level, writesOverUncompressed);
  if (refusal == NameRefusal::None) return false;
  ShowMessage(TextsOf(refusal).Message);
  return true;
}

// What a name without an ending stands for when a build is exported or placed.
std::string_view BuildEnding() { return FormatOfKind(LevelForm::Kind::Schematic)->Ending; }

// Writes the level under the name with Save's checks and its Replace
// question; false, with why shown, when it did not.
bool WriteUnderName(const char* command, const LevelName& name, const Level& level, const HeaderTemplate& header) {
  if (name.File.empty() || Refused(name, true)) return false;
  if (std::string cannot = FormatCannotHold(name, level); !cannot.empty()) {
    cannot.resize(MessageWidth, ' ');
    ShowMessage(cannot);
    return false;
  }
  if (KindOfFile(name.Compressed()) != FileKind::Missing &&
      !AskYesOrNo(ReplaceQuestion(name.Shown, name.SpelledEnding()), QuestionRow, QuestionColumn)) {
    return false;
  }
  std::string why;
  if (!WriteLevelAs(name, level, header, why)) {
    Report(command, name, why);
    ShowMessage(CompressorFailureMessage);
    return false;
  }
  return true;
}

// Says why a level was refused: on standard error, and on row 1 in the
// message of its cause. A file of the game's format that is no level gets
// the header check's message, as it always has.
void ShowRefusal(const LevelName& level, const LevelReading& reading) {
  Report("load", level, reading.Why);
  switch (reading.Refusal) {
    case LevelRefusal::None: break;
    case LevelRefusal::NoFile: ShowMessage(HeaderMismatchMessage); break;
    case LevelRefusal::CompressorFailed: ShowMessage(CompressorFailureMessage); break;
    case LevelRefusal::NotALevel:
      ShowMessage(level.Ending == LevelFileEnding ? std::string(HeaderMismatchMessage) : NotAnyLevelMessage());
      break;
    case LevelRefusal::OwnPartTooLarge:
      ShowMessage(OwnPartMessage(reading.OwnBytes, reading.OwnBound, reading.AtLeast, reading.Format));
      break;
    case LevelRefusal::CutShort:
      ShowMessage(level.Ending == LevelFileEnding
                      ? std::string(HeaderMismatchMessage)
                      : CutShortMessage(level.Shown + level.SpelledEnding(), reading.Width, reading.Length,
                                        reading.Height));
      break;
    case LevelRefusal::TooLargeForMemory:
      ShowMessage(TooLargeMessage(level.Shown, reading.Width, reading.Length, reading.Height));
      break;
    case LevelRefusal::WideBlocks: ShowMessage(WideBlocksMessage(level.Shown + level.SpelledEnding())); break;
    case LevelRefusal::Flawed: ShowMessage(FlawedMessage(level.Shown + level.SpelledEnding(), reading.Why)); break;
  }
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

std::string WideBlocksMessage(std::string_view shownName) {
  constexpr std::string_view Rest = " holds blocks numbered past 255; the editor keeps one byte a cell";
  std::string text = ShortenedName(shownName, MessageWidth - Rest.size()) + std::string(Rest);
  text.resize(MessageWidth, ' ');
  return text;
}

std::string NotAnyLevelMessage() {
  std::string text = "Not a level of any format the editor knows (" + ListOfEndings(", ") + "), press any key...";
  text.resize(MessageWidth, ' ');
  return text;
}

std::string FlawedMessage(std::string_view shownName, std::string_view why) {
  std::string text = ShortenedName(shownName, 30) + ": " + std::string(why);
  text.resize(MessageWidth, ' ');  // its row and no more
  return text;
}

std::string OwnPartMessage(size_t bytes, size_t bound, bool atLeast, const LevelFormat* format) {
  const std::string has = std::string(atLeast ? "more than " : "") + WithThousands(bytes) + " bytes";
  const bool schematic = format && format->Kind == LevelForm::Kind::Schematic;
  std::string text = bound == LargestOwnPart ? "The editor keeps at most 64 KiB of a level's own data; this one has " + has
                     : schematic ? "A schematic keeps at most " + WithThousands(bound) +
                                       " bytes beside its cells; this one has " + has
                                 : "A map keeps at most " + WithThousands(bound) + " bytes after its cells; this one has " + has;
  text.resize(MessageWidth, ' ');  // its row and no more
  return text;
}

std::string CutShortMessage(std::string_view shownName, int32_t width, int32_t length, int32_t height) {
  const std::string rest = " is cut short: it ends inside the cells of its " + std::to_string(width) + " x " +
                           std::to_string(length) + " x " + std::to_string(height) + " level, press any key...";
  std::string text = ShortenedName(shownName, MessageWidth - std::min(rest.size(), MessageWidth)) + rest;
  text.resize(MessageWidth, ' ');
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
  const LevelReading reading = ReadLevelFile(name, header, loaded);
  if (reading.Refusal == LevelRefusal::None) {
    if (!reading.Said.empty()) {
      std::string said = reading.Said;
      said.resize(MessageWidth, ' ');
      ShowMessage(said);
    }
    return true;
  }
  ShowRefusal(name, reading);
  return false;
}

bool SaveCommand(Level& level, const HeaderTemplate& header, const std::function<void()>& saved) {
  CleanUpFolder();
  const LevelName name = NameOfLevel(Ask(SavePrompt));
  if (!WriteUnderName("save", name, level, header)) return false;
  level.Name = name.File;
  if (saved) saved();
  ShowMessage(SavedMessage(name.Shown));
  return true;
}

bool ExportCommand(const Level& part, const HeaderTemplate& header) {
  CleanUpFolder();
  const LevelName name = NameOfLevel(Ask(ExportPrompt), BuildEnding());
  if (!WriteUnderName("export", name, part, header)) return false;
  std::string text = "Exported " + std::to_string(part.Width) + " x " + std::to_string(part.Length) + " x " +
                     std::to_string(part.Height) + " as '" + name.Shown + name.SpelledEnding() +
                     "', press any key to continue...";
  text.resize(MessageWidth, ' ');
  ShowMessage(text);
  return true;
}

bool PlaceCommand(Level& placed, const HeaderTemplate& header) {
  return LoadLevel(NameOfLevel(Ask(PlacePrompt), BuildEnding()), placed, header);
}

}  // namespace terrafix
