// The sound device over SDL2_mixer.
#pragma once

#include <memory>

#include "platform/audio_device.h"

namespace yw {

std::unique_ptr<AudioDevice> MakeSdlAudioDevice();

}  // namespace yw
