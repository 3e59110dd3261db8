#include "platform/sdl/sdl_image_codec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <utility>

#include "render/picture_header.h"
#include "render/surface.h"

namespace yw {

namespace {

// Decodes bytes whose header was read as `size` with that format's own
// decoder, so that no other decoder can take the file for its own format.
SDL_Surface* Decode(const std::string& bytes, const PictureSize& size) {
  SDL_RWops* in = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!in) return nullptr;
  SDL_Surface* decoded = nullptr;
  switch (size.format) {
    case PictureFormat::Bmp:
      decoded = IMG_LoadBMP_RW(in);
      break;
    case PictureFormat::Jpeg:
      decoded = IMG_LoadJPG_RW(in);
      break;
    case PictureFormat::Png:
      decoded = IMG_LoadPNG_RW(in);
      break;
  }
  SDL_RWclose(in);
  return decoded;
}

// A four-component JPEG arrives as the decoder's C, M, Y, K bytes in
// memory order, which the surface's format would read as colours; they are
// turned into red, green and blue here. An Adobe marker means the values
// are stored inverted (as Photoshop and libjpeg write them).
SDL_Surface* CmykToXrgb(SDL_Surface* cmyk, bool inverted) {
  if (cmyk->format->BytesPerPixel != 4) return nullptr;
  SDL_Surface* rgb =
      SDL_CreateRGBSurfaceWithFormat(0, cmyk->w, cmyk->h, 32, SDL_PIXELFORMAT_XRGB8888);
  if (!rgb) return nullptr;
  SDL_LockSurface(cmyk);
  SDL_LockSurface(rgb);
  for (int y = 0; y < cmyk->h; ++y) {
    const auto* src =
        static_cast<const uint8_t*>(cmyk->pixels) + static_cast<size_t>(y) * cmyk->pitch;
    auto* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(rgb->pixels) +
                                            static_cast<size_t>(y) * rgb->pitch);
    for (int x = 0; x < cmyk->w; ++x, src += 4) {
      auto ink = [&](int i) { return inverted ? uint32_t{src[i]} : 255u - src[i]; };
      const uint32_t k = ink(3);
      const uint32_t r = (ink(0) * k + 127) / 255, g = (ink(1) * k + 127) / 255,
                     b = (ink(2) * k + 127) / 255;
      dst[x] = (r << 16) | (g << 8) | b;
    }
  }
  SDL_UnlockSurface(rgb);
  SDL_UnlockSurface(cmyk);
  return rgb;
}

// The decoded picture as XRGB pixels, refused unless it has the size its
// header declared.
SDL_Surface* DecodeXrgb(const std::string& bytes, const PictureSize& size) {
  SDL_Surface* decoded = Decode(bytes, size);
  if (!decoded) return nullptr;
  SDL_Surface* rgb = nullptr;
  if (static_cast<uint32_t>(decoded->w) == size.width &&
      static_cast<uint32_t>(decoded->h) == size.height) {
    if (size.format == PictureFormat::Jpeg && size.components == 4)
      rgb = CmykToXrgb(decoded, size.adobe);
    else
      rgb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_XRGB8888, 0);
  }
  SDL_FreeSurface(decoded);
  return rgb;
}

}  // namespace

SdlImageCodec::SdlImageCodec() { IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG); }
SdlImageCodec::~SdlImageCodec() { IMG_Quit(); }

bool SdlImageCodec::Load(const std::filesystem::path& file, Surface& into) {
  into.Resize(0, 0);
  // The size is read from the header and checked before a decoder sees the
  // file: a small file may claim a size that would exhaust memory.
  auto picture = ReadPictureFile(file);
  if (!picture) return false;
  // BMP variants the decoder refuses are rewritten as ones it takes.
  if (picture->size.format == PictureFormat::Bmp) {
    if (auto plain = RewriteBmpForDecoder(picture->bytes)) picture->bytes = std::move(*plain);
  }
  SDL_Surface* rgb = DecodeXrgb(picture->bytes, picture->size);
  if (!rgb) return false;
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
