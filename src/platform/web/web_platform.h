// The platform in a web browser, built with Emscripten. The game's frame is
// drawn into the page's canvas at its own size and the browser scales it
// (pixelated) by the same fit-to-window rule as the desktop window; keys
// come from the page's keyboard events; pictures and sounds are decoded by
// the browser. Yielding to the window system suspends the program
// (Asyncify) until the browser has run its pending events, so the engine's
// loop stays as it is on the desktop.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/window_fit.h"

namespace yw {

class WebPlatform : public Platform {
 public:
  explicit WebPlatform(std::unique_ptr<AudioDevice> audio);
  ~WebPlatform() override;
  WebPlatform(const WebPlatform&) = delete;
  WebPlatform& operator=(const WebPlatform&) = delete;

  Millis Now() override;
  PlatformEvents Yield() override;
  bool KeyDown(GameKey key) override;
  void Present(const Surface& frontbuf, double left, double top) override;
  void SetCaption(std::string_view caption) override;
  void SetWindowState(bool maximised, int width, int height) override;
  void WindowSize(int& width, int& height) override;
  std::vector<DisplayMode> DisplayModes() override;
  DisplayMode CurrentDisplayMode() override;
  bool SetDisplayMode(DisplayMode mode) override;
  void MessageBox(std::string_view title, std::string_view text) override;
  bool LoadPicture(const std::filesystem::path& file, Surface& into) override;
  bool WritePng(const Surface& surface, const std::filesystem::path& file) override;
  AudioDevice& Audio() override { return *audio_; }

  // Keyboard events from the page (called by the event handlers).
  void OnKey(std::string_view key, bool down, bool repeat);
  void OnBlur();
  void OnResize() { resized_ = true; }

 private:
  void PlaceCanvas();

  double start_ = 0;
  double lastYield_ = 0;
  std::array<bool, 7> held_{};
  std::array<bool, 7> pressed_{};  // went down since KeyDown last asked
  std::vector<uint8_t> typed_;
  bool resized_ = false;
  ScreenSize frameSize_;
  ScreenSize game_{320, 240};
  std::vector<uint8_t> rgba_;  // the frame as the canvas takes it
  std::unique_ptr<AudioDevice> audio_;
};

}  // namespace yw
