#include "files/level_saving.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "files/classic_world.h"
#include "files/compressor.h"
#include "files/level_file.h"
#include "files/server_map.h"
#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"
#include "platform/programs/run_program.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

constexpr int SaveSlot = 2;

// Writes the time into eight big-endian bytes at `at`, as far as they lie in `bytes`.
void PutTime(std::vector<uint8_t>& bytes, size_t at, int64_t now) {
  for (size_t i = 0; i < 8 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(now >> (8 * (7 - i)));
}

// What stands before and after the cells in the file a save writes: the
// level's own header and trailer where it came in the form the name asks
// for (a world's with LastModified now); else a new world's, a new map's, or
// the template's.
void PartsOfTheFile(const LevelName& name, const Level& level, const HeaderTemplate& header,
                    std::vector<uint8_t>& before, std::vector<uint8_t>& after) {
  using Kind = LevelForm::Kind;
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  const LevelForm& form = level.Form;
  const Kind asked = name.IsClassicWorld() ? Kind::ClassicWorld : name.IsServerMap() ? Kind::ServerMap : Kind::GameLevel;
  if (form.Of == asked) {
    before = form.Header;
    after = form.Trailer;
    const size_t time = form.TimeOffset;
    if (time != 0 && time + 8 <= before.size()) {
      PutTime(before, time, now);
    } else if (time != 0 && time >= before.size() + level.Cells.size()) {
      PutTime(after, time - before.size() - level.Cells.size(), now);
    }
  } else if (asked == Kind::ClassicWorld) {
    size_t timeOffset = 0;
    // The world is named after its file, without the folder.
    NewClassicWorld(level, std::filesystem::path(name.File).filename().string(), now, before, after, timeOffset);
  } else if (asked == Kind::ServerMap) {
    before = NewServerMapHeader(level);
    after.clear();
  } else {
    before = TemplateHeaderFor(level, header);
    after.assign(header.TrailerBytes.begin(), header.TrailerBytes.end());
  }
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

}  // namespace

std::string FormatCannotHold(const LevelName& name, const Level& level) {
  constexpr size_t MostCells = INT32_MAX;
  if (name.IsServerMap() || level.Cells.size() <= MostCells) return {};
  const std::string format = name.IsClassicWorld() ? ".cw" : ".dat";
  return WithThousands(level.Cells.size()) + " cells: more than a " + format + " holds (" + WithThousands(MostCells) +
         "); .lvl holds it";
}

bool WriteLevelAs(const LevelName& name, const Level& level, const HeaderTemplate& header, std::string& why) {
  why = FormatCannotHold(name, level);
  if (!why.empty()) return false;
  // Beside the file they replace, whatever folder the name names: a rename
  // never crosses file systems, and the room they take is that folder's.
  // What an interrupted command left there goes first.
  const std::string folder = FolderOf(name.Compressed());
  RemoveAbandonedTemporaries(folder);
  TemporaryFile uncompressed, compressed;
  if (!MakeTemporary(uncompressed, why, folder) || !WriteUncompressed(uncompressed, name, level, header, why) ||
      !MakeTemporary(compressed, why, folder)) {
    RemoveTemporary(uncompressed);
    return false;
  }
  const int result = CompressInto(uncompressed.Name, compressed.Fd);
  bool saved = false;
  if (result != 0) {
    why = DescribeProgramResult(CompressingProgram(), result);
  } else if (SizeOfFile(compressed.Name) <= 0) {
    why = CompressingProgram() + " wrote nothing";
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

}  // namespace terrafix
