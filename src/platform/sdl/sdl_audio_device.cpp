// Until the mixer-backed device is written the window runs silent.
#include "platform/sdl/sdl_audio_device.h"

namespace yw {

std::unique_ptr<AudioDevice> MakeSdlAudioDevice() { return std::make_unique<SilentAudioDevice>(); }

}  // namespace yw
