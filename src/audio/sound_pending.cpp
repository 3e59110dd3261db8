// Placeholders until sound is built: sound stays off.
#include "audio/sound.h"
#include "shell/engine.h"

namespace yw {

void SoundInit(Engine& e) { e.win.SoundOn = false; }
void Mute(Engine&) {}
void PlaySound(Engine&, std::string_view) {}
void PlayAmbient(Engine& e, std::string_view file) { e.world.AmbientName = std::string(file); }
void SoundHousekeeping(Engine&) {}

}  // namespace yw
