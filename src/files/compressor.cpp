#include "files/compressor.h"

#include <cstdlib>
#include <string_view>

#include "platform/programs/run_program.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {

constexpr const char* SystemCompressor = "gzip";
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

}  // namespace

void AllowFolderCompressor(bool allowed) { FolderCompressorAllowed = allowed; }

std::string CompressorProgram() {
  const std::string local = std::string("./") + CompressorName;
  if (FolderCompressorAllowed && IsRunnableFile(local)) return local;
  return OnSearchPath(SystemCompressor);
}

int CompressInto(const std::string& name, int to, bool attended) {
  // -n: the temporary name the level is written under stays out of the file.
  return RunProgramAndWait(CompressorProgram(), {"-c", "-n", AsFileArgument(name)}, {.ToFile = to},
                           attended ? WhileCompressing() : ProgramWait{});
}

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
