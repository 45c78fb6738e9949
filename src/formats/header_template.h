// The header and trailer that a level file of the template's layout carries
// around its cells, read from headers.dat.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace terrafix {

constexpr const char* HeaderTemplateFile = "headers.dat";
constexpr int HeaderLength = 319;                 // bytes in front of the cells
constexpr int TrailerLength = 75;                 // bytes behind the cells
constexpr int64_t CellsOffset = HeaderLength;     // offset of cell (0, 0, 0)
constexpr int64_t LevelFileLength = 4'194'698;    // an uncompressed level file of 256 x 256 x 64
// The most a load of a level it cannot size from its start takes of an
// uncompressed file: a level file and room for the longer headers and
// trailers that other writers of the game's levels use.
constexpr size_t LargestLevelFile = LevelFileLength + 1024 * 1024;

struct HeaderTemplate {
  // Where the template is read from: headers.dat in the working folder, or
  // the installed one where the editor has no folder of its own to work in.
  std::string TemplateFile = HeaderTemplateFile;
  // Read in TemplateFile's place when that is missing; then the built-in copy.
  std::string InstalledFile;
  std::array<uint8_t, 320> HeaderBytes{};   // 0..318 the header; 319 is the first trailer byte, never written
  std::array<uint8_t, 75> TrailerBytes{};
};

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
