// The platform over SDL2: one window titled by the game. The game's frame is
// uploaded to a streaming texture and the renderer scales it to the window
// (hard-edged, or for a sharp picture through a whole-number blow-up that is
// then smoothed);
// keys come from the keyboard (as the player's settings map them) and from
// game controllers. The comforts handled here (window scale, fullscreen,
// screenshots, fast-forward) never change what the game sees.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_image_codec.h"
#include "platform/window_fit.h"
#include "shell/user_settings.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct _SDL_GameController;
union SDL_Event;

namespace yw {

// Whether SDL knows a keyboard key by this name ("Return", "Keypad Enter").
bool SdlKnownKeyName(std::string_view name);

class SdlPlatform : public Platform {
 public:
  SdlPlatform(const UserSettings& settings, std::filesystem::path screenshotFolder,
              std::unique_ptr<AudioDevice> audio = nullptr);
  ~SdlPlatform() override;
  bool Ok() const { return window_ != nullptr; }
  // Milliseconds of real time by default; a test that plays a window
  // session by its own clock gives the one it steps. The game's clock runs
  // on from where it is.
  void UseTicks(std::function<uint64_t()> ticks);

  Millis Now() override;
  PlatformEvents Yield() override;
  bool KeyDown(GameKey key) override;
  KeyActivity LastYieldActivity(GameKey key) const override;
  void SetTextEntry(bool open) override { textEntry_ = open; }
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
  struct Binding {
    int32_t key = 0;    // SDL keycode
    uint16_t mods = 0;  // modifiers that must be held (SDL KMOD_ bits)
    int target = 0;     // GameKey or ComfortKey index
  };
  struct Pad {
    _SDL_GameController* controller = nullptr;
    int32_t id = -1;
  };
  // What holds a game key down: a keyboard key, or a controller's button or
  // stick (by the controller's id).
  struct KeySource {
    enum class Kind : uint8_t { Keyboard, Button, Stick } kind;
    int32_t device = 0;
    int32_t control = 0;  // SDL keycode, button or axis
    bool operator==(const KeySource&) const = default;
  };
  struct HeldKey {
    KeySource from;
    GameKey key;
  };

  void ResolveKeys(const UserSettings& settings);
  bool Held(GameKey key) const;
  void SetKey(KeySource from, GameKey key, bool down, bool repeat = false);
  void HandleKey(const SDL_Event& ev, PlatformEvents& events);
  void HandlePad(const SDL_Event& ev);
  void HandleComfort(ComfortKey key);
  void PlaceWindow(bool again = false);
  void ApplyFullscreen();
  void Render();
  SDL_Texture* SharpPicture(ScreenSize shown);
  void SaveScreenshot();
  void SetSpeed(int speed);

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  // A sharp picture's frame blown up by a whole number, smoothed to the window.
  SDL_Texture* prescaled_ = nullptr;
  ScreenSize prescaledSize_;
  ScreenSize frameSize_;         // the frame last shown
  std::vector<uint32_t> frame_;  // its pixels
  bool dirty_ = false;           // the window is behind the frame
  PictureFit fit_;
  int requestedScale_;
  ScreenSize game_{320, 240};
  std::optional<std::array<int, 3>> windowState_;  // the game's last request
  bool fullscreen_;
  bool placeWhenFramed_ = false;         // placed before its frame was known
  std::optional<DisplayMode> gameMode_;  // a display mode the game switched to
  bool gameModeSetAside_ = false;        // the player left the game's mode
  DisplayMode desktop_;

  std::vector<Binding> gameKeys_;
  std::vector<Binding> comfortKeys_;
  std::vector<HeldKey> held_;             // game keys down, with what holds them
  std::array<bool, 7> pressed_{};         // went down since KeyDown last asked
  std::array<bool, 7> pressedInYield_{};  // went down during the last Yield
  std::vector<Pad> pads_;

  std::function<uint64_t()> ticks_;
  uint64_t lastYield_ = 0;
  uint64_t gameClock_ = 0, lastTicks_ = 0;
  int speed_ = 1;
  int32_t fastKey_ = 0;     // the key holding fast-forward
  bool textEntry_ = false;  // the game is taking typed text

  std::filesystem::path screenshotFolder_;
  SdlImageCodec codec_;
  std::unique_ptr<AudioDevice> audio_;
};

}  // namespace yw
