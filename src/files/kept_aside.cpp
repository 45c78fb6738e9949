#include "files/kept_aside.h"

#include "platform/files/file_system.h"

namespace terrafix {

namespace {
constexpr const char* AsideSuffix = ".terrafix-kept";
constexpr int AsideNamesTried = 100;
}  // namespace

bool KeepAside(const std::string& name, KeptAside& kept) {
  kept = {};
  if (KindOfFile(name) == FileKind::Missing) {
    kept.Original = name;
    return true;
  }
  for (int n = 0; n < AsideNamesTried; ++n) {
    const std::string aside = name + AsideSuffix + (n == 0 ? "" : std::to_string(n));
    if (KindOfFile(aside) != FileKind::Missing) continue;  // never over a file that is there
    if (!MoveFile(name, aside)) return false;
    kept = {name, aside};
    return true;
  }
  return false;
}

void PutBack(const KeptAside& kept) {
  if (kept.Original.empty()) return;  // the name was never the command's
  if (KindOfFile(kept.Original) != FileKind::Missing) RemoveFile(kept.Original);
  if (!kept.Aside.empty()) MoveFile(kept.Aside, kept.Original);
}

void DropKept(const KeptAside& kept) {
  if (!kept.Aside.empty()) RemoveFile(kept.Aside);
}

}  // namespace terrafix
