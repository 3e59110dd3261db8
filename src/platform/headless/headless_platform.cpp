#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <utility>

#include "render/surface.h"

namespace yw {

HeadlessPlatform::HeadlessPlatform(ImageCodec* codec, uint32_t tickMs)
    : codec_(codec), tick_(tickMs) {
  SetDisplayModes({{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1920, 1080}}, {1920, 1080});
}

PlatformEvents HeadlessPlatform::Yield() {
  now_ += tick_;
  PlatformEvents events;
  // One typed character per turn, as a typist's key presses would arrive.
  if (!typed_.empty()) {
    events.typed.push_back(typed_.front());
    typed_.pop_front();
  }
  return events;
}

bool HeadlessPlatform::KeyDown(GameKey key) {
  const auto i = static_cast<size_t>(key);
  const bool pressed = std::exchange(pressed_[i], false);
  return held_[i] || pressed;
}

void HeadlessPlatform::SetKey(GameKey key, bool down) {
  const auto i = static_cast<size_t>(key);
  if (down && !held_[i]) pressed_[i] = true;
  held_[i] = down;
}

void HeadlessPlatform::Present(const Surface&, double, double) { ++presents_; }

void HeadlessPlatform::SetWindowState(bool maximised, int width, int height) {
  maximised_ = maximised;
  if (!maximised) {
    windowWidth_ = width;
    windowHeight_ = height;
  }
}

void HeadlessPlatform::WindowSize(int& width, int& height) {
  width = maximised_ ? current_.width : windowWidth_;
  height = maximised_ ? current_.height : windowHeight_;
}

void HeadlessPlatform::SetDisplayModes(std::vector<DisplayMode> modes, DisplayMode current) {
  modes_ = std::move(modes);
  current_ = current;
}

bool HeadlessPlatform::SetDisplayMode(DisplayMode mode) {
  if (std::find(modes_.begin(), modes_.end(), mode) == modes_.end()) return false;
  current_ = mode;
  modeChanges_.push_back(mode);
  return true;
}

void HeadlessPlatform::MessageBox(std::string_view title, std::string_view text) {
  boxes_.push_back({std::string(title), std::string(text)});
}

bool HeadlessPlatform::LoadPicture(const std::filesystem::path& file, Surface& into) {
  if (codec_ && codec_->Load(file, into)) return true;
  into.Resize(0, 0);
  return false;
}

bool HeadlessPlatform::WritePng(const Surface& surface, const std::filesystem::path& file) {
  return codec_ && codec_->WritePng(surface, file);
}

}  // namespace yw
