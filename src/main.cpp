// Started from a shell, the editor works in the current folder; started from
// the desktop menu (with --desktop), in the user's levels folder.
#include <cstdio>
#include <string_view>

#include "editor/main_loop.h"
#include "files/levels_folder.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "--desktop") {
    const std::string problem = terrafix::EnterLevelsFolder();
    if (!problem.empty()) std::fprintf(stderr, "terrafix: %s; working in the current folder\n", problem.c_str());
  }
  terrafix::RunEditor();
}
