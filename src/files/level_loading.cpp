#include "files/level_loading.h"

#include <span>
#include <string>
#include <vector>

#include "files/compressor.h"
#include "files/level_decompression.h"
#include "platform/files/file_system.h"

namespace terrafix {

LevelReading ReadLevelFile(const LevelName& name, const HeaderTemplate& header, Level& loaded,
                           const SizeWanted& wanted) {
  std::vector<uint8_t> file;
  const LevelFormat* found = nullptr;
  if (KindOfFile(name.Compressed()) == FileKind::Regular) {
    const LevelReading reading = DecompressLevel(
        [&](std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
          return DecompressInto(name.Compressed(), bytes, limit, start);
        },
        header, file, wanted);
    if (reading.Refusal != LevelRefusal::None) return reading;
    found = reading.Format;
  } else if (name.Ending != LevelFileEnding || KindOfFile(name.File) != FileKind::Regular) {
    LevelReading missing;
    missing.Refusal = LevelRefusal::NoFile;
    missing.Why = "there is no " + name.Compressed();
    return missing;
  } else {
    // An uncompressed level left by an earlier version of the editor.
    std::string why;
    if (!ReadFileStart(name.File, file, LargestLevelFile, why)) {
      LevelReading unread;
      unread.Refusal = LevelRefusal::NoFile;
      unread.Why = why;
      return unread;
    }
  }
  const LevelReading reading = ReadLevelBytes(file, header, loaded, found);
  if (reading.Refusal == LevelRefusal::None) loaded.Name = name.File;
  return reading;
}

}  // namespace terrafix
