#include "files/levels_folder.h"

#include <cstdlib>
#include <filesystem>

#include "formats/header_template.h"
#include "platform/programs/program_file.h"

namespace terrafix {

namespace {

namespace fs = std::filesystem;

constexpr const char* LevelsFolderName = "Terrafix";

}  // namespace

// Beside the program: <prefix>/share/terrafix.
std::string InstalledTemplateFile() {
  return (fs::path(ProgramFile()).parent_path() / TERRAFIX_INSTALLED_DATA / HeaderTemplateFile).lexically_normal();
}

namespace {

// Gives the folder the installed headers.dat when it has none (or an empty
// one), then makes it the working folder.
std::string EnterWithTemplate(const fs::path& folder) {
  std::error_code error;
  const fs::path headers = folder / HeaderTemplateFile;
  if (!fs::exists(headers, error) || fs::file_size(headers, error) == 0) {
    fs::copy_file(InstalledTemplateFile(), headers, fs::copy_options::overwrite_existing, error);
    if (error) return "cannot copy " + InstalledTemplateFile() + " to " + headers.string() + ": " + error.message();
  }
  fs::current_path(folder, error);
  if (error) return "cannot work in " + folder.string() + ": " + error.message();
  return {};
}

}  // namespace

std::string EnterLevelsFolder() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return "no home folder (HOME is not set)";
  const fs::path folder = fs::path(home) / LevelsFolderName;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot make " + folder.string() + ": " + error.message();
  return EnterWithTemplate(folder);
}

std::string EnterFolderOfLevel(const std::string& path, std::string& levelFile) {
  const fs::path file(path);
  levelFile = file.filename().string();
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  std::error_code error;
  fs::current_path(folder, error);
  if (error) return "cannot work in " + folder.string() + ": " + error.message();
  return EnterWithTemplate(".");
}

}  // namespace terrafix
