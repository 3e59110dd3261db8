#include "shell/replay.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/encoding.h"
#include "render/surfaces.h"
#include "shell/author_tools.h"
#include "shell/startup.h"
#include "shell/state_dump.h"

namespace yw {

namespace {

bool ParseKeyName(std::string_view name, GameKey& key) {
  static constexpr std::pair<std::string_view, GameKey> kNames[] = {
      {"Esc", GameKey::Esc},    {"Enter", GameKey::Enter}, {"Space", GameKey::Space},
      {"Up", GameKey::Up},      {"Down", GameKey::Down},   {"Left", GameKey::Left},
      {"Right", GameKey::Right}};
  for (const auto& [n, k] : kNames)
    if (n == name) {
      key = k;
      return true;
    }
  return false;
}

bool ParseUint(std::string_view s, uint32_t& out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

// A time of the virtual clock, 0 to kMaxClockMs.
bool ParseTime(std::string_view s, Millis& out) {
  uint64_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || p != s.data() + s.size() || v > uint64_t{kMaxClockMs})
    return false;
  out = static_cast<Millis>(v);
  return true;
}

std::string_view NextWord(std::string_view& rest) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  size_t end = 0;
  while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
  std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

std::string_view TrimWs(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (s[i] == '\\' && (next == 'b' || next == 's' || next == '\\')) {
      out.push_back(next == 'b' ? '\b' : next == 's' ? ' ' : '\\');
      ++i;
    } else {
      out.push_back(s[i]);
    }
  }
  return Utf8ToCp1252(out);
}

bool ParseMode(std::string_view s, DisplayMode& mode) {
  const size_t x = s.find('x');
  uint32_t w = 0, h = 0;
  if (x == std::string_view::npos || !ParseUint(s.substr(0, x), w) ||
      !ParseUint(s.substr(x + 1), h) || w < 1 || h < 1 || w > 65535 || h > 65535)
    return false;
  mode = {static_cast<int>(w), static_cast<int>(h)};
  return true;
}

// A line that sets up the run; false with a message when it is not one.
bool ParseSetting(std::string_view line, const std::filesystem::path& baseDir,
                  ReplaySettings& settings, std::string& what) {
  std::string_view rest = line;
  const std::string_view name = NextWord(rest);
  const std::string_view value = TrimWs(rest);
  if (value.empty()) {
    what = "expected a time in milliseconds, found '" + std::string(name) + "'";
    return false;
  }
  if (name == "seed") {
    uint32_t seed = 0;
    if (!ParseUint(value, seed)) {
      what = "seed: '" + std::string(value) + "' is not a number";
      return false;
    }
    settings.seed = seed;
  } else if (name == "root" || name == "play") {
    const std::filesystem::path p{std::string(value)};
    (name == "root" ? settings.root : settings.play) = p.is_absolute() ? p : baseDir / p;
  } else if (name == "display") {
    settings.displayModes.clear();
    for (std::string_view w = NextWord(rest); !w.empty(); w = NextWord(rest)) {
      DisplayMode m;
      if (!ParseMode(w, m)) {
        what = "display: '" + std::string(w) + "' is not a mode such as 1920x1080";
        return false;
      }
      settings.displayModes.push_back(m);
    }
  } else {
    what = "expected a time in milliseconds, found '" + std::string(name) + "'";
    return false;
  }
  return true;
}

}  // namespace

std::string ReplayTypeText(std::string_view typed) {
  std::string out;
  for (char c : typed) {
    if (c == '\b')
      out += "\\b";
    else if (c == ' ')
      out += "\\s";
    else if (c == '\\')
      out += "\\\\";
    else
      out += Cp1252ToUtf8(std::string_view(&c, 1));
  }
  return out;
}

ReplayReader::ReplayReader(std::istream& in, std::filesystem::path baseDir,
                           ReplaySettings* settings)
    : in_(in), baseDir_(std::move(baseDir)), setup_(settings ? *settings : ignored_) {}

bool ReplayReader::Fail(const std::string& what) {
  error_ = "line " + std::to_string(lineNo_) + ": " + what;
  return false;
}

// The next line into line_, without its line end; false at the end of the
// file or at a line too long to be a replay's.
bool ReplayReader::ReadLine() {
  line_.resize(kMaxReplayLine + 1);
  in_.getline(line_.data(), static_cast<std::streamsize>(line_.size()));
  const auto got = static_cast<size_t>(in_.gcount());
  if (got == 0 && !in_) return false;  // the end of the file
  ++lineNo_;
  if (in_.fail() && !in_.eof())
    return Fail("longer than " + std::to_string(kMaxReplayLine) + " characters");
  // gcount counts the line end that getline took, when there was one.
  line_.resize(in_.eof() ? got : got - 1);
  in_.clear(in_.rdstate() & std::ios::eofbit);
  return true;
}

bool ReplayReader::Next(ReplayEvent& ev) {
  while (error_.empty() && ReadLine()) {
    const std::string_view line = TrimWs(line_);
    if (line.empty() || line.front() == '#') continue;
    ev = ReplayEvent{};
    ev.line = lineNo_;
    std::string_view rest = line;
    const std::string_view time = NextWord(rest);
    if (time.front() >= '0' && time.front() <= '9') {
      if (!ParseTime(time, ev.ms))
        return Fail("'" + std::string(time) + "' is not a time from 0 to " +
                    std::to_string(kMaxClockMs));
    } else {
      if (anyEvent_) return Fail("'" + std::string(time) + "' must come before the first event");
      std::string what;
      if (!ParseSetting(line, baseDir_, setup_, what)) return Fail(what);
      continue;
    }
    if (ev.ms < last_) return Fail("events must be in order of time");
    last_ = ev.ms;
    if (!ParseEvent(rest, ev)) return false;
    anyEvent_ = true;
    return true;
  }
  return false;
}

bool ReplayReader::ParseEvent(std::string_view rest, ReplayEvent& ev) {
  const std::string_view verb = NextWord(rest);
  auto nothingMore = [&] {
    return TrimWs(rest).empty() || Fail("unexpected '" + std::string(TrimWs(rest)) + "'");
  };
  if (verb == "key" && (TrimWs(rest) == "Reload" || TrimWs(rest) == "Overlay")) {
    ev.kind = TrimWs(rest) == "Reload" ? ReplayEvent::Kind::Reload : ReplayEvent::Kind::Overlay;
  } else if (verb == "key" || verb == "press" || verb == "release") {
    const std::string_view name = NextWord(rest);
    if (!ParseKeyName(name, ev.key)) return Fail("unknown key '" + std::string(name) + "'");
    ev.kind = verb == "key"     ? ReplayEvent::Kind::Key
              : verb == "press" ? ReplayEvent::Kind::Press
                                : ReplayEvent::Kind::Release;
    const std::string_view hold = NextWord(rest);
    if (!hold.empty() && (ev.kind != ReplayEvent::Kind::Key || !ParseTime(hold, ev.holdMs)))
      return Fail("unexpected '" + std::string(hold) + "'");
    return nothingMore();
  } else if (verb == "type") {
    ev.kind = ReplayEvent::Kind::Type;
    if (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
    ev.text = Unescape(rest);
  } else if (verb == "shot" || verb == "dump" || verb == "view") {
    ev.kind = verb == "shot"   ? ReplayEvent::Kind::Shot
              : verb == "dump" ? ReplayEvent::Kind::Dump
                               : ReplayEvent::Kind::View;
    const std::string_view name = TrimWs(rest);
    if (name.empty()) return Fail(std::string(verb) + " needs a file name");
    std::filesystem::path p{std::string(name)};
    ev.file = p.is_absolute() ? p : baseDir_ / p;
  } else if (verb == "clock") {
    ev.kind = ReplayEvent::Kind::Clock;
    const std::string_view to = NextWord(rest);
    if (!ParseTime(to, ev.clockTo) || ev.clockTo < ev.ms)
      return Fail("clock needs a time from " + std::to_string(ev.ms) + " to " +
                  std::to_string(kMaxClockMs));
    last_ = ev.clockTo;
    return nothingMore();
  } else if (verb == "quit") {
    ev.kind = ReplayEvent::Kind::Quit;
    return nothingMore();
  } else {
    return Fail("unknown event '" + std::string(verb) + "'");
  }
  return true;
}

bool ParseReplay(std::string_view text, const std::filesystem::path& baseDir,
                 std::vector<ReplayEvent>& events, std::string& error, ReplaySettings* settings) {
  events.clear();
  std::istringstream in{std::string(text)};
  ReplayReader reader(in, baseDir, settings);
  for (ReplayEvent ev; reader.Next(ev);) events.push_back(std::move(ev));
  error = reader.Error();
  return error.empty();
}

ReplayDriver::ReplayDriver(HeadlessPlatform& platform, std::vector<ReplayEvent> events,
                           Millis maxMs)
    : ReplayDriver(
          platform,
          [events = std::move(events), i = size_t{0}](ReplayEvent& ev) mutable {
            if (i == events.size()) return false;
            ev = std::move(events[i++]);
            return true;
          },
          maxMs) {}

ReplayDriver::ReplayDriver(HeadlessPlatform& platform, EventSource next, Millis maxMs)
    : platform_(platform), source_(std::move(next)), maxMs_(maxMs) {}

const ReplayEvent* ReplayDriver::Due(Millis now) {
  if (!next_ && !ended_) {
    ReplayEvent ev;
    if (source_(ev))
      next_ = std::move(ev);
    else
      ended_ = true;
  }
  return next_ && next_->ms <= now ? &*next_ : nullptr;
}

void ReplayDriver::OnYield(Engine& engine) {
  Millis now = platform_.Now();
  for (auto it = releases_.begin(); it != releases_.end();) {
    if (it->at <= now) {
      platform_.SetKey(it->key, false);
      it = releases_.erase(it);
    } else {
      ++it;
    }
  }
  while (!engine.QuitRequested && Due(now)) {
    // Taken out first: what an event does may yield and come back here.
    const ReplayEvent ev = std::move(*next_);
    next_.reset();
    switch (ev.kind) {
      case ReplayEvent::Kind::Key:
        platform_.SetKey(ev.key, true);
        releases_.push_back({ev.key, now + ev.holdMs});
        break;
      case ReplayEvent::Kind::Press:
        platform_.SetKey(ev.key, true);
        break;
      case ReplayEvent::Kind::Release:
        platform_.SetKey(ev.key, false);
        break;
      case ReplayEvent::Kind::Type:
        for (char c : ev.text) platform_.Type(static_cast<uint8_t>(c));
        break;
      case ReplayEvent::Kind::Shot:
        if (!platform_.WritePng(engine.pics.Frontbuf, ev.file))
          problems_.push_back("line " + std::to_string(ev.line) + ": cannot write " +
                              ev.file.string());
        break;
      case ReplayEvent::Kind::View:
        if (!platform_.WritePng(ShownPicture(engine, false), ev.file))
          problems_.push_back("line " + std::to_string(ev.line) + ": cannot write " +
                              ev.file.string());
        break;
      case ReplayEvent::Kind::Reload:
        PressReload(engine);
        break;
      case ReplayEvent::Kind::Overlay:
        PressOverlay(engine);
        break;
      case ReplayEvent::Kind::Dump: {
        std::error_code ec;
        if (ev.file.has_parent_path())
          std::filesystem::create_directories(ev.file.parent_path(), ec);
        std::ofstream out(ev.file, std::ios::binary);
        out << DumpState(engine, platform_.MessageBoxes())
                   .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
            << "\n";
        if (!out)
          problems_.push_back("line " + std::to_string(ev.line) + ": cannot write " +
                              ev.file.string());
        break;
      }
      case ReplayEvent::Kind::Clock:
        platform_.SetClock(ev.clockTo);
        now = ev.clockTo;
        break;
      case ReplayEvent::Kind::Quit:
        Shutdown(engine);
        engine.ExitCode = 0;
        break;
    }
  }
  if (!engine.QuitRequested && now > maxMs_) {
    Shutdown(engine);
    engine.ExitCode = 3;
  }
}

}  // namespace yw
