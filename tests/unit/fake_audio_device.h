// A sound device for tests: it keeps what a listener would notice (the
// streams and the MIDI piece opened last, whether the piece plays, stands
// paused and where) and answers as the test sets it up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>

#include "platform/audio_device.h"

namespace yw::test {

class FakeAudioDevice : public AudioDevice {
 public:
  // Answers.
  bool initOk = true, startOk = true, midiOpenOk = true;
  double midiLengthMs = 2000, midiPositionMs = 0;
  bool midiPlaying = false;  // cleared by a test to end the piece
  // State.
  bool midiPaused = false;
  int streamsOpened = 0, midiStarts = 0;  // MidiPlay calls
  std::filesystem::path lastStream, lastMidi;

  bool Init() override { return initOk; }
  bool Start() override { return startOk; }
  void Free() override {}
  uint32_t SampleLoad(const std::filesystem::path&, int, bool) override { return next_++; }
  uint32_t SamplePlay(uint32_t) override { return active_.insert(next_).first, next_++; }
  bool SampleFree(uint32_t) override { return true; }
  bool ChannelIsActive(uint32_t channel) override { return active_.count(channel) > 0; }
  bool ChannelStop(uint32_t channel) override { return active_.erase(channel) > 0; }
  uint32_t StreamCreateFile(const std::filesystem::path& file) override {
    ++streamsOpened;
    lastStream = file;
    return next_++;
  }
  bool StreamPlay(uint32_t stream, bool) override { return active_.insert(stream), true; }
  bool StreamFree(uint32_t stream) override { return active_.erase(stream) > 0; }
  bool MidiOpen(const std::filesystem::path& file) override {
    lastMidi = file;
    return midiOpenOk;
  }
  bool MidiPlay(double fromMs) override {
    ++midiStarts;
    midiPlaying = true, midiPaused = false;
    midiPositionMs = fromMs;
    return true;
  }
  bool MidiPause() override { return midiPaused = true; }
  bool MidiResume() override {
    midiPaused = false;
    return midiPlaying = true;
  }
  void MidiClose() override { midiPlaying = midiPaused = false; }
  bool MidiPlaying() override { return midiPlaying; }
  double MidiLengthMs() override { return midiLengthMs; }
  double MidiPositionMs() override { return midiPositionMs; }

 private:
  std::set<uint32_t> active_;  // channels and streams that still sound
  uint32_t next_ = 100;
};

}  // namespace yw::test
