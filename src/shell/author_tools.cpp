#include "shell/author_tools.h"

#include <algorithm>
#include <iostream>

#include "core/engine.h"
#include "core/window_state.h"
#include "platform/encoding.h"
#include "render/compose.h"
#include "render/dialogs.h"
#include "render/pictures.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "shell/debug_overlay.h"
#include "sim/effects.h"
#include "sim/game_files.h"

namespace yw {

namespace {

// How often the overlay is drawn again while the game shows nothing new.
constexpr int32_t kOverlayRefreshMs = 250;
// The span over which the game's frames are counted for the overlay.
constexpr Millis kFrameCountMs = 1000;

// The map files in use, read again as they are named now. Returns the name
// of the file that failed, empty when all loaded.
std::string ReloadMap(Engine& s) {
  const World& w = s.world;
  const std::string map = w.MapFile, tiles = w.TilemapFile, doodads = w.DoodadmapFile;
  const std::string events = w.EventmapFile;
  if (!map.empty() && !LoadMapFile(s, map, false)) return map;
  if (!tiles.empty() && !LoadTileDefs(s, tiles)) return tiles;
  if (!doodads.empty() && !LoadSpriteDefs(s, doodads, 0)) return doodads;
  if (!events.empty() && !LoadEventmapFile(s, events, false)) return events;
  return {};
}

// A map picture that showed before and cannot be loaded now.
std::string LostPicture(const Engine& before, const Engine& now) {
  const struct {
    const std::string& name;
    const Surface& was;
    const Surface& is;
  } pictures[] = {
      {now.world.TilePicture, before.pics.Tilemap, now.pics.Tilemap},
      {now.world.DoodadPicture, before.pics.DoodadMap, now.pics.DoodadMap},
      {now.world.UnitPicture, before.pics.UnitDoo, now.pics.UnitDoo},
      {now.world.ItemPicture, before.pics.ItemDoo, now.pics.ItemDoo},
  };
  for (const auto& p : pictures)
    if (!p.name.empty() && p.is.Empty() && !p.was.Empty()) return p.name;
  return {};
}

// Reads everything into a copy of the running engine; the problem that
// stops the reload, or empty when the copy holds the new game.
std::string LoadInto(Engine& e, Engine& copy) {
  copy.CurrentDir = e.CurrentDir;
  copy.world = e.world;
  copy.win = e.win;
  if (!LoadScripts(copy)) return "Error: Cannot load scripts!";
  if (!LoadCharacters(copy)) return "Error: Cannot load characters!";
  if (!LoadItems(copy)) return "Error: Cannot load items!";
  if (const std::string map = ReloadMap(copy); !map.empty())
    return "Error: Cannot load \"" + map + "\"!";
  LoadPix(copy, 0);
  if (std::string problem = InterfacePictureProblem(copy); !problem.empty())
    return "Error: " + problem;
  if (const std::string pic = LostPicture(e, copy); !pic.empty())
    return "Error: Cannot load the picture \"" + pic + "\"!";
  return {};
}

void ShowReloadError(Engine& e, const std::string& text) {
  std::cerr << "yarrowind: the game was not reloaded:\n" << PrintableText(text) << "\n";
  // The message box breaks lines at CR LF.
  std::string shown;
  for (char c : text) {
    if (c == '\n') shown += '\r';
    shown += c;
  }
  DrawMsg(e, shown, e.win.GameMode);
}

// The player stays where he was; a map that became smaller moves him onto
// its last row or column.
void KeepPlayerOnMap(World& w) {
  if (w.MapWidth < 1 || w.MapHeight < 1) return;
  w.PlayerPosX = std::clamp(w.PlayerPosX, 1.0f, static_cast<float>(w.MapWidth));
  w.PlayerPosY = std::clamp(w.PlayerPosY, 1.0f, static_cast<float>(w.MapHeight));
}

}  // namespace

void PressReload(Engine& e) {
  if (e.author.testPlay) e.author.reloadPending = true;
}

void PressOverlay(Engine& e) {
  AuthorTools& a = e.author;
  if (!a.overlayAllowed) return;
  a.overlayOn = !a.overlayOn;
  a.overlayChanged = true;  // shown at the next turn, between two frames
}

void AuthorToolsTurn(Engine& e) {
  AuthorTools& a = e.author;
  // On the map, outside a fight and between two steps: nothing half done
  // depends on the files being replaced.
  const bool atRest = e.view.StepOffsetX == 0 && e.view.StepOffsetY == 0;
  if (a.reloadPending && e.win.GameMode == Mode::Map && !e.win.FightMode && atRest) {
    a.reloadPending = false;
    ReloadGame(e);
  }
  // Drawn again for the overlay's sake only: not a frame of the game's.
  if (a.overlayChanged || (a.overlayOn && e.Now() - a.lastShown >= kOverlayRefreshMs)) {
    a.overlayChanged = false;
    e.platform.Present(ShownPicture(e, false), e.win.FrontLeft, e.win.FrontTop);
  }
}

void TellScriptError(Engine& e, const std::string& message) {
  if (!e.author.testPlay && !e.author.overlayAllowed) return;
  const std::string place = RunningScriptPlace(e);
  std::string told = (place.empty() ? std::string() : place + ": ") + message;
  e.author.lastScriptError = told;
  if (!e.world.ErrorLine.empty()) told += " (" + e.world.ErrorLine + ")";
  std::cerr << "yarrowind: " << PrintableText(Cp1252ToUtf8(told)) << "\n";
}

bool ReloadGame(Engine& e) {
  if (e.author.prepare) {
    if (const std::string problems = e.author.prepare(e); !problems.empty()) {
      ShowReloadError(e, problems);
      return false;
    }
  }
  Engine copy(e.platform, e.ProgramDir);
  if (const std::string problem = LoadInto(e, copy); !problem.empty()) {
    ShowReloadError(e, problem);
    return false;
  }
  e.world = std::move(copy.world);
  World& w = e.world;
  KeepPlayerOnMap(w);
  e.view.KeptTilePic.clear();
  e.view.KeptDoodadPic.clear();
  e.view.KeptUnitPic.clear();
  e.view.KeptItemPic.clear();
  LoadPix(e, 0);
  DooReLink(e);
  ResetFrames(w);
  StepFrames(w);
  ResetBufDelta(e);
  BackbufUpdate(e, false, true);
  BufFlip(e);
  return true;
}

namespace {

// Frames of the game's own drawing per second of the clock, measured over
// about a second; refreshes of the overlay alone are not counted.
void CountFrames(AuthorTools& a, Millis now, bool gameFrame) {
  const Millis elapsed = now - a.fpsSince;
  if (elapsed >= kFrameCountMs) {
    a.fps =
        static_cast<int>((static_cast<int64_t>(a.framesCounted) * 1000 + elapsed / 2) / elapsed);
    a.framesCounted = 0;
    a.fpsSince = now;
  }
  if (gameFrame) ++a.framesCounted;
}

}  // namespace

const Surface& ShownPicture(Engine& e, bool gameFrame) {
  AuthorTools& a = e.author;
  const Millis t = e.Now();
  CountFrames(a, t, gameFrame);
  if (!a.overlayOn) return e.pics.Frontbuf;
  a.lastShown = t;
  a.shown = e.pics.Frontbuf;
  DrawDebugOverlay(e, a.shown);
  return a.shown;
}

}  // namespace yw
