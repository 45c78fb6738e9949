// Started from a shell, the editor works in the current folder; started from
// the desktop menu (with --desktop), in the user's levels folder.
#include <csignal>
#include <cstdio>
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

int main(int argc, char** argv) {
  // A write past a limit on file sizes fails as a write does, and the command
  // that made it says so; it does not end the editor.
  std::signal(SIGXFSZ, SIG_IGN);
  terrafix::StartOptions start;
  start.OpenBackend = OpenWindowOrTerminal;
  const bool desktop = argc > 1 && std::string_view(argv[1]) == "--desktop";
  if (desktop) {
    const std::string problem = terrafix::EnterLevelsFolder();
    if (!problem.empty()) {
      std::fprintf(stderr, "terrafix: %s; working in the folder started in\n", problem.c_str());
      start.TemplateFile = terrafix::InstalledTemplateFile();
      start.Message = terrafix::NoLevelsFolderMessage;
    }
  }
  // The folder's own gzip.exe only where the user chose the folder from a shell.
  terrafix::AllowFolderCompressor(!desktop);
  terrafix::RunEditor(start);
}
