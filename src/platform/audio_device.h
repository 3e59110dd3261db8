// The sound services the game uses: samples played on channels, one looping
// music stream and a MIDI sequencer. Handles are non-zero on success; every
// failure is reported by a zero handle or a false result, never thrown.
// Samples, playback channels and streams share one handle space, so a
// stream handle may be given to ChannelStop.
#pragma once

#include <cstdint>
#include <filesystem>

namespace yw {

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Opens the default output device; false when there is none or it is
  // already open.
  virtual bool Init() = 0;
  // Starts output on the opened device; false when it is not open.
  virtual bool Start() = 0;
  // Stops everything, releases every sample, stream and MIDI piece and
  // closes the device. Harmless when it is not open.
  virtual void Free() = 0;

  // Loads a sample file. At most maxPlaybacks playbacks of it sound at
  // once; when all are busy, replaceFurthest restarts the one that has
  // played longest, otherwise the new playback fails.
  virtual uint32_t SampleLoad(const std::filesystem::path& file, int maxPlaybacks,
                              bool replaceFurthest) = 0;
  // Plays the sample from its start; returns the playback's channel.
  virtual uint32_t SamplePlay(uint32_t sample) = 0;
  // Stops the sample's playbacks and releases it.
  virtual bool SampleFree(uint32_t sample) = 0;
  // Whether the channel (a playback or a stream) is still sounding.
  virtual bool ChannelIsActive(uint32_t channel) = 0;
  // Stops a playback or a stream; a stopped stream stays loaded.
  virtual bool ChannelStop(uint32_t channel) = 0;

  // A stream of a wave or MPEG audio file, played on the music channel.
  virtual uint32_t StreamCreateFile(const std::filesystem::path& file) = 0;
  virtual bool StreamPlay(uint32_t stream, bool loop) = 0;
  virtual bool StreamFree(uint32_t stream) = 0;

  // The MIDI sequencer: one piece at a time, sharing the music channel
  // with the streams. Lengths and positions are in milliseconds, negative
  // when the synthesizer cannot tell.
  virtual bool MidiOpen(const std::filesystem::path& file) = 0;
  virtual bool MidiPlay(double fromMs) = 0;
  virtual bool MidiPause() = 0;
  virtual bool MidiResume() = 0;
  virtual void MidiClose() = 0;
  // True from a successful play until the piece ends, is closed or another
  // piece or stream takes the music channel (also while paused).
  virtual bool MidiPlaying() = 0;
  virtual double MidiLengthMs() = 0;
  virtual double MidiPositionMs() = 0;
};

// A device without output: nothing opens, loads or plays, as on a machine
// without a sound card. The headless back end uses it.
class SilentAudioDevice : public AudioDevice {
 public:
  bool Init() override { return false; }
  bool Start() override { return false; }
  void Free() override {}
  uint32_t SampleLoad(const std::filesystem::path&, int, bool) override { return 0; }
  uint32_t SamplePlay(uint32_t) override { return 0; }
  bool SampleFree(uint32_t) override { return false; }
  bool ChannelIsActive(uint32_t) override { return false; }
  bool ChannelStop(uint32_t) override { return false; }
  uint32_t StreamCreateFile(const std::filesystem::path&) override { return 0; }
  bool StreamPlay(uint32_t, bool) override { return false; }
  bool StreamFree(uint32_t) override { return false; }
  bool MidiOpen(const std::filesystem::path&) override { return false; }
  bool MidiPlay(double) override { return false; }
  bool MidiPause() override { return false; }
  bool MidiResume() override { return false; }
  void MidiClose() override {}
  bool MidiPlaying() override { return false; }
  double MidiLengthMs() override { return -1; }
  double MidiPositionMs() override { return -1; }
};

}  // namespace yw
