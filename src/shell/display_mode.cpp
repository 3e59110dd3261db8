#include "shell/display_mode.h"

#include "core/engine.h"
#include "core/window_state.h"
#include "shell/config.h"

namespace yw {

namespace {

std::string ResolutionText(int32_t width, int32_t height) {
  return std::to_string(width) + "," + std::to_string(height);
}

}  // namespace

bool ParseSavedResolution(std::string_view text, int32_t& width, int32_t& height) {
  size_t w = 0, h = 0;
  switch (text.size()) {
    case 7: w = 3, h = 3; break;
    case 8: w = 4, h = 3; break;
    case 9: w = 4, h = 4; break;
    default: return false;
  }
  width = static_cast<int32_t>(LeadingNumber(text.substr(0, w)));
  height = static_cast<int32_t>(LeadingNumber(text.substr(text.size() - h)));
  return true;
}

void SetResolution(Engine& e, int32_t width, int32_t height) {
  const DisplayMode current = e.platform.CurrentDisplayMode();
  if (current.width > 0 && current.height > 0)
    e.win.SavedResolution = ResolutionText(current.width, current.height);
  if (ResolutionText(width, height) == e.win.SavedResolution) return;
  e.platform.SetDisplayMode({width, height});
}

void RestoreResolution(Engine& e) {
  int32_t width = 0, height = 0;
  if (!ParseSavedResolution(e.win.SavedResolution, width, height)) return;
  e.platform.SetDisplayMode({width, height});
}

}  // namespace yw
