// The sound device over the page's Web Audio: samples and streams are
// decoded by the browser, MIDI pieces are played by a software synthesizer
// running in the page.
#pragma once

#include <memory>

#include "platform/audio_device.h"

namespace yw {

std::unique_ptr<AudioDevice> MakeWebAudioDevice();

}  // namespace yw
