#include "files/header_template.h"

#include "platform/files/byte_files.h"

namespace terrafix {

namespace {
constexpr int TemplateSlot = 1;
}

void ReadHeaderTemplate(HeaderTemplate& header) {
  OpenByteFile(HeaderTemplateFile, TemplateSlot);
  ReadBytesAt(TemplateSlot, 1, header.HeaderBytes);
  ReadBytesAt(TemplateSlot, 1 + HeaderLength, header.TrailerBytes);
  CloseFile(TemplateSlot);
}

}  // namespace terrafix
