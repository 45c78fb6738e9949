#include "platform/files/byte_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/files/file_failures.h"

namespace terrafix {

namespace {

constexpr size_t BufferSize = 64 * 1024;
// A long write leaves each whole run of this many zero bytes past the file's
// end unwritten: a hole, which the file system reads back as zeros at no cost.
constexpr size_t HoleRun = 1024 * 1024;

// One open file. The buffer holds a run of the file's bytes (read from it, or
// written and not yet flushed when Dirty) from BufferStart on. Writes that
// touch the run are merged into it, so the overlapping row writes of a level
// file cost one system call per 64 KiB.
struct FileSlot {
  int Fd = -1;
  bool Writable = false;
  bool Failed = false;
  int64_t Position = 0;  // offset of the next transfer at position 0
  std::vector<uint8_t> Buffer;  // BufferSize bytes while the slot is open
  int64_t BufferStart = 0;
  size_t BufferLength = 0;
  bool Dirty = false;
  int64_t Length = 0;  // the file's length, holes left at its end included
};

std::array<FileSlot, LastFileSlot + 1> Slots;

FileSlot* OpenSlot(int slot) {
  if (slot < FirstFileSlot || slot > LastFileSlot || Slots[slot].Fd < 0) return nullptr;
  return &Slots[slot];
}

bool WriteAll(int fd, const uint8_t* data, size_t length, int64_t offset) {
  if (FileCallFails(FileCall::Write)) return false;
  while (length > 0) {
    ssize_t n = pwrite(fd, data, length, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

bool AllZero(const uint8_t* data, size_t length) {
  uint8_t any = 0;
  for (size_t i = 0; i < length; ++i) any |= data[i];
  return any == 0;
}

// A long transfer, a run at a time; runs of zeros past the file's end become a hole.
bool WriteLong(FileSlot& f, const uint8_t* data, size_t length, int64_t offset) {
  for (size_t done = 0; done < length;) {
    const size_t n = std::min(HoleRun, length - done);
    const int64_t at = offset + static_cast<int64_t>(done);
    const bool hole = n == HoleRun && at >= f.Length && AllZero(data + done, n);
    if (!hole && !WriteAll(f.Fd, data + done, n, at)) return false;
    done += n;
  }
  return true;
}

void Flush(FileSlot& f) {
  if (f.Dirty && !WriteAll(f.Fd, f.Buffer.data(), f.BufferLength, f.BufferStart)) f.Failed = true;
  f.Dirty = false;
}

void Drop(FileSlot& f) {
  Flush(f);
  f.BufferLength = 0;
}

// Reads what the file holds at offset into the buffer.
void Fill(FileSlot& f, int64_t offset) {
  Drop(f);
  f.BufferStart = offset;
  while (f.BufferLength < BufferSize) {
    ssize_t n = pread(f.Fd, f.Buffer.data() + f.BufferLength, BufferSize - f.BufferLength,
                      offset + static_cast<int64_t>(f.BufferLength));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    f.BufferLength += static_cast<size_t>(n);
  }
}

int64_t TransferOffset(const FileSlot& f, int64_t position) { return position >= 1 ? position - 1 : f.Position; }

}  // namespace

bool OpenByteFile(const std::string& name, int slot) {
  if (slot < FirstFileSlot || slot > LastFileSlot || Slots[slot].Fd >= 0) return false;
  bool writable = true;
  int fd = open(name.c_str(), O_RDWR | O_CLOEXEC);
  // A missing file is created empty. An existing one is never truncated here.
  if (fd < 0) fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    writable = false;
  }
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return false;
  }
  Slots[slot] = FileSlot{};
  Slots[slot].Fd = fd;
  Slots[slot].Writable = writable;
  Slots[slot].Buffer.resize(BufferSize);
  Slots[slot].Length = info.st_size;
  return true;
}

bool FileSlotIsOpen(int slot) { return OpenSlot(slot) != nullptr; }

void ReadBytesAt(int slot, int64_t position, std::span<uint8_t> bytes) {
  FileSlot* f = OpenSlot(slot);
  if (!f) return;
  int64_t offset = TransferOffset(*f, position);
  size_t done = 0;
  while (done < bytes.size()) {
    int64_t at = offset + static_cast<int64_t>(done);
    if (at < f->BufferStart || at >= f->BufferStart + static_cast<int64_t>(f->BufferLength)) {
      if (bytes.size() - done >= BufferSize) {  // a long transfer skips the buffer
        Drop(*f);
        ssize_t n = pread(f->Fd, bytes.data() + done, bytes.size() - done, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the end of the file
        done += static_cast<size_t>(n);
        continue;
      }
      Fill(*f, at);
      if (f->BufferLength == 0) break;  // the end of the file
    }
    size_t from = static_cast<size_t>(at - f->BufferStart);
    size_t n = std::min(bytes.size() - done, f->BufferLength - from);
    std::memcpy(bytes.data() + done, f->Buffer.data() + from, n);
    done += n;
  }
  std::fill(bytes.begin() + static_cast<long>(done), bytes.end(), uint8_t{0});
  f->Position = offset + static_cast<int64_t>(done);
}

void WriteBytesAt(int slot, int64_t position, std::span<const uint8_t> bytes) {
  FileSlot* f = OpenSlot(slot);
  if (!f) return;
  if (!f->Writable) {
    f->Failed = true;
    return;
  }
  int64_t offset = TransferOffset(*f, position);
  int64_t end = offset + static_cast<int64_t>(bytes.size());
  int64_t bufferEnd = f->BufferStart + static_cast<int64_t>(f->BufferLength);
  bool touches = f->BufferLength > 0 && offset <= bufferEnd && end >= f->BufferStart;
  int64_t start = touches ? std::min(offset, f->BufferStart) : offset;
  int64_t stop = touches ? std::max(end, bufferEnd) : end;
  if (!touches || stop - start > static_cast<int64_t>(BufferSize) || offset < f->BufferStart) {
    Drop(*f);
    if (bytes.size() > BufferSize) {
      if (!WriteLong(*f, bytes.data(), bytes.size(), offset)) f->Failed = true;
      f->Position = end;
      f->Length = std::max(f->Length, end);
      return;
    }
    f->BufferStart = offset;
    start = offset;
    stop = end;
  }
  // (An empty span may have no data at all: nothing to copy then.)
  if (!bytes.empty()) std::memcpy(f->Buffer.data() + (offset - f->BufferStart), bytes.data(), bytes.size());
  f->BufferLength = static_cast<size_t>(stop - start);
  f->Dirty = true;
  f->Position = end;
  f->Length = std::max(f->Length, end);
}

bool CloseFile(int slot) {
  FileSlot* f = OpenSlot(slot);
  if (!f) return true;
  Flush(*f);
  bool ok = !f->Failed;
  // A hole left at the end: the file reaches over it.
  struct stat info;
  if (ok && fstat(f->Fd, &info) == 0 && info.st_size < f->Length && ftruncate(f->Fd, f->Length) != 0) ok = false;
  if (close(f->Fd) != 0) ok = false;
  *f = FileSlot{};
  return ok;
}

}  // namespace terrafix
