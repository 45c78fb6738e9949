#include "platform/files/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace terrafix {

namespace {

bool SyncPath(const std::string& name, int flags) {
  const int fd = open(name.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  return close(fd) == 0 && synced;
}

std::string FolderOf(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

}  // namespace

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

bool MoveFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool RemoveFile(const std::string& name) { return unlink(name.c_str()) == 0; }

bool SyncToDisk(const std::string& name) {
  return SyncPath(name, O_RDONLY) && SyncPath(FolderOf(name), O_RDONLY | O_DIRECTORY);
}

}  // namespace terrafix
