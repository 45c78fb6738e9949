#include "editor/confirmations.h"

#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"

namespace terrafix {

bool ConfirmNew(Level& made, HeaderTemplate& header) {
  if (!AskYesOrNo(NewQuestion, QuestionRow, QuestionColumn)) return false;
  ReadHeaderTemplate(header);
  LayNewTerrain(made);
  return true;
}

void ConfirmQuit() {
  if (AskYesOrNo(QuitQuestion, QuestionRow, QuestionColumn)) EndProgram(0);
}

}  // namespace terrafix
