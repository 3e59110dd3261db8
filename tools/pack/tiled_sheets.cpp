#include "tiled_sheets.h"

#include <algorithm>
#include <cmath>

#include "render/picture_header.h"

namespace yw::pack {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t Alpha(uint32_t p) { return p >> 24; }

// `top` drawn over `under`, both with straight alpha.
uint32_t Over(uint32_t top, uint32_t under) {
  const uint32_t at = Alpha(top), au = Alpha(under);
  if (at == 255 || au == 0) return top;
  if (at == 0) return under;
  const uint32_t a = at + au * (255 - at) / 255;
  uint32_t out = a << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t ct = (top >> shift) & 0xFF, cu = (under >> shift) & 0xFF;
    out |= ((ct * at + cu * au * (255 - at) / 255) / a) << shift;
  }
  return out;
}

// The colour on black, as a tile shows it where it is see-through.
uint32_t OnBlack(uint32_t p) {
  const uint32_t a = Alpha(p);
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) out |= (((p >> shift) & 0xFF) * a / 255) << shift;
  return out;
}

// Sprites are cut in two: a pixel at least half opaque is the sprite's,
// any other lets the map show through.
bool Solid(uint32_t p) { return Alpha(p) >= 128; }

uint32_t& At(Picture& p, int x, int y) {
  return p.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)];
}
uint32_t At(const Picture& p, int x, int y) {
  return p.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)];
}

Picture Blank(int w, int h, uint32_t colour) {
  Picture p;
  p.width = w;
  p.height = h;
  p.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), colour);
  return p;
}

// Whether a w x h picture may be written and shown.
bool Fits(int64_t w, int64_t h) {
  return w <= kMaxPictureSide && h <= kMaxPictureSide &&
         static_cast<uint64_t>(w * h) <= kMaxPicturePixels;
}

std::string Size(int64_t w, int64_t h) { return std::to_string(w) + " x " + std::to_string(h); }

}  // namespace

std::string BmpBytes(const Picture& picture) {
  const uint32_t w = static_cast<uint32_t>(picture.width),
                 h = static_cast<uint32_t>(picture.height);
  const uint32_t row = (w * 3 + 3) / 4 * 4;
  const uint32_t size = 54u + row * h;
  std::string out;
  out.reserve(size);
  const auto u16 = [&](uint32_t v) { out += char(v & 0xff), out += char((v >> 8) & 0xff); };
  const auto u32 = [&](uint32_t v) { u16(v & 0xffff), u16(v >> 16); };
  out += "BM";
  u32(size), u32(0), u32(54);
  u32(40), u32(w), u32(h), u16(1), u16(24), u32(0), u32(size - 54), u32(2835), u32(2835), u32(0),
      u32(0);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t c = At(picture, x, y);
      out += char(c & 0xff), out += char((c >> 8) & 0xff), out += char((c >> 16) & 0xff);
    }
    out.append(row - w * 3, '\0');
  }
  return out;
}

SheetMaker::SheetMaker(std::vector<TileArt> art, int tileW, int tileH)
    : art_(std::move(art)), tileW_(tileW), tileH_(tileH) {}

bool SheetMaker::Drawable(uint32_t gid, std::string& why) const {
  const uint32_t id = gid & ~kFlipFlags;
  if (gid & kRotateHex) {
    why = "tile " + std::to_string(id) + " is rotated for hexagonal maps";
    return false;
  }
  if (id == 0 || id > art_.size() || !art_[id - 1].picture) {
    why = "tile " + std::to_string(id) + " is in no tileset";
    return false;
  }
  return true;
}

std::pair<int, int> SheetMaker::SizeOf(uint32_t gid) const {
  const TileArt& a = art_[(gid & ~kFlipFlags) - 1];
  return gid & kFlipD ? std::pair{a.h, a.w} : std::pair{a.w, a.h};
}

std::optional<int16_t> SheetMaker::Tile(uint32_t gid, std::string& why) {
  if (!Drawable(gid, why)) return std::nullopt;
  if (SizeOf(gid) != std::pair{tileW_, tileH_}) {
    const auto [w, h] = SizeOf(gid);
    why = "tile " + std::to_string(gid & ~kFlipFlags) + " is " + Size(w, h) +
          " pixels; the map's tiles are " + Size(tileW_, tileH_) +
          " (put larger tiles on a layer above the ground)";
    return std::nullopt;
  }
  if (!(gid & kFlipFlags)) return static_cast<int16_t>(gid);
  const Recipe recipe{gid};
  auto [it, added] = tileNumbers_.try_emplace(recipe, 0);
  if (added) {
    tiles_.push_back(recipe);
    it->second = static_cast<int16_t>(std::min<size_t>(art_.size() + tiles_.size(), INT16_MAX));
  }
  return it->second;
}

int16_t SheetMaker::BlankTile() {
  auto [it, added] = tileNumbers_.try_emplace(Recipe{}, 0);
  if (added) {
    tiles_.push_back({});
    it->second = static_cast<int16_t>(std::min<size_t>(art_.size() + tiles_.size(), INT16_MAX));
  }
  return it->second;
}

std::optional<int16_t> SheetMaker::Doodad(const std::vector<uint32_t>& stack, std::string& why) {
  for (uint32_t gid : stack)
    if (!Drawable(gid, why)) return std::nullopt;
  if (stack.size() == 1 && !(stack[0] & kFlipFlags)) return static_cast<int16_t>(stack[0]);
  auto [it, added] = doodadNumbers_.try_emplace(stack, 0);
  if (added) {
    doodads_.push_back(stack);
    it->second = static_cast<int16_t>(std::min<size_t>(art_.size() + doodads_.size(), INT16_MAX));
  }
  return it->second;
}

// The tiles of the recipe drawn over one another, each standing on the
// bottom-left corner, as Tiled draws tiles larger than the map's grid.
Picture SheetMaker::Render(const Recipe& recipe) const {
  int w = recipe.empty() ? tileW_ : 0, h = recipe.empty() ? tileH_ : 0;
  for (uint32_t gid : recipe) {
    const auto [gw, gh] = SizeOf(gid);
    w = std::max(w, gw), h = std::max(h, gh);
  }
  Picture out = Blank(w, h, recipe.empty() ? kOpaque : 0);
  for (uint32_t gid : recipe) {
    const TileArt& a = art_[(gid & ~kFlipFlags) - 1];
    const auto [gw, gh] = SizeOf(gid);
    const int top = h - gh;
    for (int v = 0; v < gh; ++v)
      for (int u = 0; u < gw; ++u) {
        // Undo the flips in the reverse of Tiled's order: vertical,
        // horizontal, then the diagonal.
        const int fu = gid & kFlipH ? gw - 1 - u : u, fv = gid & kFlipV ? gh - 1 - v : v;
        const int sx = gid & kFlipD ? fv : fu, sy = gid & kFlipD ? fu : fv;
        uint32_t& dst = At(out, u, top + v);
        dst = Over(At(*a.picture, a.x + sx, a.y + sy), dst);
      }
  }
  return out;
}

std::optional<SheetMaker::Sheets> SheetMaker::Finish(const std::string& tilePictureName,
                                                     const std::string& doodadPictureName,
                                                     std::string& why) const {
  Sheets out;
  const size_t tileCount = art_.size() + tiles_.size();
  const size_t doodadCount =
      doodads_.empty() && doodadPictureName.empty() ? 0 : art_.size() + doodads_.size();
  if (std::max(tileCount, doodadCount) > kMaxRecords) {
    why = "the tilesets hold " + std::to_string(std::max(tileCount, doodadCount)) +
          " tiles with the flipped and stacked ones; a sheet holds at most " +
          std::to_string(kMaxRecords);
    return std::nullopt;
  }
  if (!tilePictureName.empty() && !TileSheet(out, tilePictureName, why)) return std::nullopt;
  if (doodadCount == 0) return out;
  if (!DoodadSheet(out, doodadPictureName, doodadCount, why)) return std::nullopt;
  return out;
}

// The tile sheet: the tiles of the tilesets that fit the grid, then the
// added ones; the others share one black tile.
bool SheetMaker::TileSheet(Sheets& out, const std::string& pictureName, std::string& why) const {
  const size_t tileCount = art_.size() + tiles_.size();
  std::vector<const Recipe*> placed;
  std::vector<size_t> slotOf(tileCount);
  const Recipe blank;
  size_t blankSlot = SIZE_MAX;
  std::vector<Recipe> base(art_.size());
  for (size_t n = 0; n < tileCount; ++n) {
    const Recipe* r = n < art_.size() ? &base[n] : &tiles_[n - art_.size()];
    if (n < art_.size()) {
      std::string ignored;
      if (Drawable(static_cast<uint32_t>(n + 1), ignored) &&
          SizeOf(static_cast<uint32_t>(n + 1)) == std::pair{tileW_, tileH_})
        base[n] = {static_cast<uint32_t>(n + 1)};
    }
    if (r->empty()) {
      if (blankSlot == SIZE_MAX) blankSlot = placed.size(), placed.push_back(&blank);
      slotOf[n] = blankSlot;
    } else {
      slotOf[n] = placed.size();
      placed.push_back(r);
    }
  }
  const int64_t perRow = std::max<int64_t>(
      1, std::min<int64_t>(static_cast<int64_t>(std::ceil(std::sqrt(placed.size()))),
                           kMaxPictureSide / tileW_));
  const int64_t rows = (static_cast<int64_t>(placed.size()) + perRow - 1) / perRow;
  if (!Fits(perRow * tileW_, rows * tileH_)) {
    why = "the tile sheet would be " + Size(perRow * tileW_, rows * tileH_) +
          " pixels, more than a picture may have";
    return false;
  }
  out.tilePicture = Blank(static_cast<int>(perRow * tileW_), static_cast<int>(rows * tileH_), 0);
  for (size_t s = 0; s < placed.size(); ++s) {
    const Picture tile = Render(*placed[s]);
    const int x0 = static_cast<int>(static_cast<int64_t>(s) % perRow) * tileW_;
    const int y0 = static_cast<int>(static_cast<int64_t>(s) / perRow) * tileH_;
    for (int y = 0; y < tileH_; ++y)
      for (int x = 0; x < tileW_; ++x)
        At(out.tilePicture, x0 + x, y0 + y) = OnBlack(At(tile, x, y));
  }
  out.tiles.picture = pictureName;
  out.tiles.tileWidth = static_cast<int16_t>(tileW_);
  out.tiles.tileHeight = static_cast<int16_t>(tileH_);
  for (size_t n = 0; n < tileCount; ++n) {
    const int64_t s = static_cast<int64_t>(slotOf[n]);
    out.tiles.tiles.push_back({static_cast<int16_t>(s % perRow * tileW_),
                               static_cast<int16_t>(s / perRow * tileH_),
                               static_cast<int16_t>(n + 1)});
  }
  return true;
}

// The doodad sheet: shelves of sprites, each with its mask below it; ids
// without a tile share one see-through pixel.
bool SheetMaker::DoodadSheet(Sheets& out, const std::string& pictureName, size_t doodadCount,
                             std::string& why) const {
  std::vector<Recipe> recipes(doodadCount);
  int64_t area = 0, widest = 1;
  std::vector<std::pair<int, int>> sizes(doodadCount, {0, 0});
  for (size_t n = 0; n < doodadCount; ++n) {
    std::string ignored;
    if (n >= art_.size())
      recipes[n] = doodads_[n - art_.size()];
    else if (Drawable(static_cast<uint32_t>(n + 1), ignored))
      recipes[n] = {static_cast<uint32_t>(n + 1)};
    if (recipes[n].empty()) continue;
    for (uint32_t gid : recipes[n]) {
      const auto [w, h] = SizeOf(gid);
      sizes[n].first = std::max(sizes[n].first, w), sizes[n].second = std::max(sizes[n].second, h);
    }
    area += int64_t{sizes[n].first} * sizes[n].second * 2;
    widest = std::max<int64_t>(widest, sizes[n].first);
  }
  const int64_t width = std::min<int64_t>(
      kMaxPictureSide, std::max<int64_t>(widest, static_cast<int64_t>(std::ceil(std::sqrt(area)))));
  std::vector<std::pair<int64_t, int64_t>> at(doodadCount);
  int64_t x = 1, y = 0, shelf = 2;  // (0, 0) and (0, 1): the shared see-through pixel
  for (size_t n = 0; n < doodadCount; ++n) {
    const auto [w, h] = sizes[n];
    if (w == 0) continue;
    if (x + w > width) x = 0, y += shelf, shelf = 0;
    at[n] = {x, y};
    x += w;
    shelf = std::max<int64_t>(shelf, 2 * int64_t{h});
  }
  if (!Fits(width, y + shelf)) {
    why = "the doodad sheet would be " + Size(width, y + shelf) +
          " pixels, more than a picture may have";
    return false;
  }
  out.doodadPicture = Blank(static_cast<int>(width), static_cast<int>(y + shelf), 0xFFFFFFu);
  At(out.doodadPicture, 0, 0) = 0;
  out.doodads.picture = pictureName;
  for (size_t n = 0; n < doodadCount; ++n) {
    const auto [w, h] = sizes[n];
    const int16_t next = static_cast<int16_t>(n + 1);
    if (w == 0) {
      out.doodads.sprites.push_back({0, 0, 0, 1, 1, 1, next});
      continue;
    }
    const int px = static_cast<int>(at[n].first), py = static_cast<int>(at[n].second);
    const Picture sprite = Render(recipes[n]);
    for (int v = 0; v < h; ++v)
      for (int u = 0; u < w; ++u) {
        const uint32_t p = At(sprite, u, v);
        At(out.doodadPicture, px + u, py + v) = Solid(p) ? p & 0xFFFFFFu : 0;
        At(out.doodadPicture, px + u, py + h + v) = Solid(p) ? 0 : 0xFFFFFFu;
      }
    out.doodads.sprites.push_back({static_cast<int16_t>(px), static_cast<int16_t>(py),
                                   static_cast<int16_t>(px), static_cast<int16_t>(py + h),
                                   static_cast<int16_t>(w), static_cast<int16_t>(h), next});
  }
  return true;
}

}  // namespace yw::pack
