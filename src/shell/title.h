// The title sequence: two credit lines, then the title picture.
#pragma once

namespace yw {

class Engine;

// One turn of the title sequence, by Switsch.
void TitleStep(Engine& e);

}  // namespace yw
