#include "render/pictures.h"

#include "core/engine.h"
#include "core/window_state.h"
#include "render/picture_header.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> Lookup(Engine& e, const std::string& name) {
  if (auto p = ResolvePath(e.CurrentDir, name, e.ProgramDir); p && fs::is_regular_file(*p))
    return p;
  if (auto p = ResolvePath(e.ProgramDir, name); p && fs::is_regular_file(*p)) return p;
  return std::nullopt;
}

}  // namespace

fs::path FindPic(Engine& e, std::string_view pic) {
  const std::string name = ToLower(pic);
  if (TrimBlanks(name).empty()) return {};
  const std::vector<std::string> names = PictureFileNames(name);
  if (names.size() == 1) return Lookup(e, name).value_or(fs::path());
  // Without an extension: .bmp, .jpg, .jpeg, .png in the game folder, then
  // the same in the program folder.
  for (const fs::path& base : {e.CurrentDir, e.ProgramDir}) {
    for (const std::string& n : names) {
      if (auto p = ResolvePath(base, n, e.ProgramDir); p && fs::is_regular_file(*p)) return *p;
    }
  }
  return {};
}

void LoadPicture(Engine& e, std::string_view pic, Surface& into) {
  const fs::path file = FindPic(e, pic);
  const float zoom = e.world.Zoom;
  Surface& target = zoom == 1.0f ? into : e.pics.PixPic;
  if (!file.empty() && !e.platform.LoadPicture(file, target))
    e.TellUnusable(file, PictureFileProblem(file));
  if (file.empty() || target.Empty()) target.Resize(0, 0);
  if (zoom == 1.0f) return;
  const int width = CInt(e.pics.PixPic.Width() * static_cast<double>(zoom));
  const int height = CInt(e.pics.PixPic.Height() * static_cast<double>(zoom));
  // A picture that would stretch beyond the largest surface is refused like
  // one that cannot be decoded, rather than shown cut off.
  if (width > kMaxSurfaceSide || height > kMaxSurfaceSide ||
      int64_t{width} * height > kMaxSurfacePixels) {
    into.Resize(0, 0);
    return;
  }
  into.Resize(width, height);
  StretchBlt(into, 0, 0, into.Width(), into.Height(), e.pics.PixPic, 0, 0, e.pics.PixPic.Width(),
             e.pics.PixPic.Height(), Rop::SrcCopy);
}

namespace {

void LoadMapSurface(Engine& e, const std::string& wanted, std::string& kept, Surface& into) {
  if (wanted == kept) return;
  kept = wanted;
  LoadPicture(e, wanted, into);
}

// Visible cells across a length: the quotient rounded up.
int16_t CellsAcross(int length, int tile) {
  if (tile <= 0) return 0;
  return static_cast<int16_t>(length / tile + (length % tile != 0 ? 1 : 0));
}

}  // namespace

void LoadPix(Engine& e, int16_t what) {
  if (what != 0 && what != 1 && what != 2) return;
  if (what == 0 || what == 1) {
    const std::string keptTiles = e.view.KeptTilePic;
    LoadMapSurface(e, e.world.TilePicture, e.view.KeptTilePic, e.pics.Tilemap);
    if (keptTiles != e.view.KeptTilePic) {
      const int tw = e.world.TileWidth, th = e.world.TileHeight;
      e.win.ScreenTileWidth = CellsAcross(e.win.ScreenWidth, tw);
      e.win.ScreenTileHeight = CellsAcross(e.win.ScreenHeight, th);
      e.pics.Backbuf.Resize((e.win.ScreenTileWidth + 2) * tw, (e.win.ScreenTileHeight + 2) * th);
    }
    LoadMapSurface(e, e.world.DoodadPicture, e.view.KeptDoodadPic, e.pics.DoodadMap);
    LoadMapSurface(e, e.world.UnitPicture, e.view.KeptUnitPic, e.pics.UnitDoo);
    LoadMapSurface(e, e.world.ItemPicture, e.view.KeptItemPic, e.pics.ItemDoo);
  }
  if (what == 0 || what == 2) {
    LoadPicture(e, "font.bmp", e.pics.FontPic);
    e.win.FontWidth = CInt(e.pics.FontPic.Width() / 32.0);
    e.win.FontHeight = CInt(e.pics.FontPic.Height() / 14.0);
    LoadPicture(e, "digit.bmp", e.pics.DigitPic);
    LoadPicture(e, "frame.bmp", e.pics.FramePic);
    LoadPicture(e, "hand.bmp", e.pics.HandPic);
  }
  if (e.world.Zoom != 1.0f) e.pics.PixPic.Resize(1, 1), e.pics.PixPic.Clear();
}

std::string InterfacePictureProblem(Engine& e) {
  // A zoom of 0 (no configuration file, which has had its own messages)
  // shrinks every picture to nothing; the files are not to blame.
  if (e.world.Zoom <= 0) return {};
  const Surfaces& p = e.pics;
  const bool fontCells = e.win.FontWidth > 0 && e.win.FontHeight > 0;
  const struct {
    const char* name;
    const Surface& surface;
    bool usable;
  } pictures[] = {{"font.bmp", p.FontPic, fontCells},
                  {"digit.bmp", p.DigitPic, true},
                  {"frame.bmp", p.FramePic, true},
                  {"hand.bmp", p.HandPic, true}};
  for (const auto& pic : pictures) {
    if (pic.usable && pic.surface.Width() > 0 && pic.surface.Height() > 0) continue;
    const fs::path file = FindPic(e, pic.name);
    if (file.empty()) return "Can't find \"" + std::string(pic.name) + "\"";
    return "Can't read \"" + file.string() + "\"";
  }
  return {};
}

}  // namespace yw
