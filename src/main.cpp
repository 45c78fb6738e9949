// Started from a shell, the editor works in the current folder; started from
// the desktop menu (with --desktop), in the user's levels folder; given a
// level file (from the file manager, "Open with"), in that file's folder with
// the level loaded.
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include "editor/main_loop.h"
#include "files/compressor.h"
#include "files/levels_folder.h"
#include "platform/terminal/terminal_screen.h"
#include "platform/window/sdl_window.h"

namespace {

// The editor shows itself in a desktop window where one can be opened, else
// in the terminal it was started from.
std::unique_ptr<terrafix::ScreenBackend> OpenWindowOrTerminal(int width, int height, bool& isWindow) {
  isWindow = true;
  if (auto window = terrafix::OpenSdlWindow(width, height, terrafix::ProgramTitle())) return window;
  isWindow = false;
  return terrafix::OpenTerminalScreen();
}

}  // namespace

constexpr const char* Usage =
    "Usage: terrafix [--desktop] [LEVEL]\n"
    "Edits a level of a block-building game, of any size, as flat slices.\n"
    "\n"
    "  LEVEL      a level file (NAME.dat): the editor works in its folder and loads it\n"
    "  --desktop  as started from the desktop menu: works in ~/Terrafix\n"
    "  --help     shows this and ends\n"
    "  --version  shows the version and ends\n"
    "\n"
    "Started from a shell with no LEVEL, the editor works in the current folder.\n"
    "See terrafix(1).\n";

int main(int argc, char** argv) {
  // A write past a limit on file sizes fails as a write does, and the command
  // that made it says so; it does not end the editor.
  std::signal(SIGXFSZ, SIG_IGN);
  bool desktop = false;
  std::string level;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help") {
      std::fputs(Usage, stdout);
      return 0;
    }
    if (argument == "--version") {
      std::printf("terrafix %s\n", TERRAFIX_VERSION);
      return 0;
    }
    if (argument == "--desktop") {
      desktop = true;
    } else if (argument.starts_with("-") || !level.empty()) {
      std::fprintf(stderr, "terrafix: unexpected argument '%s'\n%s", argv[i], Usage);
      return 2;
    } else {
      level = argument;
    }
  }
  terrafix::StartOptions start;
  start.OpenBackend = OpenWindowOrTerminal;
  if (!level.empty()) {
    const std::string problem = terrafix::EnterFolderOfLevel(level, start.LevelFile);
    if (!problem.empty()) {
      std::fprintf(stderr, "terrafix: %s; the installed headers.dat is used\n", problem.c_str());
      start.TemplateFile = terrafix::InstalledTemplateFile();
    }
  } else if (desktop) {
    const std::string problem = terrafix::EnterLevelsFolder();
    if (!problem.empty()) {
      std::fprintf(stderr, "terrafix: %s; working in the folder started in\n", problem.c_str());
      start.TemplateFile = terrafix::InstalledTemplateFile();
      start.Message = terrafix::NoLevelsFolderMessage;
    }
  }
  // The folder's own gzip.exe only where the user chose the folder from a
  // shell: never from the menu or for a file opened from the file manager.
  terrafix::AllowFolderCompressor(!desktop && level.empty());
  terrafix::RunEditor(start);
}
