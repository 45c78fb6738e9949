#include "platform/files/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace terrafix {

FileKind KindOfFile(const std::string& name) {
  struct stat info;
  if (lstat(name.c_str(), &info) != 0) return FileKind::Missing;
  return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
}

int64_t SizeOfFile(const std::string& name) {
  struct stat info;
  if (lstat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return info.st_size;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string FolderOf(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return name.substr(0, std::max<size_t>(slash, 1));
}

int OpenAlone(const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat opened, named;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &opened) == 0 && lstat(name.c_str(), &named) == 0 &&
      S_ISREG(opened.st_mode) && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
    return fd;
  }
  close(fd);
  return -1;
}

bool MoveFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool ReadFileStart(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, std::string& why) {
  bytes.clear();
  why.clear();
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  bytes.resize(limit);
  size_t done = 0;
  while (done < limit) {
    const ssize_t n = read(fd, bytes.data() + done, limit - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) why = std::strerror(errno);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  bytes.resize(done);
  return why.empty();
}

}  // namespace terrafix
