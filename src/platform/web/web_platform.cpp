#include "platform/web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/encoding.h"
#include "render/picture_header.h"
#include "render/surface.h"

// The page side of these calls lives in yarrowind_web.js (Module.yw).
// clang-format off
EM_ASYNC_JS(void, yw_yield, (int gapMs), {
  await Module.yw.yieldToBrowser(gapMs);
});
EM_JS(void, yw_present, (const uint8_t* rgba, int width, int height), {
  Module.yw.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, yw_place_canvas, (int x, int y, int width, int height), {
  Module.yw.placeCanvas(x, y, width, height);
});
EM_JS(int, yw_area_width, (), { return Module.yw.gameArea().width; });
EM_JS(int, yw_area_height, (), { return Module.yw.gameArea().height; });
EM_JS(int, yw_picture_fit, (), { return Module.yw.pictureFit(); });
EM_JS(int, yw_screen_width, (), { return window.screen.width; });
EM_JS(int, yw_screen_height, (), { return window.screen.height; });
EM_JS(void, yw_set_title, (const char* utf8), { document.title = UTF8ToString(utf8); });
EM_JS(void, yw_alert, (const char* utf8), { Module.yw.messageBox(UTF8ToString(utf8)); });
EM_ASYNC_JS(int, yw_decode_picture, (const uint8_t* bytes, int size), {
  return await Module.yw.decodePicture(HEAPU8.slice(bytes, bytes + size));
});
EM_JS(int, yw_picture_width, (), { return Module.yw.picture ? Module.yw.picture.width : 0; });
EM_JS(int, yw_picture_height, (), { return Module.yw.picture ? Module.yw.picture.height : 0; });
EM_JS(void, yw_take_picture, (uint8_t* into), {
  if (into) HEAPU8.set(Module.yw.picture.data, into);
  Module.yw.picture = null;
});
EM_JS(void, yw_flush_saves, (), { Module.yw.flushSaves(); });
// clang-format on

namespace yw {

namespace {

// The picture setting chosen in the page: 0 pixel-perfect, 1 fill, 2 stretch.
PictureFit Fit() {
  switch (yw_picture_fit()) {
    case 0:
      return PictureFit::PixelPerfect;
    case 2:
      return PictureFit::Stretch;
    default:
      return PictureFit::Fill;
  }
}

std::optional<GameKey> KeyOf(std::string_view key) {
  if (key == "Escape") return GameKey::Esc;
  if (key == "Enter") return GameKey::Enter;
  if (key == " ") return GameKey::Space;
  if (key == "ArrowUp") return GameKey::Up;
  if (key == "ArrowDown") return GameKey::Down;
  if (key == "ArrowLeft") return GameKey::Left;
  if (key == "ArrowRight") return GameKey::Right;
  return std::nullopt;
}

EM_BOOL OnKeyEvent(int type, const EmscriptenKeyboardEvent* ev, void* user) {
  auto* platform = static_cast<WebPlatform*>(user);
  // Shortcuts of the browser (Ctrl+R, Ctrl+W, ...) stay the browser's.
  if (ev->ctrlKey || ev->metaKey) return EM_FALSE;
  const std::string_view key = ev->key;
  platform->OnKey(key, type == EMSCRIPTEN_EVENT_KEYDOWN, ev->repeat);
  return KeyOf(key) || key == "Backspace" || Utf8ToCp1252(key).size() == 1;
}

EM_BOOL OnBlurEvent(int, const EmscriptenFocusEvent*, void* user) {
  static_cast<WebPlatform*>(user)->OnBlur();
  return EM_FALSE;
}

EM_BOOL OnResizeEvent(int, const EmscriptenUiEvent*, void* user) {
  static_cast<WebPlatform*>(user)->OnResize();
  return EM_FALSE;
}

}  // namespace

WebPlatform::WebPlatform(std::unique_ptr<AudioDevice> audio)
    : start_(emscripten_get_now()), audio_(std::move(audio)) {
  if (!audio_) audio_ = std::make_unique<SilentAudioDevice>();
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, this, EM_TRUE, OnKeyEvent);
  emscripten_set_keyup_callback(window, this, EM_TRUE, OnKeyEvent);
  emscripten_set_blur_callback(window, this, EM_TRUE, OnBlurEvent);
  emscripten_set_resize_callback(window, this, EM_TRUE, OnResizeEvent);
}

WebPlatform::~WebPlatform() {
  audio_->Free();
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_keyup_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_blur_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_resize_callback(window, nullptr, EM_TRUE, nullptr);
}

Millis WebPlatform::Now() { return static_cast<Millis>(emscripten_get_now() - start_); }

// Yields that may come back at once in a row before one waits for a frame
// again, so that a game switching states on every turn cannot spin.
constexpr int kQuickYields = 8;

PlatformEvents WebPlatform::Yield() {
  // The loop never waits for the player, but it runs at the browser's
  // frame rate (capped by the game's frame limit) and sleeps in between,
  // as a page drawing nothing new should.
  const bool quick = std::exchange(quick_, false) && quickInARow_ < kQuickYields;
  quickInARow_ = quick ? quickInARow_ + 1 : 0;
  yw_yield(quick ? -1 : frameLimit_ > 0 ? 1000 / frameLimit_ : 0);
  yw_flush_saves();

  PlatformEvents events;
  events.typed = std::exchange(typed_, {});
  if (std::exchange(resized_, false)) {
    events.resized = true;
    PlaceCanvas();
  }
  return events;
}

void WebPlatform::OnKey(std::string_view key, bool down, bool repeat) {
  const std::optional<GameKey> k = KeyOf(key);
  if (!down) {
    if (k) held_[static_cast<size_t>(*k)] = false;
    return;
  }
  if (key == "Backspace") typed_.push_back(8);
  if (const std::string c = Utf8ToCp1252(key); c.size() == 1 && key.size() <= 4)
    typed_.push_back(static_cast<uint8_t>(c[0]));
  if (!k) return;
  held_[static_cast<size_t>(*k)] = true;
  // The key repeat of a held key is not a new press.
  if (!repeat) pressed_[static_cast<size_t>(*k)] = true;
}

void WebPlatform::OnBlur() {
  held_.fill(false);
  pressed_.fill(false);
}

bool WebPlatform::KeyDown(GameKey key) {
  const auto k = static_cast<size_t>(key);
  return std::exchange(pressed_[k], false) || held_[k];
}

void WebPlatform::Present(const Surface& frontbuf, double, double) {
  // Only the game-sized frame goes to the page; the browser scales it. The
  // map is drawn again on every frame: a frame the canvas already holds is
  // not handed over again.
  if (frontbuf.Empty()) return;
  const ScreenSize size{frontbuf.Width(), frontbuf.Height()};
  const std::span<const uint32_t> pixels = frontbuf.Pixels();
  if (size == frameSize_ && std::equal(pixels.begin(), pixels.end(), shown_.begin(), shown_.end()))
    return;
  shown_.assign(pixels.begin(), pixels.end());
  rgba_.resize(pixels.size() * 4);
  uint8_t* out = rgba_.data();
  for (const uint32_t p : pixels) {
    *out++ = static_cast<uint8_t>(p >> 16);
    *out++ = static_cast<uint8_t>(p >> 8);
    *out++ = static_cast<uint8_t>(p);
    *out++ = 255;
  }
  yw_present(rgba_.data(), size.width, size.height);
  if (size != frameSize_) {
    frameSize_ = size;
    PlaceCanvas();
  }
}

void WebPlatform::PlaceCanvas() {
  if (frameSize_.width < 1 || frameSize_.height < 1) return;
  const ScreenRect r = PictureRect({yw_area_width(), yw_area_height()}, frameSize_, Fit());
  yw_place_canvas(r.x, r.y, r.width, r.height);
}

void WebPlatform::SetCaption(std::string_view caption) {
  yw_set_title(Cp1252ToUtf8(caption).c_str());
}

void WebPlatform::SetWindowState(bool, int width, int height) {
  // The page is the window: its size is the browser's, and the picture is
  // fitted into it.
  game_ = {std::max(width, 1), std::max(height, 1)};
}

void WebPlatform::WindowSize(int& width, int& height) {
  // In game pixels, as on the desktop: the page's game area over the scale
  // the picture is shown at.
  const int w = yw_area_width(), h = yw_area_height();
  width = height = 0;
  const ScreenRect r = PictureRect({w, h}, game_, Fit());
  if (r.width < 1 || r.height < 1) return;
  width = static_cast<int>(static_cast<int64_t>(w) * game_.width / r.width);
  height = static_cast<int>(static_cast<int64_t>(h) * game_.height / r.height);
}

std::vector<DisplayMode> WebPlatform::DisplayModes() { return {CurrentDisplayMode()}; }

DisplayMode WebPlatform::CurrentDisplayMode() { return {yw_screen_width(), yw_screen_height()}; }

bool WebPlatform::SetDisplayMode(DisplayMode mode) {
  // A page cannot switch the display; only the mode it has is accepted.
  return mode == CurrentDisplayMode();
}

void WebPlatform::MessageBox(std::string_view title, std::string_view text) {
  yw_alert(Cp1252ToUtf8(std::string(title) + ": " + std::string(text)).c_str());
}

bool WebPlatform::LoadPicture(const std::filesystem::path& file, Surface& into) {
  into.Resize(0, 0);
  // The header is read and its size checked before the browser decodes the
  // file, and the decoded picture must have that size.
  const auto picture = ReadPictureFile(file);
  if (!picture) return false;
  if (!yw_decode_picture(reinterpret_cast<const uint8_t*>(picture->bytes.data()),
                         static_cast<int>(picture->bytes.size())))
    return false;
  const int w = yw_picture_width(), h = yw_picture_height();
  if (static_cast<uint32_t>(w) != picture->size.width ||
      static_cast<uint32_t>(h) != picture->size.height) {
    yw_take_picture(nullptr);
    return false;
  }
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  yw_take_picture(rgba.data());
  into.Resize(w, h);
  const uint8_t* in = rgba.data();
  for (uint32_t& p : into.Pixels()) {
    p = (uint32_t{in[0]} << 16) | (uint32_t{in[1]} << 8) | in[2];
    in += 4;
  }
  return true;
}

bool WebPlatform::WritePng(const Surface&, const std::filesystem::path&) {
  // Nothing in the page writes picture files.
  return false;
}

}  // namespace yw
