#include "formats/header_template.h"

#include <algorithm>
#include <span>

#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"

namespace terrafix {

namespace {
constexpr int TemplateSlot = 1;
}

void ReadHeaderTemplate(HeaderTemplate& header) {
  // A missing template is never made: an empty one would make every level
  // saved with it a file that the game refuses.
  for (const std::string& file : {header.TemplateFile, header.InstalledFile}) {
    if (file.empty() || KindOfFile(file) == FileKind::Missing) continue;
    OpenByteFile(file, TemplateSlot);
    ReadBytesAt(TemplateSlot, 1, header.HeaderBytes);
    ReadBytesAt(TemplateSlot, 1 + HeaderLength, header.TrailerBytes);
    CloseFile(TemplateSlot);
    return;
  }
  const std::span<const uint8_t> builtIn(BuiltInTemplate, BuiltInTemplateSize);
  header.HeaderBytes.fill(0);
  header.TrailerBytes.fill(0);
  std::copy_n(builtIn.begin(), std::min(builtIn.size(), header.HeaderBytes.size()), header.HeaderBytes.begin());
  const std::span<const uint8_t> trailer = builtIn.subspan(std::min<size_t>(builtIn.size(), HeaderLength));
  std::copy_n(trailer.begin(), std::min(trailer.size(), header.TrailerBytes.size()), header.TrailerBytes.begin());
}

}  // namespace terrafix
