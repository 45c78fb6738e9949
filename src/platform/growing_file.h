// A file that another program may still be writing: opened for reading only
// (never created by the open), its size looked up afresh each time, and read
// wherever asked. Used beside the numbered slots, never through them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/byte_files.h"

namespace terrafix {

struct GrowingFile {
  int Fd = -1;
};

// False while there is no such file, or when it is not a regular file or
// cannot be read. Never waits.
bool OpenGrowingFile(GrowingFile& file, const std::string& name);
// The size now; -1 when it cannot be told.
int64_t GrowingFileSize(const GrowingFile& file);
// Where the bytes written so far from `from` on end: the size, or the start
// of the first hole (a part that a writer skipped and may still fill), or
// `from` itself when the file ends there.
int64_t WrittenEnd(const GrowingFile& file, int64_t from);
// Reads at `offset` until `bytes` is full or the file ends; the count read.
size_t ReadGrowingFile(const GrowingFile& file, int64_t offset, std::span<uint8_t> bytes);
FileIdentity IdentityOf(const GrowingFile& file);
void CloseGrowingFile(GrowingFile& file);

}  // namespace terrafix
