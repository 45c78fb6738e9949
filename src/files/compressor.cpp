#include "files/compressor.h"

#include <cstdlib>
#include <string_view>

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

// The programs of this run: the compressor, and libdeflate-gzip where it
// stands in for it to compress (else empty).
struct Programs {
  std::string Compressor, Fast;
};

Programs ChosenPrograms() {
  const std::string local = std::string("./") + CompressorName;
  if (FolderCompressorAllowed && IsRunnableFile(local)) return {local, {}};
  if (const char* named = std::getenv(CompressorVariable); named && *named) {
    const std::string name = named;
    const std::string found = name.find('/') == std::string::npos ? OnSearchPath(name) : name;
    return {found.empty() ? name : found, {}};  // (one not found is named by its failure)
  }
  return {OnSearchPath(SystemCompressor), OnSearchPath(FastCompressor)};
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

// gzip reads as the level comes, so the editor takes each part as it is
// written, and stops it once more comes than the level's start promises.
int DecompressInto(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
  return RunProgramAndWait(
      CompressorProgram(), {"-d", "-c", AsFileArgument(name)},
      {.Bytes = &bytes, .Limit = limit, .StartLength = start.Length, .OnStart = start.Room}, WhileCompressing());
}

int DecompressFrom(int from, std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start) {
  return RunProgramAndWait(
      CompressorProgram(), {"-d", "-c"},
      {.FromFile = from, .Bytes = &bytes, .Limit = limit, .StartLength = start.Length, .OnStart = start.Room},
      WhileCompressing());
}

}  // namespace terrafix
