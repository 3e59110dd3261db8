// Software picture surfaces and the raster operations the game draws with.
//
// Pixels are 32-bit XRGB (0x00RRGGBB); the top byte is always 0 so that the
// bitwise raster operations compare equal to their table values.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace yw {

// Raster operation codes as the drawing code names them.
enum class Rop : uint32_t {
  SrcCopy = 0x00CC0020,     // S
  SrcAnd = 0x008800C6,      // S AND D
  SrcInvert = 0x00660046,   // S XOR D
  MergePaint = 0x00BB0226,  // (NOT S) OR D
  Blackness = 0x00000042,   // black
};

constexpr uint32_t kPixelMask = 0x00FFFFFFu;
// Largest width or height of a surface; larger requests are cut to it, so
// a bad size in a data file cannot exhaust memory.
constexpr int kMaxSurfaceSide = 16384;
// Largest number of pixels of a surface (128 MiB); a larger request keeps
// its width and gets the height that fits.
constexpr int64_t kMaxSurfacePixels = int64_t{1} << 25;

constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return (uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b};
}

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, uint32_t fill = 0);
  Surface(const Surface&) = default;
  Surface(Surface&& other) noexcept
      : width_(other.width_), height_(other.height_), pixels_(std::move(other.pixels_)),
        version_(other.version_) {
    other.Forget();
  }
  Surface& operator=(const Surface& other) {
    if (this != &other)
      Take(other.width_, other.height_, std::vector<uint32_t>(other.pixels_), other);
    return *this;
  }
  Surface& operator=(Surface&& other) noexcept {
    if (this != &other) {
      Take(other.width_, other.height_, std::move(other.pixels_), other);
      other.Forget();
    }
    return *this;
  }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Changes the size; the overlapping top-left part keeps its content and
  // the rest is black. Sizes are clamped to 0..kMaxSurfaceSide and the
  // height further to kMaxSurfacePixels.
  void Resize(int width, int height);
  // Fills the whole surface with black (the background of game surfaces).
  void Clear() { Fill(0); }
  void Fill(uint32_t pixel);

  // Writable access counts as a change (see Version).
  uint32_t* Row(int y) {
    ++version_;
    return pixels_.data() + static_cast<size_t>(y) * width_;
  }
  const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  std::span<uint32_t> Pixels() {
    ++version_;
    return pixels_;
  }
  std::span<const uint32_t> Pixels() const { return pixels_; }
  // Reads or writes one pixel; outside the surface reads 0 and writes nothing.
  uint32_t At(int x, int y) const;
  void Set(int x, int y, uint32_t pixel);

  // A number that grows whenever the surface may have changed: on every
  // writable access, resize, fill and assignment. What is worked out from
  // a picture's pixels can be kept until its version moves on.
  uint64_t Version() const { return version_; }

 private:
  void Take(int width, int height, std::vector<uint32_t>&& pixels, const Surface& from) {
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
    version_ = std::max(version_, from.version_) + 1;
  }
  void Forget() {
    width_ = height_ = 0;
    pixels_.clear();
    ++version_;
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
  uint64_t version_ = 0;
};

// Rectangle copy: w x h pixels from (sx, sy) of src to (dx, dy) of dst,
// combined by rop (an unknown code draws nothing). Both rectangles are clipped to their surfaces, and the
// clipping of one moves the other by the same amount. src may be dst; the
// copy then behaves as if the source had been read in full first.
void BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            Rop rop);

// A masked sprite: the mask rectangle at (mx, my) of `sheet` combined with
// SrcAnd, then the picture rectangle at (px, py) with SrcInvert, both to
// (dx, dy). The same pixels as those two BitBlt calls, done in one pass
// over the destination where both rectangles clip alike.
void MaskedBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& sheet, int mx, int my,
               int px, int py);

// Stretched copy with nearest-neighbour sampling: the source rectangle
// (sx, sy, sw, sh) is scaled to the destination rectangle (dx, dy, dw, dh),
// destination pixel (dx + i, dy + j) taking source pixel
// (sx + i * sw / dw, sy + j * sh / dh), rounded down. Negative or zero
// sizes draw nothing; destination pixels outside dst or whose source pixel
// lies outside src are left alone.
void StretchBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, Rop rop);

}  // namespace yw
