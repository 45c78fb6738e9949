#include "files/compressor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "files/gzip_in_memory.h"

#include "platform/programs/run_program.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {

constexpr const char* SystemCompressor = "gzip";
constexpr const char* FastCompressor = "libdeflate-gzip";
// libdeflate-gzip's levels: the least whose files are no larger than gzip's
// own (-6) on every level measured (size_ratio of the benchmarks of saves;
// at -6 a level of terrain comes out 0.5 % larger), and its fastest, for
// work kept as the editor ends.
constexpr const char* SavedLevel = "-7";
constexpr const char* KeptLevel = "-1";

bool FolderCompressorAllowed = false;

std::string OnSearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path && *path ? path : "/usr/bin:/bin";
  for (;;) {
    const size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    // An empty entry or "." would be the working folder: never the level folder's program.
    if (!folder.empty() && folder.starts_with('/')) {
      const std::string candidate = folder + "/" + name;
      if (IsRunnableFile(candidate)) return candidate;
    }
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

// A file name as an argument: one that starts with "-" is given its folder,
// so that it reads as a file to any program.
std::string AsFileArgument(const std::string& name) { return name.starts_with('-') ? "./" + name : name; }

// The terminal is the compressor's for its messages; Esc stops it, and so
// does a signal that ends the editor (acted on only once the compressor and
// whatever it started have ended, and the command has removed its
// temporaries).
ProgramWait WhileCompressing() {
  return {LendTerminal, TakeTerminalBack, [] { return EndSignalPending() || TakeQueuedKey(KeyEsc); }};
}

// The programs of this run: the compressor, libdeflate-gzip where it stands
// in for it to compress (else empty), and whether libdeflate reads in the
// editor's memory what the compressor would.
struct Programs {
  std::string Compressor, Fast;
  bool InMemory = false;
};

Programs ChosenPrograms() {
  const std::string local = std::string("./") + CompressorName;
  if (FolderCompressorAllowed && IsRunnableFile(local)) return {local, {}, false};
  if (const char* named = std::getenv(CompressorVariable); named && *named) {
    const std::string name = named;
    const std::string found = name.find('/') == std::string::npos ? OnSearchPath(name) : name;
    return {found.empty() ? name : found, {}, false};  // (one not found is named by its failure)
  }
  const std::string gzip = OnSearchPath(SystemCompressor);
  return {gzip, OnSearchPath(FastCompressor), CanInflateInMemory() && !gzip.empty()};
}

// A compressed level: the file `Name`, or the open file `Fd` from `At` on.
struct Compressed {
  std::string Name;
  int Fd = -1;
  off_t At = 0;

  std::vector<std::string> Arguments(std::vector<std::string> options) const {
    if (Fd < 0) options.push_back(AsFileArgument(Name));
    return options;
  }
  bool Rewind() const { return Fd < 0 || lseek(Fd, At, SEEK_SET) == At; }

  // The whole of it, when that is at most `most` bytes.
  bool ReadWhole(size_t most, std::vector<uint8_t>& bytes) const {
    const int fd = Fd >= 0 ? Fd : open(Name.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    bool read = fd >= 0 && fstat(fd, &info) == 0 && info.st_size >= At &&
                static_cast<uint64_t>(info.st_size - At) <= most;
    try {
      if (read) bytes.resize(static_cast<size_t>(info.st_size - At));
    } catch (const std::bad_alloc&) {
      read = false;
    }
    for (size_t done = 0; read && done < bytes.size();) {
      const ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, At + static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      read = n > 0;
      done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    if (Fd < 0 && fd >= 0) close(fd);
    return read;
  }
};

// gzip reads the level's start, which says how large the level is (a level
// shorter than a start it reads whole); then libdeflate inflates the whole
// file into that room at once, in the editor's memory, several times faster
// than gzip. A file it cannot read whole in that room (no gzip, cut short,
// larger than its start promises, anything after its end) gets no result
// here: gzip reads it as ever, and decides.
std::optional<int> DecompressInMemory(const std::string& gzip, const Compressed& from, std::vector<uint8_t>& bytes,
                                      const OutputStart& start) {
  const int result = RunProgramAndWait(gzip, from.Arguments({"-d", "-c"}),
                                       {.FromFile = from.Fd, .Bytes = &bytes, .Limit = start.Length}, WhileCompressing());
  if (result == 0) {  // all of it
    const OutputRoom room = start.Room(bytes);
    return bytes.size() <= room.Limit ? 0 : ProgramOutputTooLong;
  }
  if (result != ProgramOutputTooLong) return result;
  const OutputRoom promised = start.Room({bytes.data(), start.Length});
  if (promised.Limit < start.Length) return ProgramOutputTooLong;  // refused by its start
  // Deflate's stored blocks make a level at most a little larger than it is.
  const size_t mostCompressed = promised.Room + promised.Room / 64 + 1024;
  std::vector<uint8_t> compressed;
  if (!from.ReadWhole(mostCompressed, compressed) || !InflateInMemory(compressed, promised.Room, bytes)) {
    return std::nullopt;
  }
  return 0;
}

// Else gzip reads as the level comes: the editor takes each part as it is
// written, and stops it once more comes than the level's start promises.
int Decompress(const Compressed& from, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
  const Programs programs = ChosenPrograms();
  if (programs.InMemory && start.Room) {
    if (const std::optional<int> result = DecompressInMemory(programs.Compressor, from, bytes, start)) return *result;
    if (!from.Rewind()) return ProgramCannotStart;
  }
  return RunProgramAndWait(
      programs.Compressor, from.Arguments({"-d", "-c"}),
      {.FromFile = from.Fd, .Bytes = &bytes, .Limit = limit, .StartLength = start.Length, .OnStart = start.Room},
      WhileCompressing());
}

}  // namespace

void AllowFolderCompressor(bool allowed) { FolderCompressorAllowed = allowed; }

std::string CompressorProgram() { return ChosenPrograms().Compressor; }

std::string CompressingProgram() {
  const Programs programs = ChosenPrograms();
  return programs.Fast.empty() ? programs.Compressor : programs.Fast;
}

int CompressInto(const std::string& name, int to, bool attended, Compression how) {
  const Programs programs = ChosenPrograms();
  const ProgramWait wait = attended ? WhileCompressing() : ProgramWait{};
  if (!programs.Fast.empty()) {
    // (It writes no name into the file.)
    const char* level = how == Compression::Saved ? SavedLevel : KeptLevel;
    return RunProgramAndWait(programs.Fast, {level, "-c", AsFileArgument(name)}, {.ToFile = to}, wait);
  }
  // -n: the temporary name the level is written under stays out of the file.
  return RunProgramAndWait(programs.Compressor, {"-c", "-n", AsFileArgument(name)}, {.ToFile = to}, wait);
}

int DecompressInto(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
  return Decompress({.Name = name}, bytes, limit, start);
}

int DecompressFrom(int from, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
  const off_t at = lseek(from, 0, SEEK_CUR);
  return Decompress({.Name = {}, .Fd = from, .At = at < 0 ? 0 : at}, bytes, limit, start);
}

}  // namespace terrafix
