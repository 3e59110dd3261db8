#include "shell/engine.h"

#include <iostream>

#include "shell/startup.h"
#include "sim/save_folder.h"

namespace yw {

// The parts, built in this order and destroyed in reverse: the author's
// tools first, the window variables last.
struct Engine::Parts {
  WindowState win;
  ViewState view;
  ListState lists;
  SoundState sound;
  Surfaces pics;
  AuthorTools author;
};

Engine::Engine(Platform& p, std::filesystem::path programDir)
    : parts_(std::make_unique<Parts>()),
      platform(p),
      win(parts_->win),
      view(parts_->view),
      lists(parts_->lists),
      sound(parts_->sound),
      pics(parts_->pics),
      ProgramDir(std::move(programDir)),
      CurrentDir(ProgramDir),
      CanWriteFolder(FolderIsWritable),
      author(parts_->author) {
  InitWorld(world);
}

Engine::~Engine() = default;

void Engine::DoEvents() {
  platform.SetTextEntry(win.GameMode == Mode::TextInput);
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
