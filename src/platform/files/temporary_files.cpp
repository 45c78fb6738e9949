#include "platform/files/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "platform/files/file_failures.h"
#include "platform/files/file_system.h"

namespace terrafix {

namespace {

constexpr const char* Prefix = ".terrafix-temporary-";
constexpr size_t PrefixLength = 20;
constexpr size_t LettersLength = 12;
// How far into a file the zero byte that tells it from text is looked for:
// every file a temporary becomes has one within its first few bytes (gzip's
// header, a level file's header), kept work after its note.
constexpr size_t MarkSearchLength = 64 * 1024;
constexpr const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int NamesTried = 100;

bool IsLetter(char c) { return std::strchr(Letters, c) != nullptr && c != '\0'; }

std::string NewName(std::mt19937& random) {
  std::string name = Prefix;
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof Letters) - 2);
  for (size_t i = 0; i < LettersLength; ++i) name += Letters[pick(random)];
  return name;
}

// Whether the open file is empty or holds a zero byte near its start, as
// every temporary of the editor's does and no text does.
bool HoldsWhatTemporariesHold(int fd) {
  std::vector<char> start(MarkSearchLength);
  size_t length = 0;
  for (ssize_t n; length < start.size() && (n = pread(fd, start.data() + length, start.size() - length,
                                                      static_cast<off_t>(length))) > 0;) {
    length += static_cast<size_t>(n);
  }
  return length == 0 || std::memchr(start.data(), '\0', length) != nullptr;
}

}  // namespace

bool MakeTemporary(TemporaryFile& file, std::string& why, const std::string& folder) {
  file = {};
  std::random_device seed;
  std::mt19937 random(seed());
  for (int i = 0; i < NamesTried; ++i) {
    const std::string name = folder == "." ? NewName(random) : folder + "/" + NewName(random);
    const int fd = FileCallFails(FileCall::Create)
                       ? -1
                       : open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      why = std::strerror(errno);
      return false;
    }
    flock(fd, LOCK_EX);  // a new file of our own: nobody else holds it
    file = {name, fd};
    return true;
  }
  why = "no free temporary name";
  return false;
}

void RemoveTemporary(TemporaryFile& file) {
  if (!file.Name.empty()) unlink(file.Name.c_str());
  ForgetTemporary(file);
}

void ForgetTemporary(TemporaryFile& file) {
  if (file.Fd >= 0) close(file.Fd);
  file = {};
}

bool PutTemporaryInPlace(TemporaryFile& file, const std::string& name, std::string& why, unsigned newMode) {
  struct stat replaced;
  if (stat(name.c_str(), &replaced) == 0) {
    fchmod(file.Fd, replaced.st_mode & 07777);
    // Another owner can be given only with the rights for it; the mode stays.
    if (fchown(file.Fd, replaced.st_uid, replaced.st_gid) != 0) fchown(file.Fd, static_cast<uid_t>(-1), replaced.st_gid);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(file.Fd, newMode & ~mask);
  }
  if (FileCallFails(FileCall::Sync) || fsync(file.Fd) != 0) {
    why = std::string("fsync: ") + std::strerror(errno);
    return false;
  }
  if (FileCallFails(FileCall::Rename) || rename(file.Name.c_str(), name.c_str()) != 0) {
    why = std::string("rename: ") + std::strerror(errno);
    return false;
  }
  ForgetTemporary(file);
  const int folderFd = open(FolderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return true;
}

bool IsTemporaryName(const std::string& name) {
  if (name.size() != PrefixLength + LettersLength || name.compare(0, PrefixLength, Prefix) != 0) return false;
  for (size_t i = PrefixLength; i < name.size(); ++i) {
    if (!IsLetter(name[i])) return false;
  }
  return true;
}

void RemoveAbandonedTemporaries(const std::string& folderName) {
  DIR* folder = opendir(folderName.c_str());
  if (!folder) return;
  while (const dirent* entry = readdir(folder)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    const std::string name = folderName + "/" + entry->d_name;
    // Held by nobody, and still the file of that name, a regular file of ours.
    const int fd = OpenAlone(name);
    if (fd < 0) continue;
    struct stat opened;
    if (fstat(fd, &opened) == 0 && opened.st_uid == getuid() && HoldsWhatTemporariesHold(fd)) unlink(name.c_str());
    close(fd);
  }
  closedir(folder);
}

}  // namespace terrafix
