#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <utility>

#include "platform/encoding.h"
#include "render/surface.h"

namespace yw {

namespace {

// How much faster the game runs while the fast-forward key is held.
constexpr int kFastForward = 4;
// A stick counts as a pressed arrow past this deflection, and as released
// again below the smaller one, so that it does not chatter at the edge.
constexpr int kStickPress = 16000;
constexpr int kStickRelease = 12000;
// Room left for a title bar and borders when the window manager has not
// told their size yet.
constexpr ScreenSize kAssumedFrame{8, 40};

uint16_t Mods(const KeyChord& c) {
  return static_cast<uint16_t>((c.alt ? KMOD_ALT : 0) | (c.ctrl ? KMOD_CTRL : 0) |
                               (c.shift ? KMOD_SHIFT : 0));
}

bool ModsHeld(uint16_t need, uint16_t held) {
  for (uint16_t group : {uint16_t{KMOD_ALT}, uint16_t{KMOD_CTRL}, uint16_t{KMOD_SHIFT}})
    if ((need & group) && !(held & group)) return false;
  return true;
}

// Whether the GL driver draws on the CPU: scaling through it then costs
// more than SDL's own software renderer.
bool GlIsSoftware() {
  SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!probe) return true;
  bool software = true;
  if (SDL_GLContext gl = SDL_GL_CreateContext(probe)) {
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned kGlRenderer = 0x1F01;
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* name = getString ? getString(kGlRenderer) : nullptr;
    if (name) {
      const std::string n(reinterpret_cast<const char*>(name));
      software = n.find("llvmpipe") != std::string::npos ||
                 n.find("softpipe") != std::string::npos ||
                 n.find("Software") != std::string::npos || n.find("swrast") != std::string::npos;
    }
    SDL_GL_DeleteContext(gl);
  }
  SDL_DestroyWindow(probe);
  return software;
}

// The renderer: the GPU's where there is one, SDL's software renderer
// (drawing straight into the window, not through GL) otherwise. A renderer
// named in SDL_RENDER_DRIVER is taken as it is.
SDL_Renderer* CreateRenderer(SDL_Window* window, bool software) {
  if (software) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  if (SDL_Renderer* r = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) return r;
  return SDL_CreateRenderer(window, -1, 0);
}

std::string TimeStamp() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// Whether the key, with these modifiers, types a character: a printable
// key or a keypad key giving a digit or sign, without Ctrl or Alt.
bool TypesCharacter(SDL_Keycode key, uint16_t mods) {
  if (mods & (KMOD_CTRL | KMOD_ALT)) return false;
  if (key >= SDLK_SPACE && key < SDLK_DELETE) return true;
  if (key >= SDLK_KP_DIVIDE && key <= SDLK_KP_PLUS) return true;  // / * - +
  return key >= SDLK_KP_1 && key <= SDLK_KP_PERIOD && (mods & KMOD_NUM);
}

}  // namespace

bool SdlKnownKeyName(std::string_view name) {
  return SDL_GetKeyFromName(std::string(name).c_str()) != SDLK_UNKNOWN;
}

SdlPlatform::SdlPlatform(const UserSettings& settings, std::filesystem::path screenshotFolder,
                         std::unique_ptr<AudioDevice> audio)
    : fit_(settings.fit),
      requestedScale_(settings.scale),
      fullscreen_(settings.fullscreen),
      screenshotFolder_(std::move(screenshotFolder)),
      audio_(std::move(audio)) {
  ticks_ = [] { return SDL_GetTicks64(); };
  if (!audio_) audio_ = std::make_unique<SilentAudioDevice>();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_GAMECONTROLLER) != 0) return;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  const bool chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
  const bool software = !chosen && GlIsSoftware();
  // Hidden until the game sets its size, so the window never shows at a
  // size it does not keep.
  window_ = SDL_CreateWindow("Yarrowind", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 320, 240,
                             SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  if (!window_) return;
  renderer_ = CreateRenderer(window_, software);
  if (!renderer_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) desktop_ = {mode.w, mode.h};
  ResolveKeys(settings);
  lastTicks_ = SDL_GetTicks64();
  gameClock_ = lastTicks_;
  SDL_StartTextInput();
}

SdlPlatform::~SdlPlatform() {
  audio_->Free();  // the mixer closes before SDL itself
  for (Pad& p : pads_) SDL_GameControllerClose(p.controller);
  if (prescaled_) SDL_DestroyTexture(prescaled_);
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

void SdlPlatform::ResolveKeys(const UserSettings& settings) {
  auto resolve = [&](const std::vector<KeyChord>& chords, int target, std::vector<Binding>& out) {
    for (const KeyChord& c : chords) {
      const SDL_Keycode key = SDL_GetKeyFromName(c.name.c_str());
      if (key == SDLK_UNKNOWN) {
        std::cerr << "yarrowind: " << PrintableText(settings.source) << ": line " << c.line
                  << ": unknown key '" << PrintableText(c.name) << "'; ignored\n";
        continue;
      }
      out.push_back({key, Mods(c), target});
    }
  };
  for (int i = 0; i < 7; ++i) resolve(settings.gameKeys[i], i, gameKeys_);
  for (int i = 0; i < kComfortKeyCount; ++i) resolve(settings.comfortKeys[i], i, comfortKeys_);
}

void SdlPlatform::UseTicks(std::function<uint64_t()> ticks) {
  Now();  // the time so far counts by the old clock
  ticks_ = std::move(ticks);
  lastTicks_ = lastYield_ = ticks_();
}

Millis SdlPlatform::Now() {
  const uint64_t ticks = ticks_();
  gameClock_ += (ticks - lastTicks_) * speed_;
  lastTicks_ = ticks;
  return static_cast<Millis>(gameClock_);
}

void SdlPlatform::SetSpeed(int speed) {
  Now();  // the time so far counts at the old speed
  speed_ = speed;
}

bool SdlPlatform::KeyDown(GameKey key) {
  return std::exchange(pressed_[static_cast<int>(key)], false) || Held(key);
}

KeyActivity SdlPlatform::LastYieldActivity(GameKey key) const {
  return {pressedInYield_[static_cast<int>(key)], Held(key)};
}

// A game key going down or up from one source. Going down is a press of the
// game key, seen by the game even if the key is up again before it looks,
// unless the source already held it or the key only repeats.
void SdlPlatform::SetKey(KeySource from, GameKey key, bool down, bool repeat) {
  const auto same = [&](const HeldKey& h) { return h.from == from && h.key == key; };
  const bool was = std::any_of(held_.begin(), held_.end(), same);
  if (!down) {
    std::erase_if(held_, same);
  } else if (!was) {
    held_.push_back({from, key});
    if (!repeat) pressed_[static_cast<int>(key)] = pressedInYield_[static_cast<int>(key)] = true;
  }
}

bool SdlPlatform::Held(GameKey key) const {
  return std::any_of(held_.begin(), held_.end(), [&](const HeldKey& h) { return h.key == key; });
}

PlatformEvents SdlPlatform::Yield() {
  // The loop never waits for the player, but an idle game must not burn a
  // core: a yield that comes within the same millisecond as the last one
  // sleeps for a millisecond.
  if (ticks_() == lastYield_) SDL_Delay(1);
  lastYield_ = ticks_();

  pressedInYield_.fill(false);
  PlatformEvents events;
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    switch (ev.type) {
      case SDL_QUIT:
        events.closeRequested = true;
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        HandleKey(ev, events);
        break;
      case SDL_TEXTINPUT: {
        for (char c : Utf8ToCp1252(ev.text.text)) events.typed.push_back(static_cast<uint8_t>(c));
        break;
      }
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED:
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
      case SDL_CONTROLLERAXISMOTION:
        HandlePad(ev);
        break;
      case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) events.resized = dirty_ = true;
        if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) dirty_ = true;
        if (placeWhenFramed_ &&
            !(SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED)))
          PlaceWindow(true);
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          // Keys let go in another window send no key-up here. A press
          // already made still counts once.
          std::erase_if(held_,
                        [](const HeldKey& h) { return h.from.kind == KeySource::Kind::Keyboard; });
          if (fastKey_) SetSpeed(1), fastKey_ = 0;
        }
        break;
      default:
        break;
    }
  }
  // Whatever the game drew since the last yield reaches the screen once.
  if (dirty_) Render();
  return events;
}

void SdlPlatform::HandleKey(const SDL_Event& ev, PlatformEvents& events) {
  const SDL_Keycode key = ev.key.keysym.sym;
  const KeySource from{KeySource::Kind::Keyboard, 0, key};
  if (ev.type == SDL_KEYUP) {
    for (GameKey k : kPollOrder) SetKey(from, k, false);
    if (key == fastKey_) {
      SetSpeed(1);
      fastKey_ = 0;
    }
    return;
  }
  if (key == SDLK_BACKSPACE) events.typed.push_back(8);
  const uint16_t mods = ev.key.keysym.mod;
  for (const Binding& b : comfortKeys_) {
    if (b.key != key || !ModsHeld(b.mods, mods)) continue;
    const auto comfort = static_cast<ComfortKey>(b.target);
    if (ev.key.repeat == 0) {
      if (comfort == ComfortKey::FastForward) fastKey_ = key;
      // The author's keys are the engine's to act on.
      if (comfort == ComfortKey::Reload)
        events.reloadPressed = true;
      else if (comfort == ComfortKey::Overlay)
        events.overlayPressed = true;
      else
        HandleComfort(comfort);
    }
    return;  // the key is taken; the game does not see it
  }
  // While text is entered a key that types is the text's, not a game key's.
  if (textEntry_ && TypesCharacter(key, mods)) return;
  for (const Binding& b : gameKeys_)
    if (b.key == key && ModsHeld(b.mods, mods))
      SetKey(from, static_cast<GameKey>(b.target), true, ev.key.repeat != 0);
}

void SdlPlatform::HandlePad(const SDL_Event& ev) {
  if (ev.type == SDL_CONTROLLERDEVICEADDED) {
    if (SDL_GameController* c = SDL_GameControllerOpen(ev.cdevice.which)) {
      const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
      if (std::any_of(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; }))
        SDL_GameControllerClose(c);  // already open: its handle counts twice
      else
        pads_.push_back({c, id});
    }
    return;
  }
  auto pad = std::find_if(pads_.begin(), pads_.end(),
                          [&](const Pad& p) { return p.id == ev.cdevice.which; });
  if (pad == pads_.end()) return;
  const int32_t id = pad->id;
  if (ev.type == SDL_CONTROLLERDEVICEREMOVED) {
    SDL_GameControllerClose(pad->controller);
    pads_.erase(pad);
    std::erase_if(held_, [&](const HeldKey& h) {
      return h.from.kind != KeySource::Kind::Keyboard && h.from.device == id;
    });
    return;
  }
  if (ev.type == SDL_CONTROLLERAXISMOTION) {
    const int axis = ev.caxis.axis, v = ev.caxis.value;
    if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY) return;
    // Between the two thresholds the stick keeps what it holds.
    if (v > -kStickPress && v < kStickPress && (v <= -kStickRelease || v >= kStickRelease)) return;
    const KeySource from{KeySource::Kind::Stick, id, axis};
    const bool across = axis == SDL_CONTROLLER_AXIS_LEFTX;
    SetKey(from, across ? GameKey::Left : GameKey::Up, v <= -kStickPress);
    SetKey(from, across ? GameKey::Right : GameKey::Down, v >= kStickPress);
    return;
  }
  std::optional<GameKey> key;
  switch (ev.cbutton.button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      key = GameKey::Up;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      key = GameKey::Down;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      key = GameKey::Left;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      key = GameKey::Right;
      break;
    case SDL_CONTROLLER_BUTTON_A:
      key = GameKey::Enter;
      break;
    case SDL_CONTROLLER_BUTTON_B:
      key = GameKey::Esc;
      break;
    case SDL_CONTROLLER_BUTTON_X:
      key = GameKey::Space;
      break;
    default:
      break;
  }
  if (key)
    SetKey({KeySource::Kind::Button, id, ev.cbutton.button}, *key,
           ev.type == SDL_CONTROLLERBUTTONDOWN);
}

void SdlPlatform::HandleComfort(ComfortKey key) {
  switch (key) {
    case ComfortKey::Fullscreen:
      if (gameMode_ && !gameModeSetAside_) {
        gameModeSetAside_ = true;
        fullscreen_ = false;
      } else {
        fullscreen_ = !fullscreen_;
      }
      ApplyFullscreen();
      break;
    case ComfortKey::Screenshot:
      SaveScreenshot();
      break;
    case ComfortKey::FastForward:
      SetSpeed(kFastForward);
      break;
    case ComfortKey::Reload:
    case ComfortKey::Overlay:
      break;
  }
}

void SdlPlatform::Present(const Surface& frontbuf, double, double) {
  // The picture is always centred in the window (Render), which is
  // where the game places it too.
  if (!renderer_ || frontbuf.Empty()) return;
  const ScreenSize size{frontbuf.Width(), frontbuf.Height()};
  const std::span<const uint32_t> pixels = frontbuf.Pixels();
  if (!texture_ || size != frameSize_) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 size.width, size.height);
    if (!texture_) return;
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    frameSize_ = size;
    frame_.clear();
  } else if (std::equal(pixels.begin(), pixels.end(), frame_.begin(), frame_.end())) {
    return;  // the same picture again: nothing to upload or show
  }
  frame_.assign(pixels.begin(), pixels.end());
  SDL_UpdateTexture(texture_, nullptr, frame_.data(), size.width * 4);
  dirty_ = true;
}

// The frame blown up by the whole number SharpPrescale gives for `shown`,
// hard-edged, into a texture that is smoothed when drawn; the frame's own
// texture where the renderer cannot draw into one (hard-edged then).
SDL_Texture* SdlPlatform::SharpPicture(ScreenSize shown) {
  if (!SDL_RenderTargetSupported(renderer_)) return texture_;
  int k = SharpPrescale(frameSize_, shown);
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer_, &info) == 0 && info.max_texture_width > 0 &&
      info.max_texture_height > 0)
    k = std::clamp(std::min(info.max_texture_width / frameSize_.width,
                            info.max_texture_height / frameSize_.height),
                   1, k);
  const ScreenSize size{frameSize_.width * k, frameSize_.height * k};
  if (!prescaled_ || size != prescaledSize_) {
    if (prescaled_) SDL_DestroyTexture(prescaled_);
    prescaled_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_TARGET,
                                   size.width, size.height);
    if (!prescaled_) return texture_;
    SDL_SetTextureBlendMode(prescaled_, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(prescaled_, SDL_ScaleModeLinear);
    prescaledSize_ = size;
  }
  if (SDL_SetRenderTarget(renderer_, prescaled_) != 0) return texture_;
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_SetRenderTarget(renderer_, nullptr);
  return prescaled_;
}

void SdlPlatform::Render() {
  dirty_ = false;
  if (!renderer_) return;
  SDL_Texture* shown = texture_;
  ScreenRect r;
  if (texture_) {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    r = PictureRect({w, h}, frameSize_, fit_);
    if (ResolvedFit({w, h}, frameSize_, fit_) == PictureFit::Sharp)
      shown = SharpPicture({r.width, r.height});
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (shown) {
    const SDL_Rect dst{r.x, r.y, r.width, r.height};
    SDL_RenderCopy(renderer_, shown, nullptr, &dst);
  }
  SDL_RenderPresent(renderer_);
}

void SdlPlatform::SaveScreenshot() {
  if (frame_.empty()) return;
  Surface shot(frameSize_.width, frameSize_.height);
  std::copy(frame_.begin(), frame_.end(), shot.Pixels().begin());
  std::error_code ec;
  std::filesystem::create_directories(screenshotFolder_, ec);
  const std::string stamp = "yarrowind-" + TimeStamp();
  std::filesystem::path file = screenshotFolder_ / (stamp + ".png");
  for (int n = 2; std::filesystem::exists(file, ec) && n < 1000; ++n)
    file = screenshotFolder_ / (stamp + "-" + std::to_string(n) + ".png");
  if (codec_.WritePng(shot, file))
    std::cerr << "yarrowind: screenshot saved to " << PrintableText(file.string()) << "\n";
  else
    std::cerr << "yarrowind: cannot write a screenshot to " << PrintableText(file.string()) << "\n";
}

void SdlPlatform::SetCaption(std::string_view caption) {
  if (window_) SDL_SetWindowTitle(window_, Cp1252ToUtf8(caption).c_str());
}

void SdlPlatform::SetWindowState(bool maximised, int width, int height) {
  if (!window_) return;
  game_ = {std::max(width, 1), std::max(height, 1)};
  // Asked again for what it already has (each game start reads the ini):
  // the window keeps the size the player may have given it.
  const std::array<int, 3> state{maximised, game_.width, game_.height};
  if (windowState_ == state) return;
  windowState_ = state;
  if (maximised) {
    SDL_MaximizeWindow(window_);
  } else {
    SDL_RestoreWindow(window_);
    PlaceWindow();
  }
  if (SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) {
    SDL_ShowWindow(window_);
    ApplyFullscreen();
  }
}

void SdlPlatform::PlaceWindow(bool again) {
  int top = 0, left = 0, bottom = 0, right = 0;
  const bool framed = SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 &&
                      top + left + bottom + right > 0;
  if (again && !framed) return;
  // A window not yet shown has no frame to measure: its size is guessed,
  // and the window is placed again once the window manager has framed it
  // (which may also have moved it down by its title bar).
  placeWhenFramed_ = !framed;
  ScreenSize frame = kAssumedFrame;
  if (framed)
    frame = {left + right, top + bottom};
  else
    top = frame.height - frame.width / 2, left = frame.width / 2;
  const int display = std::max(SDL_GetWindowDisplayIndex(window_), 0);
  SDL_Rect usable{0, 0, desktop_.width, desktop_.height};
  SDL_GetDisplayUsableBounds(display, &usable);
  const WindowScale s =
      ChooseWindowScale({usable.w, usable.h}, frame, game_, requestedScale_, fit_);
  if (s.cut && requestedScale_ > 0 && !again)
    std::cerr << "yarrowind: scale " << requestedScale_ << " does not fit the screen (" << usable.w
              << " x " << usable.h << "); using " << s.scale << "\n";
  SDL_SetWindowSize(window_, s.window.width, s.window.height);
  // Centred in the usable area; a window larger than it keeps its top left
  // corner (and title bar) on the screen.
  const int x = usable.x + left + std::max(0, (usable.w - frame.width - s.window.width) / 2);
  const int y = usable.y + top + std::max(0, (usable.h - frame.height - s.window.height) / 2);
  SDL_SetWindowPosition(window_, x, y);
}

void SdlPlatform::ApplyFullscreen() {
  if (gameMode_ && !gameModeSetAside_) {
    SDL_DisplayMode m{};
    m.w = gameMode_->width;
    m.h = gameMode_->height;
    SDL_DisplayMode found;
    if (SDL_GetClosestDisplayMode(0, &m, &found) &&
        SDL_SetWindowDisplayMode(window_, &found) == 0 &&
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0)
      return;
  }
  SDL_SetWindowFullscreen(window_, fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  dirty_ = true;
}

void SdlPlatform::WindowSize(int& width, int& height) {
  // In game pixels: the window's inside over the scale the picture is
  // shown at, so a window made for the picture is exactly its size.
  width = height = 0;
  if (!renderer_) return;
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  const ScreenRect r = PictureRect({w, h}, game_, fit_);
  if (r.width < 1 || r.height < 1) return;
  width = static_cast<int>(static_cast<int64_t>(w) * game_.width / r.width);
  height = static_cast<int>(static_cast<int64_t>(h) * game_.height / r.height);
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
  if (gameMode_) return *gameMode_;
  SDL_DisplayMode m;
  if (window_ && SDL_GetCurrentDisplayMode(0, &m) == 0) return {m.w, m.h};
  return desktop_;
}

bool SdlPlatform::SetDisplayMode(DisplayMode mode) {
  if (!window_) return false;
  gameModeSetAside_ = false;
  // Back to the desktop's own mode: leave the game's mode.
  if (mode == desktop_) {
    gameMode_.reset();
    ApplyFullscreen();
    return true;
  }
  SDL_DisplayMode want{};
  want.w = mode.width;
  want.h = mode.height;
  SDL_DisplayMode found;
  if (!SDL_GetClosestDisplayMode(0, &want, &found) || found.w != mode.width ||
      found.h != mode.height)
    return false;
  gameMode_ = mode;
  if (SDL_SetWindowDisplayMode(window_, &found) != 0 ||
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) {
    gameMode_.reset();
    ApplyFullscreen();
    return false;
  }
  dirty_ = true;
  return true;
}

void SdlPlatform::MessageBox(std::string_view title, std::string_view text) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Cp1252ToUtf8(title).c_str(),
                           Cp1252ToUtf8(text).c_str(), window_);
}

}  // namespace yw
