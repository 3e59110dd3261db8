// The device's bookkeeping (handles, playbacks, the music channel) lives in
// the page beside the Web Audio nodes it follows (yarrowind_web.js,
// Module.yw.audio); this side reads the files and forwards the calls.
#include "platform/web/web_audio_device.h"

#include <emscripten.h>

#include <optional>
#include <string>

#include "world/binary_io.h"

// clang-format off
EM_JS(int, yw_audio_init, (), { return Module.yw.audio.init(); });
EM_JS(void, yw_audio_free, (), { Module.yw.audio.free(); });
EM_ASYNC_JS(uint32_t, yw_audio_sample_load, (const char* bytes, int size, int max, int replace), {
  return await Module.yw.audio.sampleLoad(HEAPU8.slice(bytes, bytes + size), max, !!replace);
});
EM_JS(uint32_t, yw_audio_sample_play, (uint32_t h), { return Module.yw.audio.samplePlay(h); });
EM_JS(int, yw_audio_sample_free, (uint32_t h), { return Module.yw.audio.sampleFree(h); });
EM_JS(int, yw_audio_channel_active, (uint32_t h), { return Module.yw.audio.channelIsActive(h); });
EM_JS(int, yw_audio_channel_stop, (uint32_t h), { return Module.yw.audio.channelStop(h); });
EM_ASYNC_JS(uint32_t, yw_audio_stream_create, (const char* bytes, int size), {
  return await Module.yw.audio.streamCreate(HEAPU8.slice(bytes, bytes + size));
});
EM_JS(int, yw_audio_stream_play, (uint32_t h, int loop), {
  return Module.yw.audio.streamPlay(h, !!loop);
});
EM_JS(int, yw_audio_stream_free, (uint32_t h), { return Module.yw.audio.streamFree(h); });
EM_ASYNC_JS(int, yw_audio_midi_open, (const char* bytes, int size), {
  return await Module.yw.audio.midiOpen(HEAPU8.slice(bytes, bytes + size));
});
EM_JS(int, yw_audio_midi_play, (double fromMs), { return Module.yw.audio.midiPlay(fromMs); });
EM_JS(int, yw_audio_midi_pause, (), { return Module.yw.audio.midiPause(); });
EM_JS(int, yw_audio_midi_resume, (), { return Module.yw.audio.midiResume(); });
EM_JS(void, yw_audio_midi_close, (), { Module.yw.audio.midiClose(); });
EM_JS(int, yw_audio_midi_playing, (), { return Module.yw.audio.midiPlaying(); });
EM_JS(double, yw_audio_midi_length, (), { return Module.yw.audio.midiLengthMs(); });
EM_JS(double, yw_audio_midi_position, (), { return Module.yw.audio.midiPositionMs(); });
// clang-format on

namespace yw {

namespace {

// Largest sound file read whole: a long piece of music at CD quality.
constexpr size_t kMaxSoundFileSize = size_t{256} << 20;

std::optional<std::string> ReadSound(const std::filesystem::path& file) {
  auto bytes = ReadFileBytes(file, kMaxSoundFileSize);
  if (bytes && bytes->empty()) return std::nullopt;
  return bytes;
}

int Size(const std::string& s) { return static_cast<int>(s.size()); }

class WebAudioDevice final : public AudioDevice {
 public:
  ~WebAudioDevice() override { Free(); }

  bool Init() override {
    if (open_) return false;
    open_ = yw_audio_init() != 0;
    return open_;
  }
  bool Start() override { return open_; }
  void Free() override {
    if (!open_) return;
    yw_audio_free();
    open_ = false;
  }

  uint32_t SampleLoad(const std::filesystem::path& file, int maxPlaybacks,
                      bool replaceFurthest) override {
    if (!open_ || maxPlaybacks < 1) return 0;
    const auto bytes = ReadSound(file);
    if (!bytes) return 0;
    return yw_audio_sample_load(bytes->data(), Size(*bytes), maxPlaybacks, replaceFurthest);
  }
  uint32_t SamplePlay(uint32_t sample) override { return open_ ? yw_audio_sample_play(sample) : 0; }
  bool SampleFree(uint32_t sample) override { return yw_audio_sample_free(sample) != 0; }
  bool ChannelIsActive(uint32_t channel) override { return yw_audio_channel_active(channel) != 0; }
  bool ChannelStop(uint32_t channel) override { return yw_audio_channel_stop(channel) != 0; }

  uint32_t StreamCreateFile(const std::filesystem::path& file) override {
    if (!open_) return 0;
    const auto bytes = ReadSound(file);
    if (!bytes) return 0;
    return yw_audio_stream_create(bytes->data(), Size(*bytes));
  }
  bool StreamPlay(uint32_t stream, bool loop) override {
    return open_ && yw_audio_stream_play(stream, loop) != 0;
  }
  bool StreamFree(uint32_t stream) override { return yw_audio_stream_free(stream) != 0; }

  bool MidiOpen(const std::filesystem::path& file) override {
    MidiClose();
    if (!open_) return false;
    const auto bytes = ReadSound(file);
    if (!bytes) return false;
    return yw_audio_midi_open(bytes->data(), Size(*bytes)) != 0;
  }
  bool MidiPlay(double fromMs) override { return open_ && yw_audio_midi_play(fromMs) != 0; }
  bool MidiPause() override { return yw_audio_midi_pause() != 0; }
  bool MidiResume() override { return yw_audio_midi_resume() != 0; }
  void MidiClose() override { yw_audio_midi_close(); }
  bool MidiPlaying() override { return yw_audio_midi_playing() != 0; }
  double MidiLengthMs() override { return yw_audio_midi_length(); }
  double MidiPositionMs() override { return yw_audio_midi_position(); }

 private:
  bool open_ = false;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeWebAudioDevice() { return std::make_unique<WebAudioDevice>(); }

}  // namespace yw
