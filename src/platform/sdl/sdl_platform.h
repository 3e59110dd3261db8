// The platform over SDL2: one window titled by the game, a software frame
// uploaded to a streaming texture, keys from the event queue.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_image_codec.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace yw {

class SdlPlatform : public Platform {
 public:
  // scale: screen pixels per game pixel in each direction.
  explicit SdlPlatform(int scale = 1, std::unique_ptr<AudioDevice> audio = nullptr);
  ~SdlPlatform() override;
  bool Ok() const { return window_ != nullptr; }

  uint32_t Now() override;
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
  bool LoadPicture(const std::filesystem::path& file, Surface& into) override {
    return codec_.Load(file, into);
  }
  bool WritePng(const Surface& surface, const std::filesystem::path& file) override {
    return codec_.WritePng(surface, file);
  }
  AudioDevice& Audio() override { return *audio_; }

 private:
  void Redraw();

  int scale_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0, textureHeight_ = 0;
  double left_ = 0, top_ = 0;
  std::array<bool, 7> held_{};
  std::array<bool, 7> pressed_{};  // went down since KeyDown last asked
  uint64_t lastYield_ = 0;
  bool fullscreen_ = false;
  DisplayMode desktop_;
  SdlImageCodec codec_;
  std::unique_ptr<AudioDevice> audio_;
};

}  // namespace yw
