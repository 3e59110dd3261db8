// The sound device over SDL2_mixer.
#pragma once

#include <memory>

#include "platform/audio_device.h"

namespace yw {

// A device that opens the default audio output when the game starts sound.
std::unique_ptr<AudioDevice> MakeSdlAudioDevice();

}  // namespace yw
