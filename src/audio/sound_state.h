// Playing sound effects and the ambient stream.
#pragma once

#include <cstdint>
#include <string>

#include "world/table.h"

namespace yw {

struct SoundChannel {
  std::string file;
  uint32_t sample = 0;
  uint32_t channel = 0;
};

struct SoundState {
  Table<SoundChannel> SoundChannels;
  int16_t SoundChannelCount = 0;
  uint32_t AmbientStream = 0;
  bool MidiPlaying = false;  // the MIDI player has a piece playing
};

}  // namespace yw
