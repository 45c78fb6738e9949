#include "files/compressor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/programs/run_program.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {

constexpr const char* SystemCompressor = "gzip";
constexpr const char* FastCompressor = "libdeflate-gzip";
constexpr const char* FastDecompressor = "libdeflate-gunzip";
// libdeflate-gzip's levels: the least whose files are no larger than gzip's
// own (-6) on every level measured (tools/compressors.sh), and its fastest,
// for work kept as the editor ends.
constexpr const char* SavedLevel = "-7";
constexpr const char* KeptLevel = "-1";
// What libdeflate-gunzip may map besides the level and the compressed file
// it holds whole: the program, its libraries and its heap's own.
constexpr uint64_t ReaderOwnMemory = uint64_t{64} << 20;

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

// The programs of this run: the compressor, and libdeflate's pair where
// they stand in for it (else empty).
struct Programs {
  std::string Compressor, Fast, FastReader;
};

Programs ChosenPrograms() {
  const std::string local = std::string("./") + CompressorName;
  if (FolderCompressorAllowed && IsRunnableFile(local)) return {local, {}, {}};
  if (const char* named = std::getenv(CompressorVariable); named && *named) {
    const std::string name = named;
    const std::string found = name.find('/') == std::string::npos ? OnSearchPath(name) : name;
    return {found.empty() ? name : found, {}, {}};  // (one not found is named by its failure)
  }
  return {OnSearchPath(SystemCompressor), OnSearchPath(FastCompressor), OnSearchPath(FastDecompressor)};
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
  uint64_t Size() const {
    struct stat info;
    const bool known = Fd < 0 ? stat(Name.c_str(), &info) == 0 : fstat(Fd, &info) == 0;
    return known && info.st_size > At ? static_cast<uint64_t>(info.st_size - At) : 0;
  }
};

// gzip reads the level on its own, as it comes, stopped once more comes than
// its start promises.
int DecompressByCompressor(const std::string& program, const Compressed& from, std::vector<uint8_t>& bytes,
                           size_t limit, const OutputStart& start) {
  return RunProgramAndWait(
      program, from.Arguments({"-d", "-c"}),
      {.FromFile = from.Fd, .Bytes = &bytes, .Limit = limit, .StartLength = start.Length, .OnStart = start.Room},
      WhileCompressing());
}

// libdeflate-gunzip holds the whole level in memory before it writes any of
// it, so it runs only once gzip has read the level's start, within the
// memory that start promises. A level shorter than a start is read whole by
// gzip alone. What the fast reader cannot do (a file that is no gzip, cut
// short, with bytes after its end, or more than it promised) gzip reads
// again, and its account is the load's.
int Decompress(const Compressed& from, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
  const Programs programs = ChosenPrograms();
  if (programs.FastReader.empty() || !start.Room) {
    return DecompressByCompressor(programs.Compressor, from, bytes, limit, start);
  }
  int result = RunProgramAndWait(programs.Compressor, from.Arguments({"-d", "-c"}),
                                 {.FromFile = from.Fd, .Bytes = &bytes, .Limit = start.Length}, WhileCompressing());
  if (result == 0) {  // all of it
    const OutputRoom room = start.Room(bytes);
    return bytes.size() <= room.Limit ? 0 : ProgramOutputTooLong;
  }
  if (result != ProgramOutputTooLong) return result;
  const OutputRoom promised = start.Room({bytes.data(), start.Length});
  if (promised.Limit < start.Length) return ProgramOutputTooLong;  // refused by its start
  if (!from.Rewind()) return ProgramCannotStart;
  result = RunProgramAndWait(programs.FastReader, from.Arguments({"-c"}),
                             {.FromFile = from.Fd,
                              .Bytes = &bytes,
                              .Limit = limit,
                              .StartLength = start.Length,
                              .OnStart = start.Room,
                              .AddressSpace = promised.Limit + from.Size() + ReaderOwnMemory},
                             WhileCompressing());
  if (result == 0 || result == ProgramStopped) return result;
  if (!from.Rewind()) return ProgramCannotStart;
  return DecompressByCompressor(programs.Compressor, from, bytes, limit, start);
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
    return RunProgramAndWait(programs.Fast, {how == Compression::Saved ? SavedLevel : KeptLevel, "-c", AsFileArgument(name)},
                             {.ToFile = to}, wait);
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
