#include "shell/engine.h"

#include <iostream>

#include "shell/save_folder.h"
#include "shell/startup.h"

namespace yw {

Engine::Engine(Platform& p, std::filesystem::path programDir)
    : platform(p),
      ProgramDir(std::move(programDir)),
      CurrentDir(ProgramDir),
      CanWriteFolder(FolderIsWritable) {
  InitWorld(world);
}

void Engine::DoEvents() {
  platform.SetTextEntry(win.GameMode == 11);  // 11: a text input is open
  PlatformEvents events = platform.Yield();
  for (uint8_t c : events.typed) FrontbufKeyPress(*this, c);
  if (events.resized) FormResize(*this);
  if (events.reloadPressed) PressReload(*this);
  if (events.overlayPressed) PressOverlay(*this);
  if (Observer) Observer->OnYield(*this);
  if (events.closeRequested && !QuitRequested) Shutdown(*this);
}

void Engine::TellUnusable(const std::filesystem::path& file, std::string_view reason) {
  if (!ToldUnusable.insert(file.lexically_normal()).second) return;
  std::cerr << "yarrowind: " << file.string() << ": " << reason << "\n";
}

void Engine::Show() { platform.Present(ShownPicture(*this, true), win.FrontLeft, win.FrontTop); }

}  // namespace yw
