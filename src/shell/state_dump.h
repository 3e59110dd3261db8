// The state of a run as JSON, keyed by the game's own names; replays and
// end-to-end tests read it.
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "platform/headless/headless_platform.h"

namespace yw {

class Engine;

nlohmann::json DumpState(Engine& e, const std::vector<RecordedMessageBox>& boxes = {});

}  // namespace yw
