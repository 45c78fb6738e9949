#include "files/recovery.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <vector>

#include "files/classic_world.h"
#include "files/compressor.h"
#include "files/game_level.h"
#include "files/level_file.h"
#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"
#include "platform/programs/run_program.h"

namespace terrafix {

namespace {

namespace fs = std::filesystem;

constexpr const char* LevelFileName = "recovery.dat";
constexpr const char* NoteFileName = "recovery.txt";
constexpr int RecoverySlot = 3;  // not a command's: the editor may be ending in the middle of one
constexpr size_t LargestNote = 64 * 1024;

std::string InStateFolder(const char* name) { return RecoveryFolder() + "/" + name; }

std::string NoteText(const RecoveryNote& note) {
  std::ostringstream text;
  text << "time " << note.Time << "\nfolder " << note.Folder << "\nlevel " << note.Level << "\ndeclined "
       << (note.Declined ? 1 : 0) << "\n";
  return text.str();
}

// Writes `bytes` into a temporary of the state folder and puts it in place as `name`.
bool PutInPlace(const std::string& bytes, const char* name, std::string& why) {
  TemporaryFile file;
  if (!MakeTemporary(file, why, RecoveryFolder())) return false;
  const bool written = write(file.Fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  if (!written) why = std::string("write: ") + std::strerror(errno);
  const bool placed = written && PutTemporaryInPlace(file, InStateFolder(name), why);
  RemoveTemporary(file);
  return placed;
}

}  // namespace

std::string RecoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') return std::string(state) + "/terrafix";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.local/state/terrafix";
  return {};
}

bool KeepRecovery(const LevelGrid& grid, HeaderTemplate& header, const std::string& level, std::string& why) {
  const std::string folder = RecoveryFolder();
  if (folder.empty()) {
    why = "no home folder";
    return false;
  }
  std::error_code error;
  fs::create_directories(folder, error);
  RemoveAbandonedTemporaries(folder);
  TemporaryFile uncompressed, compressed;
  bool kept = MakeTemporary(uncompressed, why, folder) && OpenByteFile(uncompressed.Name, RecoverySlot);
  if (kept) {
    WriteLevelFile(RecoverySlot, grid, header);
    kept = CloseFile(RecoverySlot);
    if (!kept) why = std::string("write: ") + std::strerror(errno);
  }
  if (kept && MakeTemporary(compressed, why, folder)) {
    const int result = CompressInto(uncompressed.Name, compressed.Fd, false);
    if (result != 0) why = DescribeProgramResult(CompressorProgram(), result);
    kept = result == 0 && PutTemporaryInPlace(compressed, InStateFolder(LevelFileName), why);
  } else {
    kept = false;
  }
  RemoveTemporary(compressed);
  RemoveTemporary(uncompressed);
  if (!kept) return false;
  char here[4096];
  const RecoveryNote note{static_cast<int64_t>(std::time(nullptr)), getcwd(here, sizeof here) ? here : "", level, false};
  return PutInPlace(NoteText(note), NoteFileName, why);
}

bool FindRecovery(RecoveryNote& note) {
  if (RecoveryFolder().empty() || KindOfFile(InStateFolder(LevelFileName)) != FileKind::Regular) return false;
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileStart(InStateFolder(NoteFileName), bytes, LargestNote, why)) return false;
  note = {};
  std::istringstream text(std::string(bytes.begin(), bytes.end()));
  for (std::string line; std::getline(text, line);) {
    const size_t blank = line.find(' ');
    const std::string key = line.substr(0, blank), value = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (key == "time") note.Time = std::strtoll(value.c_str(), nullptr, 10);
    if (key == "folder") note.Folder = value;
    if (key == "level") note.Level = value;
    if (key == "declined") note.Declined = value == "1";
  }
  return true;
}

bool ReadRecovery(LevelGrid& grid, HeaderTemplate& header, std::string& why) {
  std::vector<uint8_t> file;
  const int result = DecompressInto(InStateFolder(LevelFileName), file, LargestLevelFile);
  if (result != 0) {
    why = DescribeProgramResult(CompressorProgram(), result);
    return false;
  }
  // Kept as the level was: in the template's layout, or with its own header
  // and trailer.
  const GameLevel game = ReadGameLevel(file);
  const ClassicWorld world = ReadClassicWorld(file);
  if (HeaderMatches(file, header)) {
    ReadLevelCells(file, grid, header);
  } else if (game.Found && game.CellsWhole && game.OfTheEditorsSize()) {
    ReadOwnLevel(file, game.CellsOffset, HeaderTemplate::Format::GameLevel, grid, header);
  } else if (world.Found && world.BlocksWhole && world.OfTheEditorsSize()) {
    ReadOwnLevel(file, world.BlocksOffset, HeaderTemplate::Format::ClassicWorld, grid, header);
    header.OwnTimeOffset = world.LastModifiedOffset;
  } else {
    ReadLevelCells(file, grid, header);  // an all-zero template's: the cells where they always are
  }
  return true;
}

void NoteRecoveryDeclined(RecoveryNote note) {
  note.Declined = true;
  std::string why;
  PutInPlace(NoteText(note), NoteFileName, why);
}

void RemoveRecovery() {
  std::error_code error;
  fs::remove(InStateFolder(LevelFileName), error);
  fs::remove(InStateFolder(NoteFileName), error);
}

std::string RecoveryTimeText(int64_t time) {
  const std::time_t t = static_cast<std::time_t>(time);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace terrafix
