// Schematics (.schematic): a gzip stream of one big-endian NBT compound
// named "Schematic". `Width` is x, `Height` is up and `Length` the plan's
// other axis, all shorts; `Blocks` holds Width x Height x Length bytes at
// (y x Length + z) x Width + x with y up: the editor's own order (its y is
// Length, its height is Height). `Data` holds a byte a block, its variant.
// `Materials` says how blocks are numbered: "Classic", the game's own, or
// "Alpha", the later game's (mapped to the closest classic blocks on load).
//
// The reader walks every tag with every length, count and depth checked; a
// schematic read is written back with only Blocks new, every other tag as it
// came (an Alpha one as Classic, its Data zero).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/found_level.h"
#include "formats/level_formats.h"
#include "level/level.h"

namespace terrafix {

// What the bytes of an uncompressed schematic, or of its start, are as a level.
FoundLevel FindSchematic(std::span<const uint8_t> file);

// A new schematic around the level's cells, as the game's client writes one:
// Materials "Classic", the sizes, Blocks, Data all zero, and empty Entities
// and TileEntities.
FileParts NewSchematicParts(const Level& level, const NewFileFacts& facts);

// Takes the found schematic into `level`. An Alpha one has its blocks mapped
// and becomes Classic; what is said of that ("Mapped 12,345 cells of 23
// kinds the game lacks; 210 became stone; saves as Classic") is returned,
// else nothing.
std::string TakeSchematic(std::vector<uint8_t>& file, const FoundLevel& found, Level& level);

}  // namespace terrafix
