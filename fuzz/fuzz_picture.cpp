// Feeds arbitrary bytes to the picture loader as a game's picture file, at
// zoom 1 and stretched: it must load the picture or refuse it, never crash,
// hang or exhaust the memory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_image_codec.h"
#include "process_folder.h"
#include "render/pictures.h"
#include "render/surface.h"
#include "shell/engine.h"

namespace {

namespace fs = std::filesystem;

// A folder of this process that stands for the game folder.
const fs::path& GameDir() {
  static const yw::fuzz::ProcessFolder folder("yw-fuzz-picture-");
  return folder.path();
}

size_t decoded = 0;  // inputs that gave a picture

}  // namespace

// For the smoke test: every seed is a picture that decodes.
extern "C" size_t YwFuzzReached() { return decoded; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static yw::SdlImageCodec codec;
  const fs::path file = GameDir() / "pic.bmp";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  yw::HeadlessPlatform platform(&codec);
  yw::Engine engine(platform, GameDir());
  engine.CurrentDir = GameDir();
  for (float zoom : {1.0f, 1.5f}) {
    engine.world.Zoom = zoom;
    yw::Surface into;
    yw::LoadPicture(engine, "pic", into);
    if (zoom == 1.0f && into.Width() > 0) ++decoded;
  }
  return 0;
}
