// Helpers for tests that run the editor on the in-memory surface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/header_template.h"
#include "level/level.h"
#include "memory_surface.h"

namespace terrafix::testing {

// Opens a fresh in-memory screen and returns its surface.
MemorySurface& FreshScreen();

uint32_t PixelAt(int x, int y);
// The characters on text row `row` from `column`, `count` of them, read back
// from the frame by their glyphs (blank cells read as ' ').
std::string TextAt(int row, int column, int count);
// The same, read from any 1050 x 800 frame (a screenshot).
std::string TextIn(const uint32_t* frame, int row, int column, int count);
// Queues keys typed as text (each byte one key) for the editor to take, one
// each time it gathers events.
void ScriptKeys(MemorySurface& surface, const std::string& keys);

// A fresh temporary folder that becomes the working directory for the test's
// lifetime.
class WorkingFolder {
 public:
  WorkingFolder();
  ~WorkingFolder();
  const std::filesystem::path& Path() const { return Folder; }

 private:
  std::filesystem::path Folder;
  std::filesystem::path Previous;
};

std::string ReadWholeFile(const std::filesystem::path& path);
// What a shell command writes to its standard output.
std::string CommandOutput(const std::string& command);
// The uncompressed content of a gzip file, through the system's gzip.
std::string Gunzip(const std::filesystem::path& file);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
// `bytes` compressed by the system's gzip into `file`.
void WriteGzipped(const std::filesystem::path& file, const std::string& bytes);
// The uncompressed level file of `grid` with the template, as a save writes it.
std::string LevelFileOf(const Level& grid, HeaderTemplate& header);
// The files of kept work in a state folder (its terrafix/ folder), in name
// order: those still to be offered (".kept") and those declined once.
std::vector<std::filesystem::path> KeptWorkFiles(const std::filesystem::path& stateFolder);

}  // namespace terrafix::testing
