// The tile sheet and the doodad sheet a Tiled map is drawn with, made from
// its tilesets' pictures: tile n and doodad n show the tile Tiled numbers n
// (its tileset's firstgid plus its id); flipped and rotated tiles, tiles
// drawn over one another on one cell and the blank tile of empty cells are
// added after them, each once.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/sdl_picture_pixels.h"
#include "world/data_files.h"

namespace yw::pack {

using Picture = ArgbPicture;

// Tiled keeps flip and rotation flags in the top bits of a tile id: flipped
// horizontally, vertically, along the diagonal (x and y swapped, drawn
// first), and the hexagonal rotation, which orthogonal maps do not use.
inline constexpr uint32_t kFlipH = 0x80000000u, kFlipV = 0x40000000u, kFlipD = 0x20000000u,
                          kRotateHex = 0x10000000u, kFlipFlags = 0xF0000000u;

// A tile's picture: a rectangle of a picture that lives as long as the
// build; no picture for ids Tiled gives no tile.
struct TileArt {
  const Picture* picture = nullptr;
  int x = 0, y = 0, w = 0, h = 0;
};

// A 24-bit BMP of the picture's colours (alpha left out).
std::string BmpBytes(const Picture& picture);

class SheetMaker {
 public:
  // art[n - 1] is the picture of tile id n; tiles of the sheet are
  // tileW x tileH pixels.
  SheetMaker(std::vector<TileArt> art, int tileW, int tileH);

  // The tile showing `gid` (with its flags) on the ground; nullopt and the
  // reason when it has no picture or is not of the sheet's tile size.
  std::optional<int16_t> Tile(uint32_t gid, std::string& why);
  // A black tile for empty cells.
  int16_t BlankTile();
  // The doodad showing the tiles of `stack` (ids with their flags) drawn
  // in that order, each standing on the bottom-left corner of the cell.
  std::optional<int16_t> Doodad(const std::vector<uint32_t>& stack, std::string& why);

  struct Sheets {
    TileSheetFile tiles;
    Picture tilePicture;
    SpriteSheetFile doodads;
    Picture doodadPicture;
  };
  // Lays the sheets out; nullopt and the reason when they do not fit in a
  // picture or a sheet. The sheets name the pictures as given.
  std::optional<Sheets> Finish(const std::string& tilePictureName,
                               const std::string& doodadPictureName, std::string& why) const;

 private:
  using Recipe = std::vector<uint32_t>;  // ids with flags, drawn in order; empty = blank
  bool Drawable(uint32_t gid, std::string& why) const;
  std::pair<int, int> SizeOf(uint32_t gid) const;
  Picture Render(const Recipe& recipe) const;
  bool TileSheet(Sheets& out, const std::string& pictureName, std::string& why) const;
  bool DoodadSheet(Sheets& out, const std::string& pictureName, size_t count,
                   std::string& why) const;

  std::vector<TileArt> art_;
  int tileW_, tileH_;
  std::vector<Recipe> tiles_, doodads_;  // beyond the art's own numbers
  std::map<Recipe, int16_t> tileNumbers_, doodadNumbers_;
};

}  // namespace yw::pack
