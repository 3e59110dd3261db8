// A session played in a real window and recorded with --record plays the
// same headless: the window's last state and the replay's dump agree in
// every value, through a fight under fast-forward, a game controller
// plugged in and out, walking, a key held as the window loses focus and
// typed text.
#include <SDL.h>

#include <array>
#include <fstream>
#include <functional>

#include "e2e_support.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/session_recorder.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "shell/main_loop.h"
#include "world/save_game.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;

// Pushes SDL events by the game's clock, as the keyboard would, and notes
// the game's mode and the player's place where asked; after the last step
// it writes the state and closes the window. The window's clock is its own:
// each turn moves it on by the next of some uneven steps, as a busy machine
// would, but the same in every run, whatever the machine's load.
struct ScriptedPlayer : YieldObserver {
  static constexpr uint32_t kSteps[] = {1, 4, 1, 2, 9, 1, 3, 17, 1, 1};
  uint64_t ticks = 0;
  size_t turn = 0;
  std::vector<std::pair<uint32_t, std::function<void(Engine&)>>> steps;
  std::vector<std::array<int, 3>> seen;  // the game's mode, the player's x and y
  fs::path dump;
  size_t next = 0;
  uint32_t dumpedAt = 0;
  void At(uint32_t at, std::function<void(Engine&)> f) { steps.push_back({at, std::move(f)}); }
  void Add(uint32_t at, uint32_t type, SDL_Keycode key, const char* text = "") {
    SDL_Event ev{};
    ev.type = type;
    if (type == SDL_TEXTINPUT)
      std::strcpy(ev.text.text, text);
    else
      ev.key.keysym.sym = key;
    At(at, [ev](Engine&) mutable { SDL_PushEvent(&ev); });
  }
  void Look(uint32_t at) {
    At(at, [this](Engine& e) {
      seen.push_back(
          {static_cast<int>(e.win.GameMode), int(e.world.PlayerPosX), int(e.world.PlayerPosY)});
    });
  }
  void OnYield(Engine& e) override {
    ticks += kSteps[turn++ % std::size(kSteps)];
    const auto now = static_cast<uint32_t>(e.Now());
    for (; next < steps.size() && steps[next].first <= now; ++next) steps[next].second(e);
    if (next < steps.size() || dumpedAt) return;
    dumpedAt = now;
    std::ofstream(dump) << DumpState(e).dump(2, ' ', false,
                                             nlohmann::json::error_handler_t::replace)
                        << "\n";
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
};

TEST(RecordReplay, AWindowedSessionPlaysTheSameHeadless) {
  const fs::path out = OutputDir("record_replay");
  const fs::path root = MakeProgramFolder(out);
  BuildTestGame("fight_wolf", root);
  fs::copy(root, out / "pristine", fs::copy_options::recursive);

  ScriptedPlayer player;
  player.dump = out / "window.json";
  uint32_t t = 100;
  auto key = [&](SDL_Keycode k, uint32_t gap) {
    player.Add(t, SDL_KEYDOWN, k);
    player.Add(t + 60, SDL_KEYUP, k);
    t += gap;
  };
  // A game controller (SDL's virtual one) plugged in as the game starts,
  // heard without the focus the dummy video driver never gives; X (Space)
  // passes the title.
  SDL_Joystick* pad = nullptr;
  int padIndex = -1;
  player.At(50, [&](Engine&) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX, desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    pad = SDL_JoystickOpen(padIndex = SDL_JoystickAttachVirtualEx(&desc));
  });
  auto set = [&](uint32_t at, int control, int16_t value, bool axis = false) {
    player.At(at, [&pad, control, value, axis](Engine&) {
      axis ? SDL_JoystickSetVirtualAxis(pad, control, value)
           : SDL_JoystickSetVirtualButton(pad, control, static_cast<uint8_t>(value));
    });
  };
  auto button = [&](int b, uint32_t gap) { set(t, b, 1), set(t + 60, b, 0), t += gap; };
  button(SDL_CONTROLLER_BUTTON_X, 300);
  for (int i = 0; i < 4; ++i) key(SDLK_RETURN, 300);
  t = 2000;
  player.Add(t, SDL_KEYDOWN, SDLK_TAB);  // the fight four times faster
  // "A wolf!", Fight, the wolf, Fight, the wolf falls, the award.
  for (uint32_t gap : {2000, 800, 1600, 800, 3200, 1000}) key(SDLK_RETURN, gap);
  player.Add(t, SDL_KEYUP, SDLK_TAB);
  // At "Home again" the controller alone: X is no Enter, A closes the
  // message; the d-pad, a held stick and a stick flicked and back before the
  // game looks walk a step each; B opens the menu and closes it.
  auto look = [&] { player.Look(t - 10); };
  button(SDL_CONTROLLER_BUTTON_X, 400), look();
  button(SDL_CONTROLLER_BUTTON_A, 400), look();
  button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 500);
  set(t, SDL_CONTROLLER_AXIS_LEFTY, 32767, true), set(t + 60, SDL_CONTROLLER_AXIS_LEFTY, 0, true);
  t += 500;
  set(t, SDL_CONTROLLER_AXIS_LEFTX, -32767, true);
  player.At(t, [](Engine&) { SDL_JoystickUpdate(); });
  set(t, SDL_CONTROLLER_AXIS_LEFTX, 0, true);
  t += 500, look();
  button(SDL_CONTROLLER_BUTTON_B, 500), look();
  button(SDL_CONTROLLER_BUTTON_B, 500), look();
  // Unplugged with the d-pad held: one step, then the player stands.
  set(t, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
  player.At(t + 100, [&](Engine&) { SDL_JoystickClose(pad), SDL_JoystickDetachVirtual(padIndex); });
  t += 1200, look();
  // Right held as the window loses focus (its key-up goes to another
  // window): one step, then the player stands.
  player.Add(t, SDL_KEYDOWN, SDLK_RIGHT);
  player.At(t + 100, [](Engine&) {
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&ev);
  });
  t += 1200, look();
  key(SDLK_ESCAPE, 500);
  for (int i = 0; i < 3; ++i) key(SDLK_DOWN, 250);
  key(SDLK_RETURN, 600);                      // Save
  key(SDLK_RETURN, 700);                      // slot 1
  player.Add(t, SDL_TEXTINPUT, 0, "Wolf x");  // at once, as an input method sends text
  t += 400;
  for (uint32_t gap : {200, 400}) key(SDLK_BACKSPACE, gap);
  // The player has bound x to Enter too; in the text it types an x.
  player.Add(t, SDL_KEYDOWN, SDLK_x), player.Add(t, SDL_TEXTINPUT, 0, "x");
  player.Add(t + 60, SDL_KEYUP, SDLK_x), t += 400;
  key(SDLK_RETURN, 1000);

  const fs::path record = out / "session.txt";
  {
    // An invisible window unless the environment asks for a real one.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    UserSettings settings = DefaultUserSettings();
    settings.gameKeys[static_cast<int>(GameKey::Enter)].push_back({.name = "x"});
    SdlPlatform window(settings, out / "shots");
    ASSERT_TRUE(window.Ok());
    window.UseTicks([&player] { return player.ticks; });
    std::ofstream file(record);
    RecordingPlatform recording(window, file, {4321, root, {}});
    Engine engine(recording, root);
    engine.Observer = &player;
    FormLoad(engine, 4321);
    EventLoop(engine);
  }
  const nlohmann::json played = LoadDump(player.dump);
  EXPECT_EQ(played["Party"][0]["EP"], 25) << "the session did not go as scripted";
  EXPECT_EQ(player.seen,
            (std::vector<std::array<int, 3>>{
                {5, 3, 4}, {6, 3, 4}, {6, 3, 5}, {7, 3, 5}, {6, 3, 5}, {6, 4, 5}, {6, 5, 5}}));
  const std::string session = test::ReadFile(record);
  EXPECT_NE(session.find(" type \\s\n"), std::string::npos);  // one character per turn
  EXPECT_NE(session.find(" clock "), std::string::npos);      // the turns' uneven steps
  std::string description;
  ReadSaveDescription(test::ReadFile(root / "games" / "fight_wolf" / "slot1.sav"), description);
  EXPECT_EQ(description, "Wolfx");

  // The replay starts from the game as it was, in the recorded folder, and
  // writes its state at the turn the window's was written.
  fs::remove_all(root);
  fs::rename(out / "pristine", root);
  std::istringstream lines(session);
  std::string text, line;
  while (std::getline(lines, line)) {
    if (std::isdigit(static_cast<unsigned char>(line[0])) && std::stoul(line) > player.dumpedAt &&
        player.dumpedAt != 0) {
      text += std::to_string(std::exchange(player.dumpedAt, 0)) + " dump replayed.json\n";
    }
    text += line + "\n";
  }
  test::WriteFile(record, text);
  const std::string command =
      "cd '" + out.string() + "' && '" YW_BINARY "' --headless --replay session.txt 2> stderr.txt";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0) << test::ReadFile(out / "stderr.txt");
  EXPECT_EQ(LoadDump(out / "replayed.json"), played);
}

}  // namespace
}  // namespace yw::e2e
