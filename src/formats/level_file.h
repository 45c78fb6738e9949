// An uncompressed level file: what stands before the cells, the cells as the
// level holds them, what stands after them. For a level of the template's
// form that is headers.dat's 319 header bytes (for a level of another size
// than 256 x 256 x 64, with its size written in), the cells and its 75
// trailer bytes; for a level with a form of its own, its own header and
// trailer.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "formats/header_template.h"
#include "formats/level_formats.h"
#include "level/level.h"

namespace terrafix {

// The template's header for a level of this size: its width, height and
// depth and the length of its cell array set to the level's where the
// template is a level of the game's format.
std::vector<uint8_t> TemplateHeaderFor(const Level& level, const HeaderTemplate& header);

// A new level file of the game's format: the template's header, for the
// level's size, and its trailer.
FileParts NewGameLevelParts(const Level& level, const NewFileFacts& facts);

// Writes the whole file, in the level's own form, into an open slot.
void WriteLevelFile(int slot, const Level& level, const HeaderTemplate& header);

// A file of `before`, the cells and `after`.
void WriteAround(int slot, std::span<const uint8_t> before, std::span<const uint8_t> cells,
                 std::span<const uint8_t> after);

// Whether the first 319 bytes of an uncompressed file are the template's
// header (what the file lacks compared as zeros).
bool HeaderMatches(std::span<const uint8_t> file, const HeaderTemplate& header);

// A file of the template's layout, whose header has passed the check, as a
// level of 256 x 256 x 64: what the file lacks reads as zeros, bytes past the
// trailer are not looked at.
void ReadTemplateLevel(std::span<const uint8_t> file, Level& level);

// A file of another layout whose width x length x height cells begin at
// `cellsOffset` and are all there becomes the level; the bytes before and
// after them become its own parts (its form's kind is the caller's to set).
// The file's bytes are taken, not copied: the file is the level's cells
// afterwards.
void TakeOwnLevel(std::vector<uint8_t>& file, size_t cellsOffset, int32_t width, int32_t length, int32_t height,
                  Level& level);

}  // namespace terrafix
