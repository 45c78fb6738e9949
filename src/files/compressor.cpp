#include "files/compressor.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/programs/run_program.h"

namespace terrafix {

namespace {

constexpr const char* SystemCompressor = "gzip";
constexpr const char* Suffix = ".dat";

std::string OnSearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/bin:/bin";
  for (;;) {
    const size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

// A file name as an argument: one that starts with "-" is given its folder,
// so that it reads as a file to any program.
std::string AsFileArgument(const std::string& name) { return name.starts_with('-') ? "./" + name : name; }

}  // namespace

std::string CompressorProgram() {
  const std::string local = std::string("./") + CompressorName;
  if (access(local.c_str(), F_OK) == 0) return local;
  return OnSearchPath(SystemCompressor);
}

int Compress(const std::string& name) {
  return RunProgramAndWait(CompressorProgram(), {"-S", Suffix, AsFileArgument(name)});
}

int Decompress(const std::string& name) {
  return RunProgramAndWait(CompressorProgram(), {"-d", "-S", Suffix, AsFileArgument(name + Suffix)});
}

}  // namespace terrafix
