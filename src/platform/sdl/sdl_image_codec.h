// Picture decoding (BMP, JPEG and whatever else SDL_image reads) and PNG
// writing through SDL_image. Works without a display.
#pragma once

#include "platform/image_codec.h"

namespace yw {

class SdlImageCodec : public ImageCodec {
 public:
  SdlImageCodec();
  ~SdlImageCodec() override;
  bool Load(const std::filesystem::path& file, Surface& into) override;
  bool WritePng(const Surface& surface, const std::filesystem::path& file) override;
};

}  // namespace yw
