#include "render/compose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "compose_fixture.h"
#include "render/compose_internal.h"
#include "render/prepared_sprites.h"
#include "script/script_engine.h"
#include "sim/effects.h"
#include "render/view.h"

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

// Screen position of map cell (c, r) with the view origin at (3, 3) and
// the view at rest, as for a player standing on (5, 4).
int ScreenX(int c) { return (c - 3) * kTile; }
int ScreenY(int r) { return (r - 3) * kTile; }

void PlacePlayer(MapWorld& m, float x, float y) {
  m.world().PlayerPosX = x;
  m.world().PlayerPosY = y;
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
  // next move's update; now and then the tile sheet is repainted or the
  // map relinked, after which nothing drawn before may be trusted. After
  // every update the buffer must equal a buffer drawn in full from scratch
  // for the same state.
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
      if (roll == 3) {
        const int px = static_cast<int>(rng() % 48), py = static_cast<int>(rng() % kTile);
        const uint32_t colour = rng() & 0xFFFF;
        for (AnimatedWorld* w : {&live, &fresh}) w->engine.pics.Tilemap.Set(px, py, colour);
        if (rng() % 2) DooReLink(live.engine);
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

// A world with the view at origin (3, 3) drawn, ready for sprites.
struct SpriteWorld : MapWorld {
  SpriteWorld()
      : MapWorld(10, 8, 12, Patterned), doodads(engine.pics.DoodadMap), units(engine.pics.UnitDoo) {
    PlacePlayer(*this, 5, 4);
    BackbufUpdate(engine, false, true);
  }
  uint32_t At(int c, int r, int dx, int dy) { return front().At(ScreenX(c) + dx, ScreenY(r) + dy); }
  SheetPainter doodads, units;
};

constexpr uint32_t kRed = 0xE01010, kGreen = 0x10E010, kBlue = 0x1010E0;

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
      if (p.last != 0 && prep.clean)
        p.last = canvas.DrawAgain(prep, p.x, p.y, p.last);
      else
        p.last = canvas.Draw(sheet, d, rng() % 2 ? &prep : nullptr, p.x, p.y);
      MaskedBlt(want, p.x, p.y, d.width, d.height, sheet, d.maskX, d.maskY, d.picX, d.picY);
    }
    canvas.Whole();
    const auto a = got.Pixels(), b = want.Pixels();
    ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << "seed " << seed;
  }
}

// Random doodads (one cell, tall and wide), NPCs (some tall) and the player,
// each with a figure that leaves part of its rectangle open, against a
// painter that follows the drawing rules: row by row from the top, cell by
// cell from the left, the NPC, then the player (shifted by its step), then
// the cell's doodad, then the doodad whose picture the cell's cover link
// names. So a figure in a lower row stands in front of the doodads above it
// and a doodad covers the figures of its own cell.
TEST(FrameOrder, FiguresAndDoodadsAreDrawnInTheWalksOrderAgainstAModel) {
  struct Sprite {
    SpriteDef def;
    uint32_t colour;
    test::Figure figure;
  };
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    SpriteWorld s;
    World& w = s.world();
    Sprite doodads[] = {
        {{}, kRed, {0, 0, 8, 4}}, {{}, kGreen, {2, 0, 4, 16}}, {{}, kBlue, {3, 2, 13, 4}}};
    Sprite units[] = {
        {{}, 0xC0C000, {0, 2, 6, 6}}, {{}, 0x00C0C0, {1, 0, 5, 16}}, {{}, 0xC000C0, {2, 1, 6, 5}}};
    const int sizes[][2] = {{8, 8}, {8, 16}, {16, 8}};
    std::vector<SpriteDef> d, u;
    for (int i = 0; i < 3; ++i) {
      doodads[i].def =
          s.doodads.Add(sizes[i][0], sizes[i][1], doodads[i].colour, doodads[i].figure);
      units[i].def = s.units.Add(8, i == 1 ? 16 : 8, units[i].colour, units[i].figure);
      d.push_back(doodads[i].def), u.push_back(units[i].def);
    }
    s.SetDoodads({d[0], d[1], d[2]});
    s.SetUnits({u[0], u[1], u[2]});
    for (int16_t k = 1; k <= 3; ++k) s.AddCharacter(k, k);
    w.Party.Resize(w.PartyCount = 1);
    w.Party[1].character = w.Characters[3];
    w.PlayerDirection = 2;
    const int offset = static_cast<int>(rng() % 3) * 4 - 4;
    (rng() % 2 ? s.engine.view.StepOffsetX : s.engine.view.StepOffsetY) =
        static_cast<float>(offset);
    for (int y = 1; y <= 8; ++y)
      for (int x = 1; x <= 10; ++x)
        w.MapTiles(x, y).DOODAD = static_cast<int16_t>(rng() % 6 < 3 ? rng() % 3 + 1 : 0);
    for (int i = 0; i < 5; ++i)
      s.AddNpc(static_cast<int16_t>(1 + rng() % 2), static_cast<float>(2 + rng() % 6),
               static_cast<float>(2 + rng() % 5));
    DooReLink(s.engine);
    BufFlip(s.engine);

    // The model: the view's tiles, then every figure in the walk's order.
    Surface want(test::kScreenW, test::kScreenH);
    for (int y = 0; y < want.Height(); ++y)
      for (int x = 0; x < want.Width(); ++x)
        want.Set(x, y, TileColour(Patterned(3 + x / kTile, 3 + y / kTile)));
    auto paint = [&](const Sprite& sp, int c, int r, int dx = 0, int dy = 0) {
      const int h = sp.def.height, left = ScreenX(c) - dx, top = ScreenY(r) - (h - kTile) - dy;
      for (int y = 0; y < sp.figure.h; ++y)
        for (int x = 0; x < sp.figure.w; ++x) {
          const int px = left + sp.figure.x + x, py = top + sp.figure.y + y;
          if (px >= 0 && py >= 0 && px < want.Width() && py < want.Height())
            want.Set(px, py, sp.colour);
        }
    };
    std::map<std::pair<int, int>, std::pair<int, int>> links;  // cell -> the doodad covering it
    for (int y = 8; y >= 1; --y)
      for (int x = 1; x <= 10; ++x)
        if (const int k = w.MapTiles(x, y).DOODAD; k > 0)
          for (int r = y; r >= std::max(y - sizes[k - 1][1] / kTile, 1); --r)
            for (int c = x; c <= std::min(x + sizes[k - 1][0] / kTile, 10); ++c)
              links[{c, r}] = {x, y};
    std::map<std::pair<int, int>, int> npcs;
    for (int i = 1; i <= w.NpcCount; ++i)
      npcs[{static_cast<int>(w.Npcs[i].POS_X), static_cast<int>(w.Npcs[i].POS_Y)}] = w.Npcs[i].CHAR;
    for (int r = 2; r <= 7; ++r)
      for (int c = 2; c <= 8; ++c) {
        if (npcs.count({c, r})) paint(units[npcs[{c, r}] - 1], c, r);
        if (c == 5 && r == 4)
          paint(units[2], c, r, static_cast<int>(s.engine.view.StepOffsetX),
                static_cast<int>(s.engine.view.StepOffsetY));
        if (const int k = w.MapTiles(c, r).DOODAD; k > 0) paint(doodads[k - 1], c, r);
        if (auto l = links.find({c, r}); l != links.end())
          if (const int k = w.MapTiles(l->second.first, l->second.second).DOODAD; k > 0)
            paint(doodads[k - 1], l->second.first, l->second.second);
      }
    for (int y = 0; y < want.Height(); ++y)
      for (int x = 0; x < want.Width(); ++x)
        ASSERT_EQ(s.front().At(x, y), want.At(x, y))
            << "seed " << seed << ", pixel " << x << "," << y;
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

  u.engine.win.GameMode = Mode::CutScene;
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

// ADDVOODOO doodad \ x1 \ y1 \ x2 \ y2 \ ms: from (3, 4) to (5, 3), right
// and up, so a swapped cell or a wrong offset sign shows.
TEST(FlyingDoodads, AScriptedFlightGoesFromTheFirstCellToTheSecondAndThenVanishes) {
  SpriteWorld s;
  s.SetDoodads({s.doodads.Solid(kTile, kTile, kRed)});
  s.SetClock(1000);
  World& w = s.world();
  w.Scripts[++w.ScriptCount] = {"BEGIN\r\nADDVOODOO 1 \\ 3 \\ 4 \\ 5 \\ 3 \\ 100\r\nEND\r\n",
                                "fly.skr"};
  RunScript(s.engine, "fly.skr");
  ASSERT_EQ(Interpret(s.engine), 0);
  ASSERT_EQ(w.VoodooCount, 1);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(3, 4, 0, 0), kRed);
  EXPECT_EQ(s.At(3, 4, 7, 7), kRed);
  s.SetClock(1050);  // halfway: cell 4 across, half a cell below row 3
  BufFlip(s.engine);
  EXPECT_EQ(s.At(4, 3, 4, kTile / 2), kRed);
  EXPECT_EQ(s.At(4, 4, 4, kTile / 2 - 1), kRed);
  EXPECT_EQ(s.At(4, 3, 4, kTile / 2 - 1), TileColour(Patterned(4, 3)));
  EXPECT_EQ(s.At(3, 4, 4, 4), TileColour(Patterned(3, 4)));
  s.SetClock(1100);
  BufFlip(s.engine);
  EXPECT_EQ(s.At(5, 3, 0, 0), kRed);
  EXPECT_EQ(s.At(5, 3, 7, 7), kRed);
  s.SetClock(1101);
  BufFlip(s.engine);
  EXPECT_EQ(w.VoodooCount, 0);
  EXPECT_EQ(s.At(5, 3, 4, 4), TileColour(Patterned(5, 3)));
}

}  // namespace
}  // namespace yw
