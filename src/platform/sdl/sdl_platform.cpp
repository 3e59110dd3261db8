#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "platform/encoding.h"
#include "render/surface.h"

namespace yw {

namespace {

// The colour around the game screen when the window is larger than it.
constexpr uint8_t kSurround[3] = {32, 32, 40};

int KeyIndex(SDL_Keycode k) {
  switch (k) {
    case SDLK_ESCAPE: return static_cast<int>(GameKey::Esc);
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return static_cast<int>(GameKey::Enter);
    case SDLK_SPACE: return static_cast<int>(GameKey::Space);
    case SDLK_UP: return static_cast<int>(GameKey::Up);
    case SDLK_DOWN: return static_cast<int>(GameKey::Down);
    case SDLK_LEFT: return static_cast<int>(GameKey::Left);
    case SDLK_RIGHT: return static_cast<int>(GameKey::Right);
    default: return -1;
  }
}

}  // namespace

SdlPlatform::SdlPlatform(int scale, std::unique_ptr<AudioDevice> audio)
    : scale_(std::max(scale, 1)), audio_(std::move(audio)) {
  if (!audio_) audio_ = std::make_unique<SilentAudioDevice>();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return;
  // The software renderer: presenting one streamed frame is cheaper there
  // than through GL on virtual displays, and costs little on real ones.
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  window_ = SDL_CreateWindow("Yarrowind", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             320 * scale_, 240 * scale_, SDL_WINDOW_RESIZABLE);
  if (!window_) return;
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) desktop_ = {mode.w, mode.h};
  SDL_StartTextInput();
}

SdlPlatform::~SdlPlatform() {
  audio_->Free();  // the mixer closes before SDL itself
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

uint32_t SdlPlatform::Now() { return static_cast<uint32_t>(SDL_GetTicks64()); }

PlatformEvents SdlPlatform::Yield() {
  // The loop never waits for the player, but an idle game must not burn a
  // core: a yield that comes within the same millisecond as the last one
  // sleeps for a millisecond.
  const uint64_t now = SDL_GetTicks64();
  if (now == lastYield_) SDL_Delay(1);
  lastYield_ = SDL_GetTicks64();

  PlatformEvents events;
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    switch (ev.type) {
      case SDL_QUIT: events.closeRequested = true; break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const int i = KeyIndex(ev.key.keysym.sym);
        if (i >= 0) {
          held_[i] = ev.type == SDL_KEYDOWN;
          // The key repeat of a held key is not a new press.
          if (ev.type == SDL_KEYDOWN && ev.key.repeat == 0) pressed_[i] = true;
        }
        if (ev.type == SDL_KEYDOWN && ev.key.keysym.sym == SDLK_BACKSPACE) events.typed.push_back(8);
        break;
      }
      case SDL_TEXTINPUT: {
        for (char c : Utf8ToCp1252(ev.text.text)) events.typed.push_back(static_cast<uint8_t>(c));
        break;
      }
      case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) events.resized = true;
        if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) Redraw();
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          held_.fill(false);
          pressed_.fill(false);
        }
        break;
      default: break;
    }
  }
  return events;
}

bool SdlPlatform::KeyDown(GameKey key) {
  const auto i = static_cast<size_t>(key);
  const bool pressed = std::exchange(pressed_[i], false);
  return held_[i] || pressed;
}

void SdlPlatform::Present(const Surface& frontbuf, double left, double top) {
  if (!renderer_) return;
  left_ = left;
  top_ = top;
  if (frontbuf.Empty()) {
    Redraw();
    return;
  }
  if (!texture_ || textureWidth_ != frontbuf.Width() || textureHeight_ != frontbuf.Height()) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 frontbuf.Width(), frontbuf.Height());
    if (!texture_) return;
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    textureWidth_ = frontbuf.Width();
    textureHeight_ = frontbuf.Height();
  }
  SDL_UpdateTexture(texture_, nullptr, frontbuf.Pixels().data(), frontbuf.Width() * 4);
  Redraw();
}

void SdlPlatform::Redraw() {
  if (!renderer_) return;
  SDL_SetRenderDrawColor(renderer_, kSurround[0], kSurround[1], kSurround[2], 255);
  SDL_RenderClear(renderer_);
  if (texture_) {
    const SDL_Rect dst{static_cast<int>(std::lround(left_ * scale_)),
                       static_cast<int>(std::lround(top_ * scale_)), textureWidth_ * scale_,
                       textureHeight_ * scale_};
    SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  }
  SDL_RenderPresent(renderer_);
}

void SdlPlatform::SetCaption(std::string_view caption) {
  if (window_) SDL_SetWindowTitle(window_, Cp1252ToUtf8(caption).c_str());
}

void SdlPlatform::SetWindowState(bool maximised, int width, int height) {
  if (!window_) return;
  if (maximised) {
    SDL_MaximizeWindow(window_);
  } else {
    SDL_RestoreWindow(window_);
    SDL_SetWindowSize(window_, std::max(width, 1) * scale_, std::max(height, 1) * scale_);
    // The window was centred at its first size; it stays centred at the new
    // one rather than growing off the screen's edge.
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
}

void SdlPlatform::WindowSize(int& width, int& height) {
  width = height = 0;
  if (!renderer_) return;
  SDL_GetRendererOutputSize(renderer_, &width, &height);
  width /= scale_;
  height /= scale_;
}

std::vector<DisplayMode> SdlPlatform::DisplayModes() {
  std::vector<DisplayMode> modes;
  const int n = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < n; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) == 0) modes.push_back({m.w, m.h});
  }
  return modes;
}

DisplayMode SdlPlatform::CurrentDisplayMode() {
  SDL_DisplayMode m;
  if (window_ && SDL_GetCurrentDisplayMode(0, &m) == 0) return {m.w, m.h};
  return desktop_;
}

bool SdlPlatform::SetDisplayMode(DisplayMode mode) {
  if (!window_) return false;
  // Back to the desktop's own mode: leave fullscreen.
  if (mode == desktop_) {
    fullscreen_ = false;
    return SDL_SetWindowFullscreen(window_, 0) == 0;
  }
  SDL_DisplayMode want{};
  want.w = mode.width;
  want.h = mode.height;
  SDL_DisplayMode found;
  if (!SDL_GetClosestDisplayMode(0, &want, &found) || found.w != mode.width ||
      found.h != mode.height)
    return false;
  if (SDL_SetWindowDisplayMode(window_, &found) != 0) return false;
  fullscreen_ = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
  return fullscreen_;
}

void SdlPlatform::MessageBox(std::string_view title, std::string_view text) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Cp1252ToUtf8(title).c_str(),
                           Cp1252ToUtf8(text).c_str(), window_);
}

}  // namespace yw
