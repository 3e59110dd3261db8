// Sound effects, the looping ambient music and MIDI music. Every failure
// is silent: a missing file or a missing sound device leaves the game
// running without sound.
#pragma once

#include <string_view>

namespace yw {

class CDXVBMusic;
class Engine;

// Starts the sound device when SoundOn; clears SoundOn when it cannot.
void SoundInit(Engine& e);
// Stops and releases all sound and music.
void Mute(Engine& e);
// Plays an effect file; a file played before reuses its loaded sample.
void PlaySound(Engine& e, std::string_view Datei);
// Switches the ambient music to a wave, MPEG audio or MIDI file; a name
// without extension tries ".wav", ".mp3", ".mid"; an empty name stops it.
void PlayAmbient(Engine& e, std::string_view Datei);
// The main loop's sound housekeeping: every TimeSoundTime ms it restarts
// finished MIDI music and frees the effects that have finished.
void SoundHousekeeping(Engine& e);

// The engine's MIDI player, bound to the window on first use.
CDXVBMusic& Music(Engine& e);

}  // namespace yw
