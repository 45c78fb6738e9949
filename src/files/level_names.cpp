#include "files/level_names.h"

#include <filesystem>

#include "files/header_template.h"
#include "platform/files/file_system.h"
#include "platform/text/cp437.h"
#include "platform/text/utf8.h"

namespace terrafix {

namespace {

// Whether `name` ends in `ending`, in any letter case.
bool EndsWith(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  std::string_view end = name.substr(name.size() - ending.size());
  for (size_t i = 0; i < ending.size(); ++i) {
    const char c = end[i] >= 'A' && end[i] <= 'Z' ? static_cast<char>(end[i] - 'A' + 'a') : end[i];
    if (c != ending[i]) return false;
  }
  return true;
}

// The ending of the compressed file a name stands for, taken off the name.
std::string TakeEnding(std::string_view& name) {
  for (std::string_view ending : {LevelFileEnding, ClassicWorldEnding}) {
    if (!EndsWith(name, ending)) continue;
    name.remove_suffix(ending.size());
    return std::string(ending);
  }
  return std::string(LevelFileEnding);
}

bool NamesTheTemplate(const std::string& name) {
  return std::filesystem::path(name).lexically_normal() == HeaderTemplateFile || SameFile(name, HeaderTemplateFile);
}

}  // namespace

LevelName NameOfLevel(std::string_view typed) {
  const std::string ending = TakeEnding(typed);
  LevelName level{std::string(typed), {}, ending};
  for (char c : typed) AppendUtf8(level.File, Cp437ToUnicode(static_cast<unsigned char>(c)));
  return level;
}

LevelName NameOfLevelFile(std::string_view fileName) {
  const std::string ending = TakeEnding(fileName);
  return {Cp437TextOf(fileName), std::string(fileName), ending};
}

NameRefusal RefusalOf(const LevelName& level, bool writesOverUncompressed) {
  if (NamesTheTemplate(level.Compressed()) || NamesTheTemplate(level.File)) return NameRefusal::HeaderTemplate;
  const FileKind uncompressed = KindOfFile(level.File);
  if (uncompressed == FileKind::Other || KindOfFile(level.Compressed()) == FileKind::Other) {
    return NameRefusal::NotAPlainFile;
  }
  const int64_t size = SizeOfFile(level.File);
  if (writesOverUncompressed && uncompressed == FileKind::Regular && size != 0 && size != LevelFileLength) {
    return NameRefusal::NotALevelFile;
  }
  return NameRefusal::None;
}

}  // namespace terrafix
