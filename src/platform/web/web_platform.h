// The platform in a web browser, built with Emscripten. The game's frame is
// drawn into the page's canvas at its own size and the browser scales it
// (pixelated) into the page's game area by the picture setting the player
// chose there; keys come from the page's keyboard events (the on-screen
// controls of a touch screen send them too); pictures and sounds are decoded
// by the browser. Yielding to the window system suspends the program
// (Asyncify) until the browser's next frame, so the engine's loop stays as
// it is on the desktop and the page sleeps between frames.
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

  // The game's frame limit (frames a second; 0: none). The page keeps it:
  // the loop waits for the browser's frames, skipping those that come
  // sooner than the limit allows.
  void SetFrameLimit(int fps) { frameLimit_ = fps; }
  // The next yield comes back without waiting for a frame: the game has
  // moved on to another state and would otherwise lose a frame to each
  // step of the way.
  void YieldQuickly() { quick_ = true; }

 private:
  void PlaceCanvas();

  double start_ = 0;
  int frameLimit_ = 0;
  bool quick_ = false;
  int quickInARow_ = 0;
  std::vector<uint32_t> shown_;  // the frame the canvas holds
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
