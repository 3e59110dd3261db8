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
// Times go up to kMaxClockMs, far beyond 32 bits. A line is at most
// kMaxReplayLine characters long.
//
// Before the first event, lines without a time set up the run (a recorded
// session starts with them; the command line's options win):
//
//   seed <n>    root <program folder>    play <game folder>
//   display <WxH of the current mode> [<WxH of another mode> ...]
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine.h"
#include "platform/headless/headless_platform.h"

namespace yw {

struct ReplayEvent {
  enum class Kind { Key, Press, Release, Type, Shot, Dump, Quit, Reload, Overlay, View, Clock };
  Millis ms = 0;
  Millis clockTo = 0;  // Clock: the time the clock jumps to
  Kind kind = Kind::Quit;
  GameKey key = GameKey::Esc;
  Millis holdMs = 60;
  std::string text;            // Windows-1252 bytes to type
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

inline constexpr size_t kMaxReplayLine = 65536;

// Reads a replay one event at a time, so that a long one is read in
// bounded memory; relative file names are taken from `baseDir`.
class ReplayReader {
 public:
  ReplayReader(std::istream& in, std::filesystem::path baseDir, ReplaySettings* settings = nullptr);
  // The next event; false at the end of the file or at a bad line, when
  // Error() says "line N: what is wrong".
  bool Next(ReplayEvent& ev);
  const std::string& Error() const { return error_; }
  // The latest time named so far (an event's or a clock jump's).
  Millis Last() const { return last_; }

 private:
  bool ReadLine();
  // The verb and its arguments after the time.
  bool ParseEvent(std::string_view rest, ReplayEvent& ev);
  bool Fail(const std::string& what);

  std::istream& in_;
  std::filesystem::path baseDir_;
  ReplaySettings ignored_;
  ReplaySettings& setup_;
  std::string line_;
  int lineNo_ = 0;
  Millis last_ = 0;
  bool anyEvent_ = false;
  std::string error_;
};

// Parses a whole replay into `events`. On a bad line returns false with
// "line N: what is wrong" in `error`.
bool ParseReplay(std::string_view text, const std::filesystem::path& baseDir,
                 std::vector<ReplayEvent>& events, std::string& error,
                 ReplaySettings* settings = nullptr);

// The replay text of typed characters (Windows-1252 bytes): UTF-8, with
// \b for Backspace, \s for a blank and \\ for a backslash.
std::string ReplayTypeText(std::string_view typed);

// Plays the events into a headless platform as its virtual clock passes
// them; ends the run at `quit` (exit 0) or after maxMs (exit 3). The
// events come from a list or, one at a time, from `next` (false: no more).
class ReplayDriver : public YieldObserver {
 public:
  using EventSource = std::function<bool(ReplayEvent&)>;
  ReplayDriver(HeadlessPlatform& platform, std::vector<ReplayEvent> events, Millis maxMs);
  ReplayDriver(HeadlessPlatform& platform, EventSource next, Millis maxMs);
  void OnYield(Engine& engine) override;
  // Problems met while running (a shot that could not be written, ...).
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  struct PendingRelease {
    GameKey key;
    Millis at;
  };
  // The next event due at `now`, if any.
  const ReplayEvent* Due(Millis now);

  HeadlessPlatform& platform_;
  EventSource source_;
  std::optional<ReplayEvent> next_;  // read, not yet played
  bool ended_ = false;
  std::vector<PendingRelease> releases_;
  Millis maxMs_;
  std::vector<std::string> problems_;
};

}  // namespace yw
