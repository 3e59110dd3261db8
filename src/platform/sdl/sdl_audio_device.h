// The sound device over SDL2_mixer.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/audio_device.h"

namespace yw {

// A device that opens the default audio output when the game starts sound.
// MIDI plays with `soundFont` when it is a usable SoundFont (a bad one is
// named on stderr), else with the default General MIDI soundfont.
std::unique_ptr<AudioDevice> MakeSdlAudioDevice(std::filesystem::path soundFont = {});

}  // namespace yw
