#include "editor/confirmations.h"

#include <string>

#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

namespace terrafix {

namespace {

// Asks at row 1, column 40 until the answer, lower-cased, is "y" or "n".
bool AskYesOrNo(std::string_view question) {
  for (;;) {
    SetTextCursor(1, 40);
    std::string answer = LowerCase(InputLine(question));
    if (answer == "y") return true;
    if (answer == "n") return false;
  }
}

}  // namespace

void ConfirmNew(LevelGrid& grid, HeaderTemplate& header) {
  if (!AskYesOrNo(NewQuestion)) return;
  ReadHeaderTemplate(header);
  LayNewTerrain(grid);
}

void ConfirmQuit() {
  if (AskYesOrNo(QuitQuestion)) EndProgram(0);
}

}  // namespace terrafix
