#include "platform/growing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace terrafix {

bool OpenGrowingFile(GrowingFile& file, const std::string& name) {
  CloseGrowingFile(file);
  // Without waiting, whatever the name is: opening a pipe would otherwise
  // wait for a writer.
  int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  file.Fd = fd;
  return true;
}

int64_t GrowingFileSize(const GrowingFile& file) {
  struct stat info;
  if (file.Fd < 0 || fstat(file.Fd, &info) != 0) return -1;
  return info.st_size;
}

int64_t WrittenEnd(const GrowingFile& file, int64_t from) {
  int64_t size = GrowingFileSize(file);
  if (size <= from) return std::max(size, from);
  off_t hole = lseek(file.Fd, from, SEEK_HOLE);
  return hole < 0 ? size : std::min<int64_t>(hole, size);
}

size_t ReadGrowingFile(const GrowingFile& file, int64_t offset, std::span<uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = pread(file.Fd, bytes.data() + done, bytes.size() - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

FileIdentity IdentityOf(const GrowingFile& file) {
  struct stat info;
  if (file.Fd < 0 || fstat(file.Fd, &info) != 0) return {};
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

void CloseGrowingFile(GrowingFile& file) {
  if (file.Fd >= 0) close(file.Fd);
  file.Fd = -1;
}

}  // namespace terrafix
