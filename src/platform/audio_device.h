// The sound services the game uses: samples played on channels, one looping
// music stream and a MIDI sequencer. Handles are non-zero on success.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace yw {

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Starts the output device; false when there is none.
  virtual bool Init() = 0;
  virtual void Free() = 0;

  // Loads a sample; max simultaneous playbacks; when all are busy the one
  // that has played longest is replaced.
  virtual uint32_t SampleLoad(const std::filesystem::path& file, int maxPlaybacks) = 0;
  virtual uint32_t SamplePlay(uint32_t sample) = 0;
  virtual bool SampleFree(uint32_t sample) = 0;
  virtual bool ChannelIsActive(uint32_t channel) = 0;

  // A looping stream of a wave or MPEG audio file.
  virtual uint32_t StreamCreateFile(const std::filesystem::path& file, bool loop) = 0;
  virtual bool StreamPlay(uint32_t stream) = 0;
  virtual bool StreamFree(uint32_t stream) = 0;
  virtual bool ChannelStop(uint32_t channel) = 0;

  // MIDI sequencer: open a file, play it from the start, stop, and report
  // length and position in milliseconds (negative when unknown).
  virtual bool MidiOpen(const std::filesystem::path& file, std::string& error) = 0;
  virtual bool MidiPlay(std::string& error) = 0;
  virtual void MidiStop() = 0;
  virtual void MidiClose() = 0;
  virtual bool MidiPlaying() = 0;
  virtual double MidiLengthMs() = 0;
  virtual double MidiPositionMs() = 0;
};

// A device without output: every load and play fails, as on a machine
// without a sound card. The headless back end and tests use it.
class SilentAudioDevice : public AudioDevice {
 public:
  bool Init() override { return false; }
  void Free() override {}
  uint32_t SampleLoad(const std::filesystem::path&, int) override { return 0; }
  uint32_t SamplePlay(uint32_t) override { return 0; }
  bool SampleFree(uint32_t) override { return false; }
  bool ChannelIsActive(uint32_t) override { return false; }
  uint32_t StreamCreateFile(const std::filesystem::path&, bool) override { return 0; }
  bool StreamPlay(uint32_t) override { return false; }
  bool StreamFree(uint32_t) override { return false; }
  bool ChannelStop(uint32_t) override { return false; }
  bool MidiOpen(const std::filesystem::path&, std::string& error) override {
    error = "No MIDI device.";
    return false;
  }
  bool MidiPlay(std::string& error) override {
    error = "No MIDI device.";
    return false;
  }
  void MidiStop() override {}
  void MidiClose() override {}
  bool MidiPlaying() override { return false; }
  double MidiLengthMs() override { return -1; }
  double MidiPositionMs() override { return -1; }
};

}  // namespace yw
