// Placeholders until the dialogs are drawn: they keep the main loop's
// bookkeeping so that scripts wait and resume correctly.
#include "render/dialogs.h"
#include "shell/engine.h"

namespace yw {

void DrawMsg(Engine& e, std::string_view msg, int32_t returnMode) {
  e.win.Message = std::string(msg);
  e.win.PendingMsg.clear();
  e.win.MsgReturnMode = returnMode;
  e.win.GameMode = 5;
}
void ShowKInputBox(Engine& e, std::string_view caption, std::string_view defaultText) {
  e.win.KInputBox = std::string(defaultText) + "_";
  e.win.InputCaption = std::string(caption);
  if (e.win.GameMode != 11) {
    e.win.InputReturnMode = e.win.GameMode;
    e.win.GameMode = 11;
  }
  e.win.Wait4Relase = true;
}
void ShowNotice(Engine& e, std::string_view) { e.Show(); }

}  // namespace yw
