// A platform without a display or an audio device, for tests and replays.
// Its clock is virtual: every yield to the window system advances it by a
// fixed step, so a run is deterministic and as fast as the CPU allows.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "platform/image_codec.h"
#include "platform/platform.h"

namespace yw {

struct RecordedMessageBox {
  std::string title;
  std::string text;
};

class HeadlessPlatform : public Platform {
 public:
  // codec may be null: pictures then never load.
  explicit HeadlessPlatform(ImageCodec* codec = nullptr, uint32_t tickMs = 1);

  Millis Now() override { return now_; }
  PlatformEvents Yield() override;
  bool KeyDown(GameKey key) override;
  void Present(const Surface& frontbuf, double left, double top) override;
  void SetCaption(std::string_view caption) override { caption_ = caption; }
  void SetWindowState(bool maximised, int width, int height) override;
  void WindowSize(int& width, int& height) override;
  std::vector<DisplayMode> DisplayModes() override { return modes_; }
  DisplayMode CurrentDisplayMode() override { return current_; }
  bool SetDisplayMode(DisplayMode mode) override;
  void MessageBox(std::string_view title, std::string_view text) override;
  bool LoadPicture(const std::filesystem::path& file, Surface& into) override;
  bool WritePng(const Surface& surface, const std::filesystem::path& file) override;
  AudioDevice& Audio() override { return *audio_; }

  // Test and replay controls.
  void SetKey(GameKey key, bool down);
  void Type(uint8_t code) { typed_.push_back(code); }
  void SetClock(Millis ms) { now_ = ms; }
  void SetDisplayModes(std::vector<DisplayMode> modes, DisplayMode current);
  void SetAudio(AudioDevice* device) { audio_ = device ? device : &silent_; }

  const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
  const std::vector<DisplayMode>& ModeChanges() const { return modeChanges_; }
  const std::string& Caption() const { return caption_; }
  int PresentCount() const { return presents_; }

 private:
  ImageCodec* codec_;
  uint32_t tick_;
  Millis now_ = 1;
  std::array<bool, 7> held_{};
  std::array<bool, 7> pressed_{};  // went down since KeyDown last asked
  std::deque<uint8_t> typed_;
  std::string caption_;
  bool maximised_ = false;
  int windowWidth_ = 320, windowHeight_ = 240;
  std::vector<DisplayMode> modes_;
  DisplayMode current_;
  std::vector<DisplayMode> modeChanges_;
  std::vector<RecordedMessageBox> boxes_;
  int presents_ = 0;
  SilentAudioDevice silent_;
  AudioDevice* audio_ = &silent_;
};

}  // namespace yw
