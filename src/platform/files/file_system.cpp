#include "platform/files/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/files/file_failures.h"

namespace terrafix {

namespace {

constexpr mode_t PrivateFolderMode = 0700;

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

bool MoveFile(const std::string& from, const std::string& to) {
  return !FileCallFails(FileCall::Rename) && std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& name) { return !FileCallFails(FileCall::Remove) && unlink(name.c_str()) == 0; }

bool MakePrivateFolder(const std::string& folder) {
  if (FileCallFails(FileCall::MakeFolder)) return false;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), error);
  if (mkdir(folder.c_str(), PrivateFolderMode) != 0 && errno != EEXIST) return false;
  struct stat info;
  if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) return false;
  if ((info.st_mode & 07777) != PrivateFolderMode && chmod(folder.c_str(), PrivateFolderMode) != 0) return false;
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (FileCallFails(FileCall::Read)) return names;
  DIR* entries = opendir(folder.c_str());
  if (!entries) return names;
  while (const dirent* entry = readdir(entries)) names.emplace_back(entry->d_name);
  closedir(entries);
  return names;
}

std::string CurrentFolder() {
  char here[4096];
  return getcwd(here, sizeof here) ? here : "";
}

bool WriteWhole(int fd, std::string_view bytes) {
  if (FileCallFails(FileCall::Write)) return false;
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool SeekTo(int fd, int64_t offset) { return lseek(fd, static_cast<off_t>(offset), SEEK_SET) == offset; }

int64_t ChangedTime(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 ? static_cast<int64_t>(info.st_mtime) : 0;
}

void CloseDescriptor(int fd) {
  if (fd >= 0) close(fd);
}

bool ReadFileStart(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, std::string& why) {
  bytes.clear();
  why.clear();
  const int fd = FileCallFails(FileCall::Read) ? -1 : open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
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
