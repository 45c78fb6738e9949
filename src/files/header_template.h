// The header and trailer that every level file carries around its cells, read
// from headers.dat, and the buffers that level-file transfers go through.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/file_order.h"

namespace terrafix {

constexpr const char* HeaderTemplateFile = "headers.dat";
constexpr int HeaderLength = 319;                 // bytes in front of the cells
constexpr int TrailerLength = 75;                 // bytes behind the cells
constexpr int64_t CellsOffset = HeaderLength;     // offset of cell (0, 0, 0)
constexpr int64_t TrailerOffset = 4'194'623;      // offset of the trailer
constexpr int64_t LevelFileLength = 4'194'698;    // an uncompressed level file
// The most a load takes of an uncompressed file: a level file and room for
// the longer headers and trailers that other writers of the game's levels use.
constexpr size_t LargestLevelFile = LevelFileLength + 1024 * 1024;

struct HeaderTemplate {
  // Where the template is read from: headers.dat in the working folder, or
  // the installed one where the editor has no folder of its own to work in.
  std::string TemplateFile = HeaderTemplateFile;
  // Read in TemplateFile's place when that is missing; then the built-in copy.
  std::string InstalledFile;
  std::array<uint8_t, 320> HeaderBytes{};   // 0..318 the header; 319 gets overwritten by the first cell
  std::array<uint8_t, 75> TrailerBytes{};
  std::array<uint8_t, 257> RowBuffer{};     // one row of cells and one byte more
  std::array<uint8_t, 320> CompareBuffer{}; // the start of a file being loaded
  // The cells of a file being saved or loaded, in the file's order.
  std::vector<uint8_t> FileOrderCells = std::vector<uint8_t>(FileOrderLength);
  // A level loaded from a file of another variant of the game's format keeps
  // every byte of that file before its cells and after them, and is saved
  // with them; empty for a level of the template's layout. New and a Load of
  // such a level empty them again.
  std::vector<uint8_t> OwnHeader;
  std::vector<uint8_t> OwnTrailer;
  enum class Format { Template, GameLevel, ClassicWorld } OwnFormat = Format::Template;
  size_t OwnTimeOffset = 0;  // a ClassicWorld's LastModified, from the file's start; 0 for none
};

// Back to the template's layout: the level's own header and trailer gone.
void ForgetOwnParts(HeaderTemplate& header);

// Fills HeaderBytes from offsets 0..319 and TrailerBytes from 319..393 of
// TemplateFile; what a short or empty file lacks reads as zeros. Where
// TemplateFile is missing, the installed headers.dat (`installedFile`) is
// read in its place, and where that is missing too, the copy built into the
// program: the game's own template, never zeros. No file is created.
void ReadHeaderTemplate(HeaderTemplate& header);

// data/headers.dat as the program carries it.
extern const uint8_t BuiltInTemplate[];
extern const size_t BuiltInTemplateSize;

}  // namespace terrafix
