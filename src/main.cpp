// Yarrowind: plays tile-based role-playing games from their data folders.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/engine.h"
#include "platform/encoding.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/sdl_image_codec.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/author_tools.h"
#include "shell/command_line.h"
#include "shell/main_loop.h"
#include "shell/replay.h"
#include "shell/session_recorder.h"
#include "shell/startup.h"
#include "shell/user_settings.h"
#include "sim/save_folder.h"
#include "testplay/test_play.h"

namespace fs = std::filesystem;

namespace {

#ifdef NDEBUG
constexpr bool kDebugBuild = false;
#else
constexpr bool kDebugBuild = true;
#endif

// The running program's own file, its links followed.
fs::path ProgramFile(const char* argv0) {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(argv0, ec);
  return exe;
}

// The program folder: --root, else data/ beside the executable (a build
// folder) or ../share/yarrowind from it (an installed program).
fs::path ProgramFolder(const yw::Options& o, const fs::path& exe) {
  std::error_code ec;
  if (!o.root.empty()) return fs::absolute(o.root, ec);
  const fs::path dir = exe.parent_path();
  if (fs::is_directory(dir / "data", ec)) return dir / "data";
  const fs::path installed = yw::InstalledProgramFolder(exe);
  return installed.empty() ? dir : installed;
}

// The game folder of --play, made absolute; empty without --play.
fs::path PlayFolder(const yw::Options& o) {
  if (o.play.empty()) return {};
  std::error_code ec;
  return fs::weakly_canonical(fs::absolute(o.play, ec), ec);
}

// After the window's load event: the game folder to try (built first from
// sources) becomes current, and the start state runs its new game at once.
// False when the sources do not build.
bool StartIn(yw::Engine& engine, const fs::path& playDir) {
  if (playDir.empty()) return true;
  std::string error;
  const auto game =
      yw::SetUpTestPlay(engine, playDir, yw::UserFolders::FromEnvironment().cache, error);
  if (!game) {
    std::cerr << "yarrowind: --play: " << yw::PrintableText(playDir.string()) << ": "
              << yw::PrintableText(error) << "\n";
    return false;
  }
  engine.CurrentDir = *game;
  engine.PlayAtStart = true;
  return true;
}

uint32_t TimeOfDaySeed() {
  return static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch() /
                               std::chrono::microseconds(1));
}

// Opens the replay of a headless run; a FIFO or a folder is refused.
std::unique_ptr<std::ifstream> OpenReplay(const fs::path& file) {
  std::error_code ec;
  auto in = std::make_unique<std::ifstream>();
  if (fs::is_regular_file(file, ec)) in->open(file, std::ios::binary);
  if (!*in || !in->is_open()) {
    std::cerr << "yarrowind: cannot read replay " << yw::PrintableText(file.string()) << "\n";
    return nullptr;
  }
  return in;
}

// Reads the replay of a headless run through once, to refuse a bad one
// before the run; its set-up lines fill in what the command line leaves
// open. The events are read again as the run reaches them.
bool CheckReplay(yw::Options& o, std::vector<yw::DisplayMode>& displayModes) {
  if (o.replay.empty()) return true;
  const auto in = OpenReplay(o.replay);
  if (!in) return false;
  yw::ReplaySettings settings;
  yw::ReplayReader reader(*in, fs::current_path(), &settings);
  for (yw::ReplayEvent ev; reader.Next(ev);) {
  }
  if (!reader.Error().empty()) {
    std::cerr << "yarrowind: " << yw::PrintableText(o.replay.string()) << ": "
              << yw::PrintableText(reader.Error()) << "\n";
    return false;
  }
  if (!o.seed) o.seed = settings.seed;
  if (o.root.empty()) o.root = settings.root;
  if (o.play.empty()) o.play = settings.play;
  displayModes = settings.displayModes;
  if (!o.maxMs) o.maxMs = std::min(reader.Last() + 600000, yw::kMaxClockMs);
  return true;
}

int RunHeadless(const yw::Options& o, const fs::path& programDir, const fs::path& playDir,
                const fs::path& installedDir, std::vector<yw::DisplayMode> displayModes) {
  yw::SdlImageCodec codec;
  yw::HeadlessPlatform platform(&codec, o.tickMs);
  if (!displayModes.empty()) platform.SetDisplayModes(displayModes, displayModes.front());
  yw::Engine engine(platform, programDir);
  engine.UserSaveRoot = yw::UserSaveRoot(yw::UserFolders::FromEnvironment());
  engine.InstalledDir = installedDir;
  // The events are read as the run reaches them, so that a long replay
  // takes no more memory than a short one.
  std::unique_ptr<std::ifstream> in;
  if (!o.replay.empty() && !(in = OpenReplay(o.replay))) return 2;
  std::optional<yw::ReplayReader> reader;
  if (in) reader.emplace(*in, fs::current_path());
  yw::ReplayDriver driver(
      platform, [&reader](yw::ReplayEvent& ev) { return reader && reader->Next(ev); },
      o.maxMs.value_or(600000));
  engine.Observer = &driver;
  yw::FormLoad(engine, o.seed.value_or(TimeOfDaySeed()));
  if (!StartIn(engine, playDir)) return 1;
  yw::EventLoop(engine);
  for (const auto& p : driver.Problems())
    std::cerr << "yarrowind: " << yw::PrintableText(p) << "\n";
  if (reader && !reader->Error().empty())
    std::cerr << "yarrowind: " << yw::PrintableText(o.replay.string())
              << " changed during the run: " << yw::PrintableText(reader->Error()) << "\n";
  return engine.ExitCode;
}

int RunWindow(const yw::Options& o, const fs::path& programDir, const fs::path& playDir,
              const fs::path& installedDir) {
  const yw::UserFolders folders = yw::UserFolders::FromEnvironment();
  std::vector<std::string> problems;
  yw::UserSettings settings =
      yw::LoadUserSettings(yw::UserSettingsFile(folders), problems, yw::SdlKnownKeyName);
  for (const auto& p : problems) std::cerr << "yarrowind: " << yw::PrintableText(p) << "\n";
  if (o.scale > 0) settings.scale = o.scale;
  if (o.fullscreen) settings.fullscreen = true;
  yw::SdlPlatform platform(settings, yw::ScreenshotFolder(folders),
                           yw::MakeSdlAudioDevice(settings.soundFont));
  if (!platform.Ok()) {
    std::cerr << "yarrowind: cannot open a window\n";
    return 1;
  }
  const uint32_t seed = o.seed.value_or(TimeOfDaySeed());
  // --record: the game talks to the window through the recorder.
  std::ofstream record;
  std::optional<yw::RecordingPlatform> recorder;
  if (!o.record.empty()) {
    record.open(o.record, std::ios::binary | std::ios::trunc);
    if (!record) {
      std::cerr << "yarrowind: cannot write " << yw::PrintableText(o.record.string()) << "\n";
      return 1;
    }
    recorder.emplace(platform, record, yw::RecordedStart{seed, programDir, playDir});
  }
  yw::Engine engine(recorder ? static_cast<yw::Platform&>(*recorder) : platform, programDir);
  engine.UserSaveRoot = yw::UserSaveRoot(folders);
  engine.InstalledDir = installedDir;
  yw::FormLoad(engine, seed);
  if (!StartIn(engine, playDir)) return 1;
  // A debug build and the player's settings allow the overlay in every
  // game; a headless run does only with --play, so that a replay plays the
  // same in every build.
  if (settings.debugOverlay || kDebugBuild) engine.author.overlayAllowed = true;
  yw::EventLoop(engine);
  return engine.ExitCode;
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a write fail (and a save report it) rather
  // than end the program in the middle of it.
  std::signal(SIGXFSZ, SIG_IGN);
  yw::Options options;
  std::string error;
  if (!yw::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "yarrowind: " << yw::PrintableText(error) << "\n" << yw::UsageText();
    return 2;
  }
  if (options.help) {
    std::cout << yw::UsageText();
    return 0;
  }
  std::vector<yw::DisplayMode> displayModes;
  if (options.headless && !CheckReplay(options, displayModes)) return 2;
  const fs::path exe = ProgramFile(argv[0]);
  const fs::path programDir = ProgramFolder(options, exe);
  // Found whether or not --root names it, so that a replay recorded with
  // the installed program folder saves where the installed program does.
  const fs::path installedDir = yw::InstalledProgramFolder(exe);
  const fs::path playDir = PlayFolder(options);
  std::error_code ec;
  if (!options.play.empty() && !fs::is_directory(playDir, ec)) {
    std::cerr << "yarrowind: --play: " << yw::PrintableText(options.play.string())
              << " is not a folder\n";
    return 2;
  }
  return options.headless
             ? RunHeadless(options, programDir, playDir, installedDir, std::move(displayModes))
             : RunWindow(options, programDir, playDir, installedDir);
}
