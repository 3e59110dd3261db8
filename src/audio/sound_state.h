// Playing sound effects, the ambient stream and the MIDI player.
#pragma once

#include <cstdint>
#include <string>

#include "audio/midi_player.h"
#include "world/table.h"

namespace yw {

// One loaded sound effect.
struct SoundChannel {
  std::string file;      // the name as the caller gave it
  uint32_t sample = 0;   // the loaded sample
  uint32_t channel = 0;  // the channel of its latest playback
};

struct SoundState {
  Table<SoundChannel> SoundChannels;
  int16_t SoundChannelCount = 0;
  uint32_t AmbientStream = 0;  // 0 when none
  // The MIDI player; bound to the window on first use.
  CDXVBMusic Music;
};

}  // namespace yw
