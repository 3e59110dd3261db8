// Recording a session for a bug report: a platform that passes everything
// through to the real one and writes what the game got from it (each key
// going down or up, each typed character, the author's reload and overlay
// keys, the clock at every turn, the window closing) as a replay, so that `yarrowind --headless
// --replay FILE` plays the same session to the same state.
//
// The game reads one clock value per turn (taken when it yields to the
// window system, counted from 1 as the headless clock is) and gets at most
// one typed character per turn, as a headless run does. Scaling,
// fullscreen, screenshots and fast-forward happen inside the real platform:
// the record holds only what they did to the game's clock and keys.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <ostream>
#include <string>

#include "platform/platform.h"

namespace yw {

// What a replay needs besides the events to start the same way.
struct RecordedStart {
  uint32_t seed = 0;
  std::filesystem::path root;  // the program folder
  std::filesystem::path play;  // the game folder of --play, or empty
};

class RecordingPlatform : public Platform {
 public:
  // Writes the replay to `out`, which must outlive this platform.
  RecordingPlatform(Platform& inner, std::ostream& out, const RecordedStart& start);

  Millis Now() override { return clock_; }
  PlatformEvents Yield() override;
  bool KeyDown(GameKey key) override { return inner_.KeyDown(key); }
  KeyActivity LastYieldActivity(GameKey key) const override {
    return inner_.LastYieldActivity(key);
  }
  void SetTextEntry(bool open) override { inner_.SetTextEntry(open); }
  void Present(const Surface& frontbuf, double left, double top) override {
    inner_.Present(frontbuf, left, top);
  }
  void SetCaption(std::string_view caption) override { inner_.SetCaption(caption); }
  void SetWindowState(bool maximised, int width, int height) override {
    inner_.SetWindowState(maximised, width, height);
  }
  void WindowSize(int& width, int& height) override { inner_.WindowSize(width, height); }
  std::vector<DisplayMode> DisplayModes() override { return inner_.DisplayModes(); }
  DisplayMode CurrentDisplayMode() override { return inner_.CurrentDisplayMode(); }
  bool SetDisplayMode(DisplayMode mode) override { return inner_.SetDisplayMode(mode); }
  void MessageBox(std::string_view title, std::string_view text) override {
    inner_.MessageBox(title, text);
  }
  bool LoadPicture(const std::filesystem::path& file, Surface& into) override {
    return inner_.LoadPicture(file, into);
  }
  bool WritePng(const Surface& surface, const std::filesystem::path& file) override {
    return inner_.WritePng(surface, file);
  }
  AudioDevice& Audio() override { return inner_.Audio(); }

 private:
  void Line(Millis ms, std::string_view what);
  void RecordKeys();

  Platform& inner_;
  std::ostream& out_;
  Millis start_;      // the real clock when recording began
  Millis clock_ = 1;  // the clock of this turn as the game reads it
  bool firstYield_ = true;
  std::array<bool, 7> held_{};
  std::deque<uint8_t> typed_;  // typed, not yet given to the game
};

}  // namespace yw
