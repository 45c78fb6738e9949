// Load and Save: a typed name, the uncompressed level file of that name, and
// the compressor that turns it into name.dat (name.cw, name.lvl) and back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "files/level_names.h"
#include "formats/header_template.h"
#include "level/level.h"

namespace terrafix {

constexpr std::string_view LoadPrompt = "Type filename to load without extension (must be .dat) (blank to cancel): ";
constexpr std::string_view SavePrompt = "Type filename to save to without extension (leave blank to cancel): ";
constexpr std::string_view HeaderMismatchMessage =
    "File header check didn't match, could mean file not found, press any key...                ";
constexpr std::string_view CompressorFailureMessage =
    "Failed to (de)compress file, could mean file not found, press any key...                     ";
static_assert(LoadPrompt.size() == 74 && SavePrompt.size() == 68);
// Builds to and from files: a name without an ending is a schematic's.
constexpr std::string_view ExportPrompt = "Type filename to export (leave blank to cancel): ";
constexpr std::string_view PlacePrompt = "Type filename to place (leave blank to cancel): ";
static_assert(HeaderMismatchMessage.size() == 91 && CompressorFailureMessage.size() == 93);

// A world, a map or a file opened by its content that is none of them:
// "Not a level of any format the editor knows (.dat, .cw, ...), press any
// key...", padded.
std::string NotAnyLevelMessage();

// "castle.schematic: a schematic without Blocks", padded, the name shortened:
// a file of a format the editor knows that breaks its rules, and why.
std::string FlawedMessage(std::string_view shownName, std::string_view why);

// "castle is a level of 30000 x 30000 x 256: it needs 215 GiB, more than this
// machine has", padded to row 1's 92 columns; a name too long for them is
// shortened.
std::string TooLargeMessage(std::string_view shownName, int32_t width, int32_t length, int32_t height);

// "The editor keeps at most 64 KiB of a level's own data; this one has 70,000
// bytes", padded: a level whose header or trailer exceeds `bound`; a map or
// a schematic, whose own parts may take more, names its own bound.
std::string OwnPartMessage(size_t bytes, size_t bound, bool atLeast, const LevelFormat* format = nullptr);

// "castle.cw holds blocks numbered past 255; the editor keeps one byte a
// cell", the name shortened to keep it on row 1.
std::string WideBlocksMessage(std::string_view shownName);

// "castle.lvl is cut short: it ends inside the cells of its 64 x 64 x 64
// level, press any key...", padded: a level whose file ends before its cells
// do.
std::string CutShortMessage(std::string_view shownName, int32_t width, int32_t length, int32_t height);

// A name shown in at most `width` columns: as it is, or its start and "...".
std::string ShortenedName(std::string_view shownName, size_t width);

// The question before a save replaces a level: "world.dat exists. Replace it? (y/n) ".
std::string ReplaceQuestion(std::string_view shownName, std::string_view ending = LevelFileEnding);

// Load: the level named at the prompt into `loaded`, with its name; false,
// `loaded` untouched, when the command loaded none.
bool LoadCommand(Level& loaded, const HeaderTemplate& header);
// The same for a level named on the command line, with no prompt.
bool LoadLevel(const LevelName& name, Level& loaded, const HeaderTemplate& header);
// Save: the level under the name asked for, which becomes the level's name.
// `saved` hears of a save before its message waits for a key: the editor may
// be ended while the message is shown.
bool SaveCommand(Level& level, const HeaderTemplate& header, const std::function<void()>& saved = {});
// Export: `part` (a box of the level, as a level of its own) under the name
// asked for, in the format its ending names (a schematic without one), with
// Save's checks and its Replace question; false when nothing was written.
bool ExportCommand(const Level& part, const HeaderTemplate& header);
// Place: the level of the file asked for, of any format (name.schematic for
// a name without an ending), into `placed`; false, `placed` untouched, when
// none was read.
bool PlaceCommand(Level& placed, const HeaderTemplate& header);

}  // namespace terrafix
