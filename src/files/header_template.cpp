#include "files/header_template.h"

#include "platform/files/byte_files.h"
#include "platform/files/file_system.h"

namespace terrafix {

namespace {
constexpr int TemplateSlot = 1;
}

void ForgetOwnParts(HeaderTemplate& header) {
  header.OwnHeader.clear();
  header.OwnTrailer.clear();
  header.OwnFormat = HeaderTemplate::Format::Template;
  header.OwnTimeOffset = 0;
}

void ReadHeaderTemplate(HeaderTemplate& header) {
  ForgetOwnParts(header);
  // Only the working folder's headers.dat is made when it is missing.
  if (header.TemplateFile != HeaderTemplateFile && KindOfFile(header.TemplateFile) == FileKind::Missing) {
    header.HeaderBytes.fill(0);
    header.TrailerBytes.fill(0);
    return;
  }
  OpenByteFile(header.TemplateFile, TemplateSlot);
  ReadBytesAt(TemplateSlot, 1, header.HeaderBytes);
  ReadBytesAt(TemplateSlot, 1 + HeaderLength, header.TrailerBytes);
  CloseFile(TemplateSlot);
}

}  // namespace terrafix
