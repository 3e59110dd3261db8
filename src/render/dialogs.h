// The message box, the text input box and framed notices.
#pragma once

#include <cstdint>
#include <string_view>

#include "world/game_mode.h"

namespace yw {

class Engine;

// Shows a message in pages over the screen; the main loop returns to
// `returnMode` when the last page is closed.
void DrawMsg(Engine& e, std::string_view msg, Mode returnMode);
// Opens the text input with a caption and a starting text, or redraws it
// while it is open.
void ShowKInputBox(Engine& e, std::string_view caption, std::string_view defaultText = {});
// A framed box with one line of text centred on Frontbuf ("Loading...").
void ShowNotice(Engine& e, std::string_view text);

}  // namespace yw
