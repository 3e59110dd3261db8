#include "shell/command_line.h"

#include <charconv>

namespace yw {

namespace {

template <class N>
bool ParseNumber(const std::string& s, N& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

std::string UsageText() {
  return "usage: yarrowind [--root DIR] [--scale N] [--fullscreen] [--play GAME_DIR] "
         "[--seed N] [--record FILE]\n"
         "       yarrowind --headless [--root DIR] [--play GAME_DIR] [--seed N] [--tick-ms N] "
         "[--max-ms N] --replay FILE\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, Options& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto number = [&]<class N>(N& out, N min, N max) {
      std::string v;
      if (!value(v)) return false;
      if (!ParseNumber(v, out) || out < min || out > max) {
        error = a + ": '" + v + "' is not a number from " + std::to_string(min) + " to " +
                std::to_string(max);
        return false;
      }
      return true;
    };
    std::string v;
    uint32_t n = 0;
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--root") {
      if (!value(v)) return false;
      o.root = v;
    } else if (a == "--seed") {
      if (!number(n, 0u, UINT32_MAX)) return false;
      o.seed = n;
    } else if (a == "--tick-ms") {
      if (!number(o.tickMs, 1u, 60000u)) return false;
    } else if (a == "--max-ms") {
      Millis ms = 0;
      if (!number(ms, Millis{1}, kMaxClockMs)) return false;
      o.maxMs = ms;
    } else if (a == "--replay") {
      if (!value(v)) return false;
      o.replay = v;
    } else if (a == "--record") {
      if (!value(v)) return false;
      o.record = v;
    } else if (a == "--play") {
      if (!value(v)) return false;
      o.play = v;
    } else if (a == "--scale") {
      if (!number(n, 1u, 16u)) return false;
      o.scale = static_cast<int>(n);
    } else if (a == "--fullscreen") {
      o.fullscreen = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else {
      error = "unknown argument '" + a + "'";
      return false;
    }
  }
  if (!o.replay.empty() && !o.headless) {
    error = "--replay needs --headless";
    return false;
  }
  if (!o.record.empty() && o.headless) {
    error = "--record records a session in the window, not a headless run";
    return false;
  }
  return true;
}

}  // namespace yw
