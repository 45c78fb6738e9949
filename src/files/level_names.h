// The level that a typed name stands for, and the names a command refuses.
#pragma once

#include <string>
#include <string_view>

#include "formats/level_formats.h"

namespace terrafix {

struct LevelName {
  std::string Shown;  // as typed, in code page 437, without its ending: what messages name
  std::string File;   // the uncompressed level file: the same name in UTF-8
  // Of the compressed file, as a format's row spells it: ".dat", ".cw",
  // ...; empty for a file opened by its content under a name of its own.
  std::string Ending = std::string(LevelFileEnding);
  // The ending as the compressed file's name spells it (".CW" for OUT.CW);
  // empty where it is spelled as Ending is.
  std::string Spelled;
  std::string SpelledEnding() const { return Spelled.empty() ? Ending : Spelled; }
  std::string Compressed() const { return File + SpelledEnding(); }
};

// A typed name that ends in ".dat" (in any letter case) stands for the same
// level without it; one that ends in another format's ending, as ".cw", for
// that file, spelled as typed (of a file that is there only in lower case,
// as that file is); one with none for name.dat (for name and
// `withoutEnding`, where that is given).
LevelName NameOfLevel(std::string_view typed, std::string_view withoutEnding = LevelFileEnding);
// The same for a file's name as the file system has it (UTF-8), as from the
// command line, its ending spelled as given; messages show what code page
// 437 has of it. A gzip stream named otherwise (a renamed level) stands for
// itself.
LevelName NameOfLevelFile(std::string_view fileName);
// The ending of the level formats that a file's name ends in (in any letter
// case), as the format's row spells it; empty for none.
std::string_view FormEndingOf(std::string_view fileName);

enum class NameRefusal {
  None,
  HeaderTemplate,  // it would be headers.dat, or write it
  NotAPlainFile,   // the file or name.dat is a link, a folder, a pipe...
  NotALevelFile,   // the uncompressed file is the user's own: neither a level file nor empty
};

// Names the commands refuse, each message filling row 1 from column 40.
constexpr std::string_view TemplateNameMessage =
    "Can't use that name: headers.dat holds the headers of every level, press any key...         ";
constexpr std::string_view NotAPlainFileMessage =
    "Can't use that name: it is a link, a folder or another special file, press any key...       ";
constexpr std::string_view NotALevelFileMessage =
    "Can't use that name: a file of that name is there and is not a level, press any key...      ";
static_assert(TemplateNameMessage.size() == 92 && NotAPlainFileMessage.size() == 92 &&
              NotALevelFileMessage.size() == 92);

// The texts of a refusal: why, for standard error and the command line; and
// its message, for Load and Save.
struct NameRefusalTexts {
  std::string_view Why;
  std::string_view Message;
};
NameRefusalTexts TextsOf(NameRefusal refusal);

// Why a command may not use the name. `writesOverUncompressed`: the command
// would replace the uncompressed file (a save, or a load that decompresses).
// Only a level of the game's format (.dat) has an uncompressed file beside it
// to care about. headers.dat is told by what file it is, however its name is
// spelled (a path to it, a link).
NameRefusal RefusalOf(const LevelName& level, bool writesOverUncompressed);

}  // namespace terrafix
