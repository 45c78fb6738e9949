// Started from a shell, the editor works in the current folder; started from
// the desktop menu (with --desktop), in the user's levels folder; given a
// level file (from the file manager, "Open with"), in that file's folder with
// the level loaded.
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include <vector>

#include "commands/convert_command.h"
#include "commands/render_command.h"
#include "editor/main_loop.h"
#include "files/compressor.h"
#include "files/levels_folder.h"
#include "formats/level_formats.h"
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

// The formats each line names are those the editor knows.
std::string UsageText() {
  return "Usage: terrafix [--desktop] [LEVEL]\n"
         "       terrafix --convert [--force] [--jobs N] IN OUT [IN OUT]...\n"
         "       terrafix --convert [--force] [--jobs N] IN... --to " + terrafix::ListOfEndings("|", false) + "\n"
         "       terrafix --render LEVEL... [--out FOLDER] [--scale N|1/N] [--turn 0|90|180|270] [--jobs N]\n"
         "Edits a level of a block-building game, of any size, as flat slices.\n"
         "\n"
         "  LEVEL      a level file (" + terrafix::ListOfEndings(", ") + ",\n"
         "             or any of them renamed): the editor works in its folder and loads it\n"
         "  --desktop  as started from the desktop menu: works in ~/Terrafix\n"
         "  --convert  converts levels into the format each OUT's ending names, or that\n"
         "             --to names (beside each IN); an existing OUT is kept unless --force\n"
         "  --render   writes the isometric picture of each LEVEL as NAME.png in FOLDER\n"
         "             (the current folder unless given), at scale N (1 to 16) or\n"
         "             1/N (1/2, 1/4, ...: each pixel a block of cells), the level\n"
         "             turned by that many degrees; a picture too large for this\n"
         "             machine is drawn at the largest 1/N that fits\n"
         "  --jobs     how many levels --convert or --render works on at once, each in\n"
         "             a process of its own (one a core of the machine unless given)\n"
         "  --help     shows this and ends\n"
         "  --version  shows the version and ends\n"
         "\n"
         "Started from a shell with no LEVEL, the editor works in the current folder.\n"
         "See terrafix(1).\n";
}

// --convert: no window, no terminal; the exit status says whether every
// level was converted (0), some were not (1), or the arguments ask for none (2).
// The template levels are written with: the folder's headers.dat, else the installed one.
terrafix::HeaderTemplate CommandLineTemplate() {
  terrafix::HeaderTemplate header;
  header.InstalledFile = terrafix::InstalledTemplateFile();
  terrafix::ReadHeaderTemplate(header);
  return header;
}

int Convert(const std::vector<std::string>& arguments) {
  terrafix::ConversionPlan plan;
  std::string why;
  if (!terrafix::PlanConversions(arguments, plan, why)) {
    std::fprintf(stderr, "terrafix: %s\n%s", why.c_str(), UsageText().c_str());
    return 2;
  }
  return terrafix::RunConversions(plan, CommandLineTemplate());
}

// --render: the same, for pictures.
int Render(const std::vector<std::string>& arguments) {
  terrafix::RenderPlan plan;
  std::string why;
  if (!terrafix::PlanRender(arguments, plan, why)) {
    std::fprintf(stderr, "terrafix: %s\n%s", why.c_str(), UsageText().c_str());
    return 2;
  }
  return terrafix::RunRender(plan, CommandLineTemplate());
}

int main(int argc, char** argv) {
  // A write past a limit on file sizes fails as a write does, and the command
  // that made it says so; it does not end the editor.
  std::signal(SIGXFSZ, SIG_IGN);
  bool desktop = false;
  std::string level;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != "--convert" && arguments[i] != "--render") continue;
    std::vector<std::string> rest = arguments;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
    return arguments[i] == "--convert" ? Convert(rest) : Render(rest);
  }
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help") {
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    }
    if (argument == "--version") {
      std::printf("terrafix %s\n", TERRAFIX_VERSION);
      return 0;
    }
    if (argument == "--desktop") {
      desktop = true;
    } else if (argument.starts_with("-") || !level.empty()) {
      std::fprintf(stderr, "terrafix: unexpected argument '%s'\n%s", argv[i], UsageText().c_str());
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
