#include "platform/sdl/sdl_picture_pixels.h"

#include <SDL.h>
#include <SDL_image.h>

#include "render/picture_header.h"

namespace yw {

std::optional<ArgbPicture> LoadArgbPicture(const std::filesystem::path& file) {
  const auto picture = ReadPictureFile(file);
  if (!picture) return std::nullopt;
  SDL_RWops* in =
      SDL_RWFromConstMem(picture->bytes.data(), static_cast<int>(picture->bytes.size()));
  if (!in) return std::nullopt;
  // The decoder of the format the header names, as the game reads it.
  SDL_Surface* decoded = picture->size.format == PictureFormat::Bmp    ? IMG_LoadBMP_RW(in)
                         : picture->size.format == PictureFormat::Jpeg ? IMG_LoadJPG_RW(in)
                                                                       : IMG_LoadPNG_RW(in);
  SDL_RWclose(in);
  if (!decoded) return std::nullopt;
  SDL_Surface* argb = nullptr;
  if (static_cast<uint32_t>(decoded->w) == picture->size.width &&
      static_cast<uint32_t>(decoded->h) == picture->size.height)
    argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(decoded);
  if (!argb) return std::nullopt;
  ArgbPicture out;
  out.width = argb->w;
  out.height = argb->h;
  out.pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                        static_cast<size_t>(y) * argb->pitch);
    std::copy(row, row + argb->w, out.pixels.begin() + static_cast<ptrdiff_t>(y) * argb->w);
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return out;
}

}  // namespace yw
