#include "shell/session_recorder.h"

#include <algorithm>

#include "shell/replay.h"

namespace yw {

namespace {

constexpr std::string_view kKeyNames[] = {"Esc", "Enter", "Space", "Up", "Down", "Left", "Right"};

std::string ModeText(DisplayMode m) {
  return std::to_string(m.width) + "x" + std::to_string(m.height);
}

}  // namespace

RecordingPlatform::RecordingPlatform(Platform& inner, std::ostream& out, const RecordedStart& start)
    : inner_(inner), out_(out), start_(inner.Now()) {
  out_ << "# A session recorded by yarrowind; play it with\n"
       << "#   yarrowind --headless --replay FILE\n"
       << "seed " << start.seed << "\n"
       << "root " << start.root.string() << "\n";
  if (!start.play.empty()) out_ << "play " << start.play.string() << "\n";
  // The game may switch the display mode: it finds the same ones.
  const DisplayMode current = inner_.CurrentDisplayMode();
  out_ << "display " << ModeText(current);
  for (const DisplayMode& m : inner_.DisplayModes())
    if (!(m == current)) out_ << " " << ModeText(m);
  out_ << "\n";
  out_.flush();
}

void RecordingPlatform::Line(Millis ms, std::string_view what) {
  out_ << ms << " " << what << "\n";
}

PlatformEvents RecordingPlatform::Yield() {
  PlatformEvents events = inner_.Yield();
  const Millis previous = clock_;
  // One clock value per turn, at least a millisecond after the last, so
  // that the time of a line names its turn.
  clock_ = std::max(previous + 1, 1 + (inner_.Now() - start_));

  // A replay's character is typed at the turn after its line, one per
  // turn: so the one the game gets now is written at the last turn's time.
  typed_.insert(typed_.end(), events.typed.begin(), events.typed.end());
  events.typed.clear();
  if (!firstYield_ && !typed_.empty()) {
    events.typed.push_back(typed_.front());
    typed_.pop_front();
    const char c = static_cast<char>(events.typed.front());
    Line(previous, "type " + ReplayTypeText(std::string_view(&c, 1)));
  }
  firstYield_ = false;
  if (clock_ != previous + 1) Line(previous + 1, "clock " + std::to_string(clock_));
  RecordKeys();
  if (events.reloadPressed) Line(clock_, "key Reload");
  if (events.overlayPressed) Line(clock_, "key Overlay");
  if (events.closeRequested) Line(clock_, "quit");
  out_.flush();
  return events;
}

// Each key's presses and releases of this turn, in an order that leaves a
// headless run's key in the same state: held or not, and with a press
// still to be seen by the next poll.
void RecordingPlatform::RecordKeys() {
  for (GameKey k : kPollOrder) {
    const auto i = static_cast<size_t>(k);
    const KeyActivity a = inner_.LastYieldActivity(k);
    const std::string name(kKeyNames[i]);
    if (a.pressed) {
      if (held_[i]) Line(clock_, "release " + name);
      Line(clock_, "press " + name);
      if (!a.held) Line(clock_, "release " + name);
    } else if (a.held != held_[i]) {
      Line(clock_, (a.held ? "press " : "release ") + name);
    }
    held_[i] = a.held;
  }
}

}  // namespace yw
