// Switching the display to the configured resolution and back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yw {

class Engine;

// Notes the display's current resolution as "width,height", then switches
// to width x height unless that is the noted resolution already.
void SetResolution(Engine& e, int32_t width, int32_t height);
// Switches back to the noted resolution.
void RestoreResolution(Engine& e);

// Splits a noted resolution by its length: 7 characters are 3 + 3 digits,
// 8 are 4 + 3, 9 are 4 + 4; any other length gives no size (false).
bool ParseSavedResolution(std::string_view text, int32_t& width, int32_t& height);

}  // namespace yw
