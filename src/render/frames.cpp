#include "render/frames.h"

#include <algorithm>

#include "core/engine.h"
#include "core/window_state.h"
#include "world/rounding.h"

namespace yw {

namespace {

// A piece of frame.bmp: its picture at (x, y); its mask lies maskOffset
// pixels further right.
struct Piece {
  int x, y, w, h;
};

struct PieceSheet {
  const Surface& pic;
  int maskOffset;
};

struct Area {
  int x, y, w, h;
};

// One copy of (part of) a piece: opaque, or mask then picture.
void CopyPiece(Surface& dst, int dx, int dy, int w, int h, const PieceSheet& sheet, int sx, int sy,
               bool transparent) {
  if (transparent) {
    BitBlt(dst, dx, dy, w, h, sheet.pic, sx + sheet.maskOffset, sy, Rop::SrcAnd);
    BitBlt(dst, dx, dy, w, h, sheet.pic, sx, sy, Rop::SrcInvert);
  } else {
    BitBlt(dst, dx, dy, w, h, sheet.pic, sx, sy, Rop::SrcCopy);
  }
}

void StretchPiece(Surface& dst, const Area& a, const PieceSheet& sheet, const Piece& p,
                  bool transparent) {
  if (transparent) {
    StretchBlt(dst, a.x, a.y, a.w, a.h, sheet.pic, p.x + sheet.maskOffset, p.y, p.w, p.h,
               Rop::SrcAnd);
    StretchBlt(dst, a.x, a.y, a.w, a.h, sheet.pic, p.x, p.y, p.w, p.h, Rop::SrcInvert);
  } else {
    StretchBlt(dst, a.x, a.y, a.w, a.h, sheet.pic, p.x, p.y, p.w, p.h, Rop::SrcCopy);
  }
}

// Repeats the piece over the area from its top-left corner; the last row
// and column are cut to what is left. A piece without size draws nothing.
void TilePiece(Surface& dst, const Area& a, const PieceSheet& sheet, const Piece& p,
               bool transparent) {
  if (p.w <= 0 || p.h <= 0) return;
  // Copies wholly outside the destination are skipped, so a tiny piece over
  // a huge area costs no more than the visible part.
  const int firstY = a.y < 0 ? (-a.y / p.h) * p.h : 0;
  const int firstX = a.x < 0 ? (-a.x / p.w) * p.w : 0;
  const int endY = std::min(a.h, dst.Height() - a.y);
  const int endX = std::min(a.w, dst.Width() - a.x);
  for (int oy = firstY; oy < endY; oy += p.h) {
    const int h = std::min(p.h, a.h - oy);
    for (int ox = firstX; ox < endX; ox += p.w) {
      const int w = std::min(p.w, a.w - ox);
      CopyPiece(dst, a.x + ox, a.y + oy, w, h, sheet, p.x, p.y, transparent);
    }
  }
}

void FillWithPiece(Surface& dst, const Area& a, const PieceSheet& sheet, const Piece& p,
                   bool stretch, bool transparent) {
  if (stretch) StretchPiece(dst, a, sheet, p, transparent);
  else TilePiece(dst, a, sheet, p, transparent);
}

}  // namespace

void DrawFrame(const Surface& framePic, Surface& dst, int x, int y, int width, int height,
               const FrameSettings& s) {
  const int cw = s.CornerWidth, ch = s.CornerHeight;
  const int hw = s.HorizontalWidth, vh = s.VerticalHeight;
  const PieceSheet sheet{framePic, 2 * cw + hw};
  const int innerW = width - 2 * cw, innerH = height - 2 * ch;
  const int right = x + width - cw, bottom = y + height - ch;

  // Corners.
  CopyPiece(dst, x, y, cw, ch, sheet, 0, 0, s.TransparentCorners);
  CopyPiece(dst, right, y, cw, ch, sheet, cw + hw, 0, s.TransparentCorners);
  CopyPiece(dst, x, bottom, cw, ch, sheet, 0, ch + vh, s.TransparentCorners);
  CopyPiece(dst, right, bottom, cw, ch, sheet, cw + hw, ch + vh, s.TransparentCorners);

  // Edges along the inner width and height.
  const bool stretch = s.StretchSides, clear = s.TransparentSides;
  FillWithPiece(dst, {x + cw, y, innerW, ch}, sheet, {cw, 0, hw, ch}, stretch, clear);
  FillWithPiece(dst, {x + cw, bottom, innerW, ch}, sheet, {cw, ch + vh, hw, ch}, stretch, clear);
  FillWithPiece(dst, {x, y + ch, cw, innerH}, sheet, {0, ch, cw, vh}, stretch, clear);
  FillWithPiece(dst, {right, y + ch, cw, innerH}, sheet, {cw + hw, ch, cw, vh}, stretch, clear);

  // The inside.
  if (innerW < 1 || innerH < 1) return;
  FillWithPiece(dst, {x + cw, y + ch, innerW, innerH}, sheet, {cw, ch, hw, vh}, s.StretchInside,
                s.TransparentInside);
}

void Shorten(const Engine& e, int16_t& width, int16_t& height) {
  const WindowState& w = e.win;
  width = SaturatingRound<int16_t>(static_cast<double>(width) - 2.0 * w.Frame.CornerWidth -
                                   2.0 * w.FontWidth);
  height = SaturatingRound<int16_t>(static_cast<double>(height) - 2.0 * w.Frame.CornerHeight -
                                    2.0 * w.FontHeight);
}

void DrawHand(const Surface& handPic, Surface& dst, int x, int y) {
  const int half = CInt(handPic.Width() / 2.0);
  BitBlt(dst, x, y, half, handPic.Height(), handPic, half, 0, Rop::SrcAnd);
  BitBlt(dst, x, y, half, handPic.Height(), handPic, 0, 0, Rop::SrcInvert);
}

}  // namespace yw
