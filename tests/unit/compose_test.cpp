#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include "compose_fixture.h"
#include "render/compose.h"
#include "render/compose_internal.h"
#include "render/prepared_sprites.h"
#include "sim/effects.h"
#include "sim/view.h"

namespace yw {
namespace {

using test::kBlack;
using test::kTile;
using test::kWhite;
using test::MapWorld;
using test::SheetPainter;
using test::TileColour;

// Neighbouring cells differ in both directions.
int Patterned(int x, int y) { return (x + 3 * y) % 12 + 1; }
int Plain(int, int) { return 1; }

// Screen position of map cell (c, r) with the view origin at (3, 3) and
// the view at rest, as for a player standing on (5, 4).
int ScreenX(int c) { return (c - 3) * kTile; }
int ScreenY(int r) { return (r - 3) * kTile; }

void PlacePlayer(MapWorld& m, float x, float y) {
  m.world().PlayerPosX = x;
  m.world().PlayerPosY = y;
}

TEST(ResetBufDelta, DefaultsPutTheViewAtRestAndTargetsFollowTheOffsets) {
  MapWorld m(10, 8, 1, Plain);
  Engine& e = m.engine;
  e.view = {};
  ResetBufDelta(e);
  EXPECT_EQ(e.view.BufX, kTile);
  EXPECT_EQ(e.view.BufY, kTile);
  EXPECT_EQ(e.view.DestX, kTile);
  EXPECT_EQ(e.view.DestY, kTile);
  ResetBufDelta(e, 3.5f, 5.0f);
  EXPECT_EQ(e.view.BufX, 3.5f);
  EXPECT_EQ(e.view.DestX, 3.5f);
  EXPECT_EQ(e.view.DestY, 5.0f);
  ResetBufDelta(e, 3.0f, 5.0f, 16.0f, 0.0f);
  EXPECT_EQ(e.view.DestX, 16.0f);
  EXPECT_EQ(e.view.DestY, 0.0f);
}

TEST(ViewFor, CentresOnThePlayerAndStaysInsideLargerMaps) {
  MapWorld m(10, 8, 1, Plain);
  Engine& e = m.engine;  // 4 x 3 cells on screen
  EXPECT_EQ(ViewFor(e, 5, 4), (ViewOrigin{3, 3}));
  EXPECT_EQ(ViewFor(e, 1, 1), (ViewOrigin{1, 1}));
  EXPECT_EQ(ViewFor(e, 10, 8), (ViewOrigin{7, 6}));
  e.world.MapWidth = 3;  // narrower than the screen: not pushed back
  e.world.MapHeight = 2;
  EXPECT_EQ(ViewFor(e, 1, 1), (ViewOrigin{-1, 0}));
}

TEST(BackbufUpdate, FullDrawFillsTheViewAndItsMargin) {
  MapWorld m(10, 8, 12, Patterned);
  PlacePlayer(m, 5, 4);
  BackbufUpdate(m.engine, false, true);
  EXPECT_EQ(m.engine.view.ViewX, 3);
  EXPECT_EQ(m.engine.view.ViewY, 3);
  for (int br = 0; br < 5; ++br)
    for (int bc = 0; bc < 6; ++bc)
      EXPECT_EQ(m.BackCell(bc, br), TileColour(Patterned(2 + bc, 2 + br))) << bc << "," << br;
}

TEST(BackbufUpdate, MapSmallerThanTheViewLeavesBlackAround) {
  MapWorld m(2, 2, 12, Patterned);
  m.back().Fill(kWhite);
  PlacePlayer(m, 1, 1);
  BackbufUpdate(m.engine, false, true);  // origin (-1, 0)
  BufFlip(m.engine);
  for (int sy = 0; sy < 3; ++sy)
    for (int sx = 0; sx < 4; ++sx) {
      const int c = sx - 1, r = sy;  // map cell shown at screen cell (sx, sy)
      const bool inMap = c >= 1 && c <= 2 && r >= 1 && r <= 2;
      const uint32_t want = inMap ? TileColour(Patterned(c, r)) : kBlack;
      EXPECT_EQ(m.front().At(sx * kTile + 3, sy * kTile + 3), want) << sx << "," << sy;
    }
}

TEST(BackbufUpdate, OneCellMoveShiftsTheBufferAndDrawsOnlyTheExposedBand) {
  MapWorld m(10, 8, 12, Patterned);
  PlacePlayer(m, 5, 4);
  BackbufUpdate(m.engine, false, true);
  // Marks in cells that stay in view: a redraw would paint over them.
  m.back().Set(2 * kTile + 1, 2 * kTile + 1, kWhite);
  m.back().Set(4 * kTile + 1, 0 * kTile + 1, kWhite);
  PlacePlayer(m, 6, 4);  // the view moves one cell right
  BackbufUpdate(m.engine, false, false);
  EXPECT_EQ(m.engine.view.ViewX, 4);
  EXPECT_EQ(m.back().At(1 * kTile + 1, 2 * kTile + 1), kWhite);
  EXPECT_EQ(m.back().At(3 * kTile + 1, 0 * kTile + 1), kWhite);
  for (int br = 0; br < 5; ++br) EXPECT_EQ(m.BackCell(5, br), TileColour(Patterned(8, 2 + br)));
  PlacePlayer(m, 6, 3);  // and one cell up
  BackbufUpdate(m.engine, false, false);
  EXPECT_EQ(m.engine.view.ViewY, 2);
  EXPECT_EQ(m.back().At(1 * kTile + 1, 3 * kTile + 1), kWhite);
  EXPECT_EQ(m.back().At(3 * kTile + 1, 1 * kTile + 1), kWhite);
  for (int bc = 0; bc < 6; ++bc) EXPECT_EQ(m.BackCell(bc, 0), TileColour(Patterned(3 + bc, 1)));
}

// What Backbuf is known to show is forgotten when the map's drawing state is
// cleared or the tile sheet changes: the next update draws every cell.
TEST(BackbufUpdate, RelinkOrNewTileSheetRedrawsEveryCell) {
  MapWorld m(10, 8, 12, Patterned);
  PlacePlayer(m, 5, 4);
  BackbufUpdate(m.engine, false, true);
  const auto markAndUpdate = [&](auto change) {
    m.back().Set(2 * kTile + 1, 2 * kTile + 1, kWhite);
    change();
    BackbufUpdate(m.engine, true);
    return m.back().At(2 * kTile + 1, 2 * kTile + 1) != kWhite;
  };
  EXPECT_FALSE(markAndUpdate([] {}));  // nothing changed: nothing drawn
  EXPECT_TRUE(markAndUpdate([&] { DooReLink(m.engine); }));
  EXPECT_TRUE(markAndUpdate([&] { m.engine.pics.Tilemap.Set(0, 0, kBlack); }));
}

// Columns 1-3 show tile 1, which animates 1 -> 2 -> 1; the rest tile 3.
int AnimatedLeft(int x, int) { return x <= 3 ? 1 : 3; }

TEST(BackbufUpdate, AnimationRedrawsOnlyTilesWhoseFrameChanged) {
  MapWorld m(10, 8, 3, AnimatedLeft);
  m.world().TileDefs[1].NEXT = 2;
  m.world().TileDefs[2].NEXT = 1;
  ResetFrames(m.world());
  PlacePlayer(m, 5, 4);
  BackbufUpdate(m.engine, false, true);  // origin (3, 3): buffer column 0 is map column 2
  m.back().Set(3 * kTile + 1, 1 * kTile + 1, kWhite);  // a still tile
  StepFrames(m.world(), FrameFamily::Tiles);
  PlacePlayer(m, 8, 4);  // the view does not follow on an animation update
  BackbufUpdate(m.engine, true);
  EXPECT_EQ(m.engine.view.ViewX, 3);
  for (int br = 0; br < 5; ++br) {
    EXPECT_EQ(m.BackCell(1, br), TileColour(2));
    EXPECT_EQ(m.BackCell(2, br), TileColour(3));
  }
  EXPECT_EQ(m.back().At(3 * kTile + 1, 1 * kTile + 1), kWhite);
}

// Tiles 1-2 and 3-4-5 are animation cycles, 6 stands still.
int Mixed(int x, int y) { return (x * 5 + y * 3) % 6 + 1; }

// A world whose tiles carry a pattern inside each cell, so a cell drawn
// from the wrong place or at the wrong offset shows.
struct AnimatedWorld : MapWorld {
  AnimatedWorld() : MapWorld(14, 11, 6, Mixed) {
    World& w = world();
    w.TileDefs[1].NEXT = 2;
    w.TileDefs[2].NEXT = 1;
    w.TileDefs[3].NEXT = 4;
    w.TileDefs[4].NEXT = 5;
    w.TileDefs[5].NEXT = 3;
    ResetFrames(w);
    Surface& sheet = engine.pics.Tilemap;
    for (int y = 0; y < sheet.Height(); ++y)
      for (int x = 0; x < sheet.Width(); ++x)
        sheet.Set(x, y, sheet.At(x, y) ^ static_cast<uint32_t>(x * 7 + y * 13));
  }
};

TEST(BackbufUpdate, IncrementalUpdatesMatchAFullRedrawAfterAnySequenceOfMoves) {
  // Random walks of one-cell moves, into the map's corners and edges where
  // the view stops following, with the tile animation stepping in between:
  // sometimes redrawn at once (the animation tick), sometimes only by the
  // next move's update. After every update the buffer must equal a buffer
  // drawn in full from scratch for the same state.
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed);
    AnimatedWorld live, fresh;
    int x = 1 + static_cast<int>(rng() % 14), y = 1 + static_cast<int>(rng() % 11);
    PlacePlayer(live, static_cast<float>(x), static_cast<float>(y));
    BackbufUpdate(live.engine, false, true);
    for (int turn = 0; turn < 80; ++turn) {
      const uint32_t roll = rng() % 10;
      if (roll < 3) {
        StepFrames(live.world(), FrameFamily::Tiles);
        StepFrames(fresh.world(), FrameFamily::Tiles);
        if (roll == 0) BackbufUpdate(live.engine, true);
        continue;
      }
      const int dir = static_cast<int>(rng() % 4);
      x = std::clamp(x + (dir == 0) - (dir == 1), 1, 14);
      y = std::clamp(y + (dir == 2) - (dir == 3), 1, 11);
      PlacePlayer(live, static_cast<float>(x), static_cast<float>(y));
      BackbufUpdate(live.engine, false, false);
      PlacePlayer(fresh, static_cast<float>(x), static_cast<float>(y));
      fresh.engine.view.ViewX = fresh.engine.view.ViewY = 0;
      BackbufUpdate(fresh.engine, false, true);
      ASSERT_EQ(live.engine.view.ViewX, fresh.engine.view.ViewX);
      ASSERT_EQ(live.engine.view.ViewY, fresh.engine.view.ViewY);
      const auto a = live.back().Pixels(), b = fresh.back().Pixels();
      ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end()))
          << "seed " << seed << ", turn " << turn << ", player at " << x << "," << y;
    }
  }
}

TEST(BackbufUpdate, BadTileNumbersAreSkippedAndFightsHoldTheViewAtOne) {
  MapWorld m(10, 8, 3, Plain);
  m.world().MapTiles(2, 2).TILE = 0;
  m.world().MapTiles(3, 2).TILE = 99;
  m.back().Fill(kWhite);
  m.engine.win.FightMode = true;
  PlacePlayer(m, 9, 8);
  BackbufUpdate(m.engine, false, true);
  EXPECT_EQ(m.engine.view.ViewX, 1);
  EXPECT_EQ(m.engine.view.ViewY, 1);
  EXPECT_EQ(m.BackCell(1, 1), TileColour(1));
  EXPECT_EQ(m.BackCell(2, 2), kBlack);
  EXPECT_EQ(m.BackCell(3, 2), kBlack);
}

TEST(BufFlip, CopiesTheViewFromItsOffsetAndCountsFramesTo32000) {
  MapWorld m(10, 8, 12, Patterned);
  PlacePlayer(m, 5, 4);
  BackbufUpdate(m.engine, false, true);
  m.engine.view.BufX = 12;  // half a cell into a scroll to the right
  m.engine.view.FrameCounter = 31999;
  BufFlip(m.engine);
  for (int x = 0; x < test::kScreenW; x += 3)
    EXPECT_EQ(m.front().At(x, 5), m.back().At(x + 12, 5 + kTile));
  EXPECT_EQ(m.platform.PresentCount(), 1);
  EXPECT_EQ(m.engine.view.FrameCounter, 32000);
  BufFlip(m.engine);
  EXPECT_EQ(m.engine.view.FrameCounter, 0);
  BufFlip(m.engine);
  EXPECT_EQ(m.engine.view.FrameCounter, 1);
}

// A world with the view at origin (3, 3) drawn, ready for sprites.
struct SpriteWorld : MapWorld {
  SpriteWorld() : MapWorld(10, 8, 12, Patterned), doodads(engine.pics.DoodadMap), units(engine.pics.UnitDoo) {
    PlacePlayer(*this, 5, 4);
    BackbufUpdate(engine, false, true);
  }
  uint32_t At(int c, int r, int dx, int dy) { return front().At(ScreenX(c) + dx, ScreenY(r) + dy); }
  SheetPainter doodads, units;
};

constexpr uint32_t kRed = 0xE01010, kGreen = 0x10E010, kBlue = 0x1010E0;

TEST(BufFlip, MaskedDoodadLeavesTheBackgroundAndCoversTheUnitInItsCell) {
  SpriteWorld s;
  s.SetDoodads({s.doodads.Add(kTile, kTile, kRed, {2, 2, 4, 4})});
  s.SetUnits({s.units.Solid(kTile, kTile, kGreen)});
  s.world().MapTiles(4, 4).DOODAD = 1;
  s.world().MapTiles(6, 4).DOODAD = 1;
  s.AddNpc(static_cast<int16_t>(s.AddCharacter(1, 1)), 4, 4);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(6, 4, 3, 3), kRed);
  EXPECT_EQ(s.At(6, 4, 0, 0), TileColour(Patterned(6, 4)));
  EXPECT_EQ(s.At(6, 4, 7, 7), TileColour(Patterned(6, 4)));
  EXPECT_EQ(s.At(4, 4, 3, 3), kRed);
  EXPECT_EQ(s.At(4, 4, 0, 0), kGreen);
}

TEST(BufFlip, LowerUnitsCoverHigherOnes) {
  SpriteWorld s;
  s.SetUnits({s.units.Solid(kTile, 2 * kTile, kGreen), s.units.Solid(kTile, 2 * kTile, kBlue)});
  s.AddNpc(static_cast<int16_t>(s.AddCharacter(2, 2)), 4, 5);  // blue, the lower one
  s.AddNpc(static_cast<int16_t>(s.AddCharacter(1, 1)), 4, 4);  // green, standing above
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 4, 4, 4), kBlue);   // the lower unit reaches up over the higher
  EXPECT_EQ(s.At(4, 3, 4, 4), kGreen);  // the higher unit's head is free
}

TEST(BufFlip, LinkedDoodadCoversUnitsWhereItsPictureReaches) {
  SpriteWorld s;
  s.SetDoodads({s.doodads.Solid(2 * kTile, kTile, kRed)});  // two cells wide
  s.SetUnits({s.units.Solid(kTile, kTile, kGreen)});
  s.world().MapTiles(4, 4).DOODAD = 1;
  s.AddNpc(static_cast<int16_t>(s.AddCharacter(1, 1)), 5, 4);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(5, 4, 2, 2), kGreen);  // no links yet: the unit drawn later wins
  DooReLink(s.engine);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(5, 4, 2, 2), kRed);
  EXPECT_EQ(s.At(4, 4, 2, 2), kRed);
}

TEST(BufFlip, BlinkingUnitShowsAWhiteSilhouetteOnEvenSteps) {
  SpriteWorld s;
  s.SetUnits({s.units.Add(kTile, kTile, kGreen, {2, 2, 4, 4})});
  Npc& n = s.AddNpc(static_cast<int16_t>(s.AddCharacter(1, 1)), 4, 4);
  n.actor.blink = 0.05f;  // (0.05 + 0.15) / 0.05 = 4: even
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 4, 3, 3), kWhite);
  EXPECT_EQ(s.At(4, 4, 0, 0), TileColour(Patterned(4, 4)));
  s.world().Npcs[1].actor.blink = 0.1f;  // 5: odd, drawn normally
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 4, 3, 3), kGreen);
}

TEST(BufFlip, DoodadDrawnAgainOverAUnitGivesTheTwoPassPicture) {
  // Doodad D at (4, 4) is drawn at its own cell and again at (4, 3) and
  // (5, 4), the cells its links still reach after doodad E at (5, 3) took
  // (5, 3); a cell linked to itself draws its doodad twice. NPC N at (5, 4)
  // lags half a cell into D's picture. A clean D
  // is drawn again only where something was drawn since; a D with stray
  // colour outside its figure flips that colour on every draw. Either way
  // the frame must be the one the full draws give, in the walk's order.
  for (const uint32_t stray : {0u, 0x0000FFu}) {
    SpriteWorld s;
    const SpriteDef d = s.doodads.Add(kTile, kTile, kRed, {2, 2, 4, 4});
    const SpriteDef e = s.doodads.Solid(kTile, kTile, kBlue);
    s.engine.pics.DoodadMap.Set(d.picX + 1, d.picY + 1, stray);  // mask white there
    s.SetDoodads({d, e});
    const SpriteDef n = s.units.Solid(kTile, kTile, kGreen);
    s.SetUnits({n});
    s.world().MapTiles(4, 4).DOODAD = 1;
    s.world().MapTiles(5, 3).DOODAD = 2;
    s.AddNpc(static_cast<int16_t>(s.AddCharacter(1, 1)), 5, 4).stepOffsetX = kTile / 2;
    DooReLink(s.engine);
    BufFlip(s.engine);

    Surface want(test::kScreenW, test::kScreenH);
    BitBlt(want, 0, 0, want.Width(), want.Height(), s.back(), kTile, kTile, Rop::SrcCopy);
    auto draw = [&](const Surface& sheet, const SpriteDef& f, int c, int r, int lag) {
      MaskedBlt(want, ScreenX(c) - lag, ScreenY(r), f.width, f.height, sheet, f.maskX, f.maskY,
                f.picX, f.picY);
    };
    const Surface& doodads = s.engine.pics.DoodadMap;
    for (int k = 0; k < 2; ++k) draw(doodads, e, 5, 3, 0);  // row 2: (5, 2), (6, 2) link to E
    draw(doodads, d, 4, 4, 0);                              // (4, 3) links to D
    for (int k = 0; k < 3; ++k) draw(doodads, e, 5, 3, 0);  // E, its self-link, (6, 3)
    for (int k = 0; k < 2; ++k) draw(doodads, d, 4, 4, 0);  // D and its self-link
    draw(s.engine.pics.UnitDoo, n, 5, 4, kTile / 2);        // N, then D again through (5, 4)
    draw(doodads, d, 4, 4, 0);
    for (int y = 0; y < want.Height(); ++y)
      for (int x = 0; x < want.Width(); ++x)
        ASSERT_EQ(s.front().At(x, y), want.At(x, y)) << stray << " at " << x << "," << y;
  }
}

TEST(BufFlip, ARepaintedDoodadSheetIsDrawnAnew) {
  SpriteWorld s;
  const SpriteDef d = s.doodads.Add(kTile, kTile, kRed, {2, 2, 4, 4});
  s.SetDoodads({d});
  s.world().MapTiles(4, 4).DOODAD = 1;
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 4, 3, 3), kRed);
  s.engine.pics.DoodadMap.Set(d.picX + 3, d.picY + 3, kBlue);
  s.engine.pics.DoodadMap.Set(d.picX + 7, d.picY + 7, kBlue);  // no longer clean
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 4, 3, 3), kBlue);
  EXPECT_EQ(s.At(4, 4, 7, 7), TileColour(Patterned(4, 4)) ^ kBlue);
}

TEST(FrameCanvas, CleanSpritesDrawnAgainOnlyWhereTouchedEqualFullDraws) {
  // Random sequences of sprites drawn at a few places, partly off the
  // frame, with the view copied from a random offset: drawing a clean
  // sprite again only over the cells touched since its last draw must
  // leave the frame that drawing everything in full leaves.
  Surface sheet;
  SheetPainter painter(sheet);
  const SpriteDef defs[] = {painter.Add(7, 9, kRed, {1, 2, 4, 6}), painter.Solid(5, 5, kGreen),
                            painter.Add(12, 4, kBlue, {3, 0, 6, 4}),
                            painter.Add(9, 9, kWhite, {2, 2, 5, 5})};
  sheet.Set(defs[3].picX, defs[3].picY, kRed);  // stray colour: not clean
  for (int x = 0; x < 7; ++x) sheet.Set(defs[0].maskX + x, defs[0].maskY + 1, 0x808080);  // soft
  PreparedSprites prepared;
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    Surface back(test::kScreenW + 2 * kTile, test::kScreenH + 2 * kTile);
    for (uint32_t& p : back.Pixels()) p = rng() & kPixelMask;
    const int bufX = static_cast<int>(rng() % (2 * kTile)), bufY = static_cast<int>(rng() % kTile);
    Surface got(test::kScreenW, test::kScreenH), want = got;
    BitBlt(want, 0, 0, want.Width(), want.Height(), back, bufX, bufY, Rop::SrcCopy);
    compose::FrameCanvas canvas(got, back, bufX, bufY, kTile, kTile);
    struct Place {
      const SpriteDef* def;
      int x, y;
      uint32_t last;
    };
    std::vector<Place> places;
    for (int k = 0; k < 6; ++k)
      places.push_back({&defs[rng() % 4], static_cast<int>(rng() % 44) - 8,
                        static_cast<int>(rng() % 34) - 8, 0});
    for (int turn = 0; turn < 40; ++turn) {
      Place& p = places[rng() % places.size()];
      const SpriteDef& d = *p.def;
      const PreparedSprite& prep = prepared.Get(sheet, d);
      if (rng() % 5 == 0) {  // a blinking unit: no second draw to skip
        canvas.Draw(sheet, d, &prep, p.x, p.y, compose::SpriteLook::Silhouette);
        BitBlt(want, p.x, p.y, d.width, d.height, sheet, d.maskX, d.maskY, Rop::MergePaint);
        continue;
      }
      if (p.last != 0 && prep.clean) p.last = canvas.DrawAgain(prep, p.x, p.y, p.last);
      else p.last = canvas.Draw(sheet, d, rng() % 2 ? &prep : nullptr, p.x, p.y);
      MaskedBlt(want, p.x, p.y, d.width, d.height, sheet, d.maskX, d.maskY, d.picX, d.picY);
    }
    canvas.Whole();
    const auto a = got.Pixels(), b = want.Pixels();
    ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << "seed " << seed;
  }
}

// Unit sprites of distinct colours: 1 standing down, 2 walking down (its
// working frame shows sprite 5 instead), 3 standing up, 4 standing left
// and right, 5 the walking frame's current picture.
struct UnitWorld : SpriteWorld {
  static constexpr uint32_t kStanding = 0xA01010, kWalkingDef = 0x10A010, kUp = 0x1010A0,
                            kSide = 0xA0A010, kWalkingFrame = 0x10A0A0;
  UnitWorld() {
    SetUnits({units.Solid(kTile, kTile, kStanding), units.Solid(kTile, kTile, kWalkingDef),
              units.Solid(kTile, kTile, kUp), units.Solid(kTile, kTile, kSide),
              units.Solid(kTile, kTile, kWalkingFrame)});
    world().UnitFrames[2] = world().UnitDefs[5];
    const int c = AddCharacter(1, 2);
    Character& ch = world().Characters[c];
    ch.DOOUP = 3;
    ch.DOOLEFT = ch.DOORIGHT = 4;
    npc = &AddNpc(static_cast<int16_t>(c), 4, 4);
  }
  uint32_t Drawn() {
    BufFlip(engine);
    return At(4, 4, 4, 4);
  }
  void Order(ActorAction action) {
    npc->actor.active = true;
    npc->actor.speed = 1;
    npc->actor.action = action;
  }
  Npc* npc;
};

TEST(UnitFrames, OnTheMapMovementAndInACutSceneTheActionChooses) {
  UnitWorld u;
  EXPECT_EQ(u.Drawn(), UnitWorld::kStanding);
  u.npc->stepOffsetY = 0.25f;  // still on the same pixel, but moving
  EXPECT_EQ(u.Drawn(), UnitWorld::kWalkingFrame);
  u.Order(ActorAction::Step);  // orders count only in cut-scenes
  EXPECT_EQ(u.Drawn(), UnitWorld::kWalkingFrame);

  u.engine.win.GameMode = 9;
  u.npc->actor.active = false;
  EXPECT_EQ(u.Drawn(), UnitWorld::kStanding);  // no active order
  u.Order(ActorAction::Walk);
  EXPECT_EQ(u.Drawn(), UnitWorld::kWalkingFrame);
  u.Order(ActorAction::Step);
  EXPECT_EQ(u.Drawn(), UnitWorld::kWalkingDef);
  u.Order(ActorAction::Turn);
  u.world().UnitPhase = 1;
  EXPECT_EQ(u.Drawn(), UnitWorld::kUp);
  u.world().UnitPhase = 4;
  EXPECT_EQ(u.Drawn(), UnitWorld::kSide);
  u.Order(ActorAction::Nothing);
  EXPECT_EQ(u.Drawn(), UnitWorld::kStanding);
  u.Order(ActorAction::Invisible);
  EXPECT_EQ(u.Drawn(), TileColour(Patterned(4, 4)));
}

TEST(UnitFrames, JumpFollowsAnArcPeakingHalfway) {
  UnitWorld u;
  u.engine.win.GameMode = 9;
  u.Order(ActorAction::Jump);
  u.npc->actor.direction = 4;
  u.npc->actor.stepsGiven = 2;
  u.npc->actor.steps = 2;
  u.npc->stepOffsetX = kTile;  // setting off: p = 1, on the ground
  BufFlip(u.engine);
  EXPECT_EQ(u.front().At(ScreenX(4) - kTile + 4, ScreenY(4) + 4), UnitWorld::kWalkingDef);
  u.npc->stepOffsetX = 0;  // halfway: raised by half the jump's length
  BufFlip(u.engine);
  EXPECT_EQ(u.At(4, 3, 4, 4), UnitWorld::kWalkingDef);
  EXPECT_EQ(u.At(4, 4, 4, 4), TileColour(Patterned(4, 4)));
  u.npc->actor.steps = 1;  // landed: p = 0
  BufFlip(u.engine);
  EXPECT_EQ(u.At(4, 4, 4, 4), UnitWorld::kWalkingDef);
}

TEST(UnitFrames, LeavingActorBlinksAlongItsWay) {
  UnitWorld u;
  u.engine.win.GameMode = 9;
  u.Order(ActorAction::Leave);
  u.npc->actor.direction = 4;
  u.npc->actor.stepsGiven = 1;
  u.npc->actor.steps = 1;
  int white = 0, normal = 0;
  for (int off = kTile; off >= 0; --off) {
    u.npc->stepOffsetX = static_cast<float>(off);
    BufFlip(u.engine);
    const uint32_t px = u.front().At(ScreenX(4) - off + 4, ScreenY(4) + 4);
    white += px == kWhite;
    normal += px == UnitWorld::kStanding;
  }
  EXPECT_GT(white, 0);
  EXPECT_GT(normal, 0);
  EXPECT_EQ(white + normal, kTile + 1);
}

TEST(BufFlip, PlayerIsTheLeaderDrawnBehindItsCellDuringAStep) {
  SpriteWorld s;
  s.SetUnits({s.units.Solid(kTile, kTile, kGreen), s.units.Solid(kTile, kTile, kBlue)});
  s.world().PartyCount = 1;
  s.world().Party[1].character.DOODOWN = 1;
  s.world().Party[1].character.DOORIGHTANI = 2;
  s.world().PlayerDirection = 2;
  BufFlip(s.engine);
  EXPECT_EQ(s.At(5, 4, 4, 4), kGreen);
  s.world().PlayerDirection = 4;
  s.engine.view.StepOffsetX = 3;  // stepped right, still 3 pixels behind
  BufFlip(s.engine);
  EXPECT_EQ(s.At(5, 4, 4, 4), kBlue);
  EXPECT_EQ(s.At(4, 4, kTile - 3, 4), kBlue);
  EXPECT_EQ(s.At(5, 4, kTile - 2, 4), TileColour(Patterned(5, 4)));
}

TEST(BufFlip, StatisticsLinesStandOneFontHeightApart) {
  MapWorld m(10, 8, 1, Plain);
  Engine& e = m.engine;
  PlacePlayer(m, 5, 4);
  BackbufUpdate(e, false, true);
  const int fw = 2, fh = 3;
  e.pics.FontPic.Resize(32 * fw, 14 * fh);
  for (int y = 0; y < 7 * fh; ++y)  // every glyph solid white, every mask solid black
    for (int x = 0; x < 32 * fw; ++x) e.pics.FontPic.Set(x, y, kWhite);
  e.win.FontWidth = fw;
  e.win.FontHeight = fh;
  e.win.FPS = 12;
  e.win.DelayLoops = 345;
  e.win.ShowFPS = true;
  e.win.ShowReserve = true;
  BufFlip(e);
  // "FPS:12" is 6 cells long, "Reserve:345" 11.
  EXPECT_EQ(m.front().At(5 * fw, 0), kWhite);
  EXPECT_EQ(m.front().At(6 * fw, 0), TileColour(1));
  EXPECT_EQ(m.front().At(10 * fw, fh), kWhite);
  EXPECT_EQ(m.front().At(11 * fw, fh), TileColour(1));
  EXPECT_EQ(m.front().At(0, 2 * fh), TileColour(1));
  e.win.ShowFPS = false;
  BufFlip(e);
  EXPECT_EQ(m.front().At(0, 0), TileColour(1));
  EXPECT_EQ(m.front().At(0, fh), kWhite);
}

TEST(FlyingDoodads, FlyFromTheirStartCellToTheTargetAndThenVanish) {
  SpriteWorld s;
  s.SetDoodads({s.doodads.Solid(kTile, kTile, kRed)});
  s.SetClock(1000);
  AddVoodoo(s.engine, 1, 3, 3, 5, 5, 100);  // diagonally down and right
  BufFlip(s.engine);
  EXPECT_EQ(s.At(3, 3, 4, 4), kRed);
  s.SetClock(1050);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 4, 4, 4), kRed);
  EXPECT_EQ(s.At(4, 4, 0, 0), kRed);  // exactly on the cell
  EXPECT_EQ(s.At(3, 3, 4, 4), TileColour(Patterned(3, 3)));
  s.SetClock(1100);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(5, 5, 4, 4), kRed);
  EXPECT_EQ(s.world().VoodooCount, 1);
  s.SetClock(1101);
  BufFlip(s.engine);
  EXPECT_EQ(s.world().VoodooCount, 0);
  EXPECT_EQ(s.At(5, 5, 4, 4), TileColour(Patterned(5, 5)));
}

TEST(BufFlip, DamagedPositionsAreSurvived) {
  SpriteWorld s;
  s.SetDoodads({s.doodads.Solid(kTile, kTile, kRed)});
  s.SetUnits({s.units.Solid(kTile, kTile, kGreen)});
  Npc& n = s.AddNpc(static_cast<int16_t>(s.AddCharacter(1, 1)), 4, 4);
  n.stepOffsetX = std::numeric_limits<float>::quiet_NaN();
  n.stepOffsetY = 3e38f;
  s.AddNpc(1, 1e30f, -1e30f);
  s.SetClock(10);
  AddVoodoo(s.engine, 1, 1, 1, 2, 2, 1000);
  s.world().Voodoos[1].distX = 3e38f;
  s.world().Voodoos[1].targetY = std::numeric_limits<float>::infinity();
  AddPopup(s.engine, 5, -1e9f, 1e9f, 1000, 0);
  BufFlip(s.engine);
  s.engine.view.BufX = 1e30f;
  s.engine.view.ViewY = -1e30f;
  BufFlip(s.engine);
  EXPECT_EQ(s.engine.view.FrameCounter, 2);
}

TEST(Popups, NumbersFloatAboveTheirCellUntilTheirTimeIsUp) {
  SpriteWorld s;
  Engine& e = s.engine;
  const int cw = 2, ch = 3;
  e.pics.DigitPic.Resize(12 * cw, 5 * ch);
  e.pics.DigitPic.Fill(kWhite);
  for (int y = 0; y < ch; ++y)  // mask row: solid black digits; colour sets: solid colour
    for (int x = 0; x < 12 * cw; ++x) e.pics.DigitPic.Set(x, y, kBlack);
  for (int y = ch; y < 5 * ch; ++y)
    for (int x = 0; x < 12 * cw; ++x) e.pics.DigitPic.Set(x, y, kBlue);
  s.SetClock(2000);
  AddPopup(e, -3, 4, 4, 1000, kTile);  // top of the number one tile above the cell's bottom
  BufFlip(e);
  // "-3" is two cells wide, centred in the cell, its top at the cell's top.
  EXPECT_EQ(s.At(4, 4, 2, 0), kBlue);
  EXPECT_EQ(s.At(4, 4, 5, ch - 1), kBlue);
  EXPECT_EQ(s.At(4, 4, 1, 0), TileColour(Patterned(4, 4)));
  EXPECT_EQ(s.At(4, 4, 2, ch), TileColour(Patterned(4, 4)));
  s.SetClock(3000);  // the end: risen by half a tile
  BufFlip(e);
  EXPECT_EQ(s.At(4, 3, 2, kTile / 2), kBlue);
  EXPECT_EQ(e.world.PopupCount, 1);
  s.SetClock(3001);
  BufFlip(e);
  EXPECT_EQ(e.world.PopupCount, 0);
  EXPECT_EQ(s.At(4, 3, 2, kTile / 2), TileColour(Patterned(4, 3)));
}

}  // namespace
}  // namespace yw
