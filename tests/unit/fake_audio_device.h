// A sound device for tests: it records every call as a line of text and
// answers as the test sets it up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio_device.h"

namespace yw::test {

class FakeAudioDevice : public AudioDevice {
 public:
  // Answers.
  bool initOk = true, startOk = true, loadOk = true, playOk = true, streamOk = true;
  bool midiOpenOk = true, midiPlayOk = true;
  double midiLengthMs = 2000, midiPositionMs = 0;
  bool midiPlaying = false;              // cleared by a test to end the piece
  std::set<uint32_t> activeChannels;     // channels that still sound

  // What was asked, one line per call: the call's name and its arguments
  // (file names without their folder).
  std::vector<std::string> calls;

  int Count(std::string_view prefix) const { return static_cast<int>(Matching(prefix).size()); }
  std::vector<std::string> Matching(std::string_view prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (std::string_view(c).substr(0, prefix.size()) == prefix) out.push_back(c);
    return out;
  }
  std::filesystem::path lastMidi;

  bool Init() override { return Log("Init"), initOk; }
  bool Start() override { return Log("Start"), startOk; }
  void Free() override { Log("Free"); }
  uint32_t SampleLoad(const std::filesystem::path& file, int maxPlaybacks,
                      bool replaceFurthest) override {
    Log("SampleLoad " + file.filename().string() + " " + std::to_string(maxPlaybacks) +
        (replaceFurthest ? " replace" : ""));
    return loadOk ? next_++ : 0;
  }
  uint32_t SamplePlay(uint32_t sample) override {
    Log("SamplePlay " + std::to_string(sample));
    if (!playOk) return 0;
    activeChannels.insert(next_);
    return next_++;
  }
  bool SampleFree(uint32_t sample) override {
    return Log("SampleFree " + std::to_string(sample)), true;
  }
  bool ChannelIsActive(uint32_t channel) override {
    Log("ChannelIsActive " + std::to_string(channel));
    return activeChannels.count(channel) > 0;
  }
  bool ChannelStop(uint32_t channel) override {
    Log("ChannelStop " + std::to_string(channel));
    return activeChannels.erase(channel) > 0;
  }
  uint32_t StreamCreateFile(const std::filesystem::path& file) override {
    Log("StreamCreateFile " + file.filename().string());
    return streamOk ? next_++ : 0;
  }
  bool StreamPlay(uint32_t stream, bool loop) override {
    Log("StreamPlay " + std::to_string(stream) + (loop ? " loop" : ""));
    activeChannels.insert(stream);
    return true;
  }
  bool StreamFree(uint32_t stream) override {
    Log("StreamFree " + std::to_string(stream));
    return activeChannels.erase(stream) > 0;
  }
  bool MidiOpen(const std::filesystem::path& file) override {
    Log("MidiOpen " + file.filename().string());
    lastMidi = file;
    return midiOpenOk;
  }
  bool MidiPlay(double fromMs) override {
    Log("MidiPlay " + std::to_string(static_cast<int>(fromMs)));
    midiPlaying = midiPlayOk;
    if (midiPlayOk) midiPositionMs = fromMs;
    return midiPlayOk;
  }
  bool MidiPause() override { return Log("MidiPause"), true; }
  bool MidiResume() override { return Log("MidiResume"), true; }
  void MidiClose() override {
    Log("MidiClose");
    midiPlaying = false;
  }
  bool MidiPlaying() override { return midiPlaying; }
  double MidiLengthMs() override { return midiLengthMs; }
  double MidiPositionMs() override { return midiPositionMs; }

 private:
  void Log(std::string line) { calls.push_back(std::move(line)); }
  uint32_t next_ = 100;
};

}  // namespace yw::test
