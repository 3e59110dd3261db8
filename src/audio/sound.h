// Sound effects, the looping ambient music and MIDI music.
#pragma once

#include <string_view>

namespace yw {

class Engine;

void SoundInit(Engine& e);
void Mute(Engine& e);
void PlaySound(Engine& e, std::string_view file);
void PlayAmbient(Engine& e, std::string_view file);
// The main loop's sound housekeeping: loops finished music and frees
// finished effects.
void SoundHousekeeping(Engine& e);

}  // namespace yw
