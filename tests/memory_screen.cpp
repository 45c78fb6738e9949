#include "memory_screen.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "formats/level_file.h"
#include "platform/files/byte_files.h"
#include "platform/screen/font_cp437.h"
#include "platform/screen/screen.h"

namespace terrafix {

}  // namespace terrafix

namespace terrafix::testing {

MemorySurface& FreshScreen() { return OpenMemoryScreen(); }

uint32_t PixelAt(int x, int y) { return FramePixels()[y * ScreenWidth + x]; }

std::string TextAt(int row, int column, int count) { return TextIn(FramePixels(), row, column, count); }

std::string TextIn(const uint32_t* frame, int row, int column, int count) {
  std::string out;
  for (int c = column; c < column + count; ++c) {
    unsigned char rows[8] = {};
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        uint32_t p = frame[((row - 1) * 8 + y) * ScreenWidth + (c - 1) * 8 + x];
        if (p == TextForeground) rows[y] |= static_cast<unsigned char>(0x80 >> x);
      }
    }
    char found = '?';
    for (int code = 32; code < 256 && found == '?'; ++code) {
      if (std::memcmp(FontCp437[code], rows, 8) == 0) found = static_cast<char>(code);
    }
    out += found;
  }
  return out;
}

void ScriptKeys(MemorySurface& surface, const std::string& keys) {
  for (unsigned char c : keys) surface.ScriptedKeys.push_back(c);
}

WorkingFolder::WorkingFolder() : Previous(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "terrafix-test-XXXXXX").string();
  Folder = mkdtemp(pattern.data());
  std::filesystem::current_path(Folder);
}

WorkingFolder::~WorkingFolder() {
  std::filesystem::current_path(Previous);
  std::error_code ignored;
  std::filesystem::permissions(Folder, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(Folder, ignored);
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::string Gunzip(const std::filesystem::path& file) {
  return CommandOutput("gzip -dc -- '" + file.string() + "' 2>/dev/null");
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void WriteGzipped(const std::filesystem::path& file, const std::string& bytes) {
  const std::string raw = file.string() + ".raw";
  WriteWholeFile(raw, bytes);
  std::system(("gzip -c -n '" + raw + "' > '" + file.string() + "'").c_str());
  std::filesystem::remove(raw);
}

std::string LevelFileOf(const Level& grid, HeaderTemplate& header) {
  const std::string name = ".reference-" + std::to_string(getpid());
  OpenByteFile(name, LastFileSlot);
  WriteLevelFile(LastFileSlot, grid, header);
  CloseFile(LastFileSlot);
  std::string bytes = ReadWholeFile(name);
  std::filesystem::remove(name);
  return bytes;
}

std::vector<std::filesystem::path> KeptWorkFiles(const std::filesystem::path& stateFolder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(stateFolder / "terrafix", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("unsaved-") && (name.ends_with(".kept") || name.ends_with(".declined"))) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace terrafix::testing
