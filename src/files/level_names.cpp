#include "files/level_names.h"

#include <cstdint>
#include <filesystem>
#include <vector>

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
  const std::string_view ending = FormEndingOf(name);
  if (ending.empty()) return std::string(LevelFileEnding);
  name.remove_suffix(ending.size());
  return std::string(ending);
}

// Whether the file begins as a gzip stream does.
bool IsGzipFile(const std::string& name) {
  constexpr uint8_t GzipStart[] = {0x1F, 0x8B};
  std::vector<uint8_t> start;
  std::string why;
  return KindOfFile(name) == FileKind::Regular && ReadFileStart(name, start, sizeof GzipStart, why) &&
         start.size() == sizeof GzipStart && start[0] == GzipStart[0] && start[1] == GzipStart[1];
}

bool NamesTheTemplate(const std::string& name) {
  return std::filesystem::path(name).lexically_normal() == HeaderTemplateFile || SameFile(name, HeaderTemplateFile);
}

}  // namespace

std::string_view FormEndingOf(std::string_view fileName) {
  for (std::string_view ending : {LevelFileEnding, ClassicWorldEnding, ServerMapEnding}) {
    if (EndsWith(fileName, ending)) return ending;
  }
  return {};
}

LevelName NameOfLevel(std::string_view typed) {
  const std::string ending = TakeEnding(typed);
  LevelName level{std::string(typed), {}, ending};
  for (char c : typed) AppendUtf8(level.File, Cp437ToUnicode(static_cast<unsigned char>(c)));
  return level;
}

LevelName NameOfLevelFile(std::string_view fileName) {
  const std::string whole(fileName);
  const std::string ending = TakeEnding(fileName);
  if (whole.size() == fileName.size() + ending.size() || !IsGzipFile(whole)) {
    return {Cp437TextOf(fileName), std::string(fileName), ending};
  }
  return {Cp437TextOf(whole), whole, ""};
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
