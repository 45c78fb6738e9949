#include "files/folder_cleanup.h"

#include <filesystem>
#include <string>

#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"

namespace terrafix {

namespace {
constexpr std::string_view KeptSuffix = ".dat.terrafix-kept";
constexpr std::string_view DatSuffix = ".dat";
}  // namespace

void CleanUpFolder() {
  RemoveAbandonedTemporaries();
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
    const std::string kept = entry.path().filename().string();
    if (kept.size() <= KeptSuffix.size() || !kept.ends_with(KeptSuffix)) continue;
    const std::string level = kept.substr(0, kept.size() - KeptSuffix.size()) + std::string(DatSuffix);
    if (KindOfFile(kept) == FileKind::Regular && KindOfFile(level) == FileKind::Missing) MoveFile(kept, level);
  }
}

}  // namespace terrafix
