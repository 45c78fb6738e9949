#include "files/level_names.h"

#include <cstdint>
#include <filesystem>
#include <vector>

#include "formats/header_template.h"
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

// The ending of the compressed file a name stands for, taken off the name;
// `spelled` gets it as the name spells it where that differs.
std::string TakeEnding(std::string_view& name, std::string& spelled, std::string_view withoutEnding) {
  const std::string_view ending = FormEndingOf(name);
  if (ending.empty()) return std::string(withoutEnding);
  if (name.substr(name.size() - ending.size()) != ending) spelled = name.substr(name.size() - ending.size());
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

// The same file as headers.dat in the working folder, or the same place
// whether it is there or not: the paths' folders resolved through links.
bool NamesTheTemplate(const std::string& name) {
  auto placeOf = [](const std::string& path) {
    std::error_code error;
    const std::filesystem::path place = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return error ? std::filesystem::path() : place;
  };
  const std::filesystem::path place = placeOf(name);
  return (!place.empty() && place == placeOf(HeaderTemplateFile)) || SameFile(name, HeaderTemplateFile);
}

}  // namespace

std::string_view FormEndingOf(std::string_view fileName) {
  for (const LevelFormat& format : LevelFormats()) {
    if (EndsWith(fileName, format.Ending)) return format.Ending;
  }
  return {};
}

LevelName NameOfLevel(std::string_view typed, std::string_view withoutEnding) {
  std::string spelled;
  const std::string ending = TakeEnding(typed, spelled, withoutEnding);
  LevelName level{std::string(typed), {}, ending, spelled};
  for (char c : typed) AppendUtf8(level.File, Cp437ToUnicode(static_cast<unsigned char>(c)));
  // A typed ".DAT" means name.dat, as it always has; a ".CW" the file as
  // typed, or the file name.cw where only that one is there.
  if (level.Ending == LevelFileEnding ||
      (!level.Spelled.empty() && KindOfFile(level.Compressed()) == FileKind::Missing &&
       KindOfFile(level.File + ending) != FileKind::Missing)) {
    level.Spelled.clear();
  }
  return level;
}

LevelName NameOfLevelFile(std::string_view fileName) {
  const std::string whole(fileName);
  std::string spelled;
  const std::string ending = TakeEnding(fileName, spelled, LevelFileEnding);
  if (whole.size() == fileName.size() + ending.size() || !IsGzipFile(whole)) {
    return {Cp437TextOf(fileName), std::string(fileName), ending, spelled};
  }
  return {Cp437TextOf(whole), whole, "", ""};
}

NameRefusalTexts TextsOf(NameRefusal refusal) {
  struct Row {
    NameRefusal Refusal;
    NameRefusalTexts Texts;
  };
  static constexpr Row Rows[] = {
      {NameRefusal::HeaderTemplate, {"headers.dat holds the headers of every level", TemplateNameMessage}},
      {NameRefusal::NotAPlainFile, {"a link, a folder or another special file", NotAPlainFileMessage}},
      {NameRefusal::NotALevelFile,
       {"a file beside it of its name without the ending is not a level", NotALevelFileMessage}},
  };
  for (const Row& row : Rows) {
    if (row.Refusal == refusal) return row.Texts;
  }
  return {};
}

NameRefusal RefusalOf(const LevelName& level, bool writesOverUncompressed) {
  if (NamesTheTemplate(level.Compressed()) || NamesTheTemplate(level.File)) return NameRefusal::HeaderTemplate;
  if (KindOfFile(level.Compressed()) == FileKind::Other) return NameRefusal::NotAPlainFile;
  if (level.Ending != LevelFileEnding) return NameRefusal::None;
  const FileKind uncompressed = KindOfFile(level.File);
  if (uncompressed == FileKind::Other) return NameRefusal::NotAPlainFile;
  const int64_t size = SizeOfFile(level.File);
  if (writesOverUncompressed && uncompressed == FileKind::Regular && size != 0 && size != LevelFileLength) {
    return NameRefusal::NotALevelFile;
  }
  return NameRefusal::None;
}

}  // namespace terrafix
