#include "files/level_saving.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "files/compressor.h"
#include "formats/level_file.h"
#include "formats/level_formats.h"
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

// The format the name's ending asks for.
const LevelFormat& FormatOf(const LevelName& name) {
  const LevelFormat* format = FormatOfEnding(name.Ending);
  return format ? *format : LevelFormats().front();
}

// What stands before and after the cells in the file a save writes: the
// level's own parts where it came in the format the name asks for (with
// the time it was saved now, where its format keeps one); else those of a
// new file of that format.
FileParts PartsOfTheFile(const LevelName& name, const Level& level, const HeaderTemplate& header) {
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  const LevelForm& form = level.Form;
  const LevelFormat& asked = FormatOf(name);
  if (form.Of != asked.Kind) {
    // A new file is named after the file, without the folder and the ending.
    std::string named = std::filesystem::path(name.File).filename().string();
    return asked.NewParts(level, {header, std::move(named), now});
  }
  FileParts parts{form.Header, form.Trailer, form.TimeOffset};
  const size_t time = form.TimeOffset;
  if (time != 0 && time + 8 <= parts.Before.size()) {
    PutTime(parts.Before, time, now);
  } else if (time != 0 && time >= parts.Before.size() + level.Cells.size()) {
    PutTime(parts.After, time - parts.Before.size() - level.Cells.size(), now);
  }
  return parts;
}

// The uncompressed level file written into the temporary.
bool WriteUncompressed(const TemporaryFile& file, const LevelName& name, const Level& level,
                       const HeaderTemplate& header, std::string& why) {
  if (!OpenByteFile(file.Name, SaveSlot)) {
    why = std::string("open: ") + std::strerror(errno);
    return false;
  }
  const FileParts parts = PartsOfTheFile(name, level, header);
  WriteAround(SaveSlot, parts.Before, level.Cells, parts.After);
  if (CloseFile(SaveSlot)) return true;
  why = std::string("write: ") + std::strerror(errno);
  return false;
}

}  // namespace

std::string FormatCannotHold(const LevelName& name, const Level& level) {
  const LevelFormat& format = FormatOf(name);
  if (level.Cells.size() <= format.MostCells) return {};
  std::string holders;  // the formats that hold it
  for (const LevelFormat& other : LevelFormats()) {
    if (level.Cells.size() <= other.MostCells) holders += (holders.empty() ? "" : ", ") + std::string(other.Ending);
  }
  return WithThousands(level.Cells.size()) + " cells: more than a " + std::string(format.Ending) + " holds (" +
         WithThousands(format.MostCells) + "); " + holders + " holds it";
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
