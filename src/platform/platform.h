// The services the game needs from the machine it runs on. The core talks
// only to this interface; the SDL and headless back ends implement it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio_device.h"
#include "platform/clock.h"

namespace yw {

class Surface;

// The seven keys the game polls, in the order the poll scans them.
enum class GameKey : uint8_t { Esc, Enter, Space, Up, Down, Left, Right };
inline constexpr GameKey kPollOrder[] = {GameKey::Esc,  GameKey::Enter, GameKey::Space, GameKey::Up,
                                         GameKey::Down, GameKey::Left,  GameKey::Right};

// Virtual-key code of a key as the game stores it in Key and LastKey.
constexpr int32_t VirtualKeyCode(GameKey k) {
  constexpr int32_t codes[] = {27, 13, 32, 38, 40, 37, 39};
  return codes[static_cast<int>(k)];
}

struct DisplayMode {
  int width = 0;
  int height = 0;
  bool operator==(const DisplayMode&) const = default;
};

// What the last yield to the window system did to one game key: whether
// it went down during it (a tap may already be up again) and whether it is
// held now. A recorder writes these down as the session is played.
struct KeyActivity {
  bool pressed = false;
  bool held = false;
};

// What happened while the window system had control.
struct PlatformEvents {
  std::vector<uint8_t> typed;  // Windows-1252 bytes; Backspace is 8
  bool closeRequested = false;
  bool resized = false;
  bool reloadPressed = false;   // the author's reload key (F5)
  bool overlayPressed = false;  // the debug overlay key (F3)
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Milliseconds of a clock that only moves forward.
  virtual Millis Now() = 0;
  // Hands control to the window system once; returns what happened.
  virtual PlatformEvents Yield() = 0;
  // Whether the key is held down at this moment or was pressed since the
  // last call for it: a tap that went down and up between two polls is
  // seen once. The call forgets that press.
  virtual bool KeyDown(GameKey key) = 0;
  // What the last Yield did to the key; asking changes nothing. A back end
  // whose sessions are not recorded may leave it as it is.
  virtual KeyActivity LastYieldActivity(GameKey) const { return {}; }
  // Told before each yield whether the game is taking typed text. A back
  // end whose keyboard keys both type and press game keys lets a key that
  // types a character only type it then, so that a letter bound to a game
  // key can still be written in a name.
  virtual void SetTextEntry(bool) {}

  // Makes the given surface (Frontbuf) visible, placed at (left, top) of
  // the window's client area.
  virtual void Present(const Surface& frontbuf, double left, double top) = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  // Normal window of the given client size, or maximised.
  virtual void SetWindowState(bool maximised, int width, int height) = 0;
  // Client size of the window in pixels.
  virtual void WindowSize(int& width, int& height) = 0;

  // Display modes of the primary display.
  virtual std::vector<DisplayMode> DisplayModes() = 0;
  virtual DisplayMode CurrentDisplayMode() = 0;
  // Switches the display; a mode the display cannot show is refused.
  virtual bool SetDisplayMode(DisplayMode mode) = 0;

  // A modal message box (critical-error icon).
  virtual void MessageBox(std::string_view title, std::string_view text) = 0;

  // Decodes a BMP or JPEG file into the surface, which takes its size.
  // Returns false (and leaves an empty surface) when it cannot.
  virtual bool LoadPicture(const std::filesystem::path& file, Surface& into) = 0;
  virtual bool WritePng(const Surface& surface, const std::filesystem::path& file) = 0;

  virtual AudioDevice& Audio() = 0;
};

}  // namespace yw
