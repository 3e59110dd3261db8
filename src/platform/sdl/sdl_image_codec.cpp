#include "platform/sdl/sdl_image_codec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

#include "render/surface.h"

namespace yw {

SdlImageCodec::SdlImageCodec() { IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG); }
SdlImageCodec::~SdlImageCodec() { IMG_Quit(); }

bool SdlImageCodec::Load(const std::filesystem::path& file, Surface& into) {
  SDL_Surface* loaded = IMG_Load(file.string().c_str());
  if (!loaded) {
    into.Resize(0, 0);
    return false;
  }
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!rgb || rgb->w > kMaxSurfaceSide || rgb->h > kMaxSurfaceSide) {
    if (rgb) SDL_FreeSurface(rgb);
    into.Resize(0, 0);
    return false;
  }
  into.Resize(rgb->w, rgb->h);
  SDL_LockSurface(rgb);
  for (int y = 0; y < rgb->h; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                        static_cast<size_t>(y) * rgb->pitch);
    uint32_t* dst = into.Row(y);
    for (int x = 0; x < rgb->w; ++x) dst[x] = src[x] & kPixelMask;
  }
  SDL_UnlockSurface(rgb);
  SDL_FreeSurface(rgb);
  return true;
}

bool SdlImageCodec::WritePng(const Surface& surface, const std::filesystem::path& file) {
  if (surface.Empty()) return false;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(surface.Pixels().data()), surface.Width(), surface.Height(), 32,
      surface.Width() * 4, SDL_PIXELFORMAT_XRGB8888);
  if (!s) return false;
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  const bool ok = IMG_SavePNG(s, file.string().c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

}  // namespace yw
