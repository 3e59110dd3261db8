// Replay files: timed key presses, typed text, screenshots and state dumps
// fed to a headless run. One event per line, times in virtual milliseconds
// from the start, in order; '#' starts a comment.
//
//   <ms> key <Esc|Enter|Space|Up|Down|Left|Right> [hold_ms]
//   <ms> key <Reload|Overlay>  (the author's keys, F5 and F3 in a window)
//   <ms> press <KEY>        <ms> release <KEY>
//   <ms> type <text>        (\b types Backspace, \\ a backslash)
//   <ms> shot <file.png>    <ms> dump <file.json>
//   <ms> view <file.png>    (the picture as the window shows it, overlay included)
//   <ms> quit
//   <ms> clock <ms2>        the clock jumps from ms to ms2 (a recorded turn
//                           that took longer than one tick)
//
// Before the first event, lines without a time set up the run (a recorded
// session starts with them; the command line's options win):
//
//   seed <n>    root <program folder>    play <game folder>
//   display <WxH of the current mode> [<WxH of another mode> ...]
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "shell/engine.h"

namespace yw {

struct ReplayEvent {
  enum class Kind { Key, Press, Release, Type, Shot, Dump, Quit, Reload, Overlay, View, Clock };
  uint32_t ms = 0;
  uint32_t clockTo = 0;  // Clock: the time the clock jumps to
  Kind kind = Kind::Quit;
  GameKey key = GameKey::Esc;
  uint32_t holdMs = 60;
  std::string text;             // Windows-1252 bytes to type
  std::filesystem::path file;  // absolute
  int line = 0;
};

// How a replay sets up its run.
struct ReplaySettings {
  std::optional<uint32_t> seed;
  std::filesystem::path root;  // absolute, or empty
  std::filesystem::path play;
  std::vector<DisplayMode> displayModes;  // the current mode first; empty: the default
};

// Parses a replay; relative file names are taken from `baseDir`. On a bad
// line returns false with "line N: what is wrong" in `error`.
bool ParseReplay(std::string_view text, const std::filesystem::path& baseDir,
                 std::vector<ReplayEvent>& events, std::string& error,
                 ReplaySettings* settings = nullptr);

// The replay text of typed characters (Windows-1252 bytes): UTF-8, with
// \b for Backspace, \s for a blank and \\ for a backslash.
std::string ReplayTypeText(std::string_view typed);

// Plays the events into a headless platform as its virtual clock passes
// them; ends the run at `quit` (exit 0) or after maxMs (exit 3).
class ReplayDriver : public YieldObserver {
 public:
  ReplayDriver(HeadlessPlatform& platform, std::vector<ReplayEvent> events, uint32_t maxMs);
  void OnYield(Engine& engine) override;
  // Problems met while running (a shot that could not be written, ...).
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  struct PendingRelease {
    GameKey key;
    uint32_t at;
  };
  HeadlessPlatform& platform_;
  std::vector<ReplayEvent> events_;
  size_t next_ = 0;
  std::vector<PendingRelease> releases_;
  uint32_t maxMs_;
  std::vector<std::string> problems_;
};

}  // namespace yw
