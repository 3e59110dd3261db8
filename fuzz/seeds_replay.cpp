// Seed inputs of the replay target.
#include "seeds.h"

namespace yw::fuzz {

std::vector<std::string> Seeds() {
  return {"# start\n100 key Enter\n200 key Left 500\n300 press Space\n400 release Space\n",
          "500 type Hello W\\bworld\n600 shot a.png\n700 dump b.json\n800 quit\n"};
}

}  // namespace yw::fuzz
