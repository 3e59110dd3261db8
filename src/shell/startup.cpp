#include "shell/startup.h"

#include "audio/sound.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "render/surfaces.h"
#include "shell/display_mode.h"

namespace yw {

void FormLoad(Engine& e, uint32_t seed) {
  for (GameKey k : kPollOrder) {
    if (e.platform.KeyDown(k)) {
      e.win.LastKey = VirtualKeyCode(k);
      break;
    }
  }
  e.win.Key = 0;
  e.rng.Seed(seed);
  e.CurrentDir = e.ProgramDir;
  e.win.KeyEnabled = false;
  e.win.Wait4Relase = true;
  e.platform.SetCaption("Yarrowind");
}

void FormResize(Engine& e) {
  int width = 0, height = 0;
  e.platform.WindowSize(width, height);
  e.pics.Frontbuf.Resize(e.win.ScreenWidth, e.win.ScreenHeight);
  e.win.FrontLeft = (width - static_cast<double>(e.win.ScreenWidth)) / 2.0;
  e.win.FrontTop = (height - static_cast<double>(e.win.ScreenHeight)) / 2.0;
}

void FrontbufKeyPress(Engine& e, uint8_t code) {
  if (e.win.GameMode == Mode::TextInput) e.win.Key2 = code;
}

void Shutdown(Engine& e) {
  RestoreResolution(e);
  Mute(e);
  e.QuitRequested = true;
}

}  // namespace yw
