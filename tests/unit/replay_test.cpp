// Replay files and the command line of headless runs.
#include "shell/command_line.h"
#include "shell/replay.h"
#include "shell/state_dump.h"
#include "shell/startup.h"
#include "sim/main_loop.h"
#include "test_support.h"

namespace yw {
namespace {

std::vector<ReplayEvent> Parse(std::string_view text, std::string* error = nullptr) {
  std::vector<ReplayEvent> events;
  std::string err;
  const bool ok = ParseReplay(text, "/base", events, err);
  if (error) *error = err;
  if (!ok) events.clear();
  return events;
}

TEST(ReplayParse, ReadsEveryKindOfEvent) {
  const auto events = Parse(
      "# a comment\n"
      "100 key Enter\n"
      "  \n"
      "200 key Left 500\r\n"
      "300 press Space\n"
      "400 release Space\n"
      "500 type Hello W\\bworld\n"
      "600 shot shots/a.png\n"
      "700 dump /tmp/x.json\n"
      "800 quit\n");
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].kind, ReplayEvent::Kind::Key);
  EXPECT_EQ(events[0].key, GameKey::Enter);
  EXPECT_EQ(events[0].holdMs, 60u);
  EXPECT_EQ(events[1].holdMs, 500u);
  EXPECT_EQ(events[1].line, 4);
  EXPECT_EQ(events[2].kind, ReplayEvent::Kind::Press);
  EXPECT_EQ(events[3].kind, ReplayEvent::Kind::Release);
  EXPECT_EQ(events[4].text, "Hello W\bworld");
  EXPECT_EQ(events[5].file, std::filesystem::path("/base/shots/a.png"));
  EXPECT_EQ(events[6].file, std::filesystem::path("/tmp/x.json"));
  EXPECT_EQ(events[7].kind, ReplayEvent::Kind::Quit);
  EXPECT_EQ(events[7].ms, 800u);
}

TEST(ReplayParse, TypedTextBecomesWindows1252) {
  const auto events = Parse("1 type caf\xC3\xA9 \xE2\x82\xAC\n");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].text, "caf\xE9 \x80");
}

TEST(ReplayParse, BadLinesAreRejectedWithTheirNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"100 key Enter\nabc key Esc\n", "line 2:"},
      {"100 key Tab\n", "line 1: unknown key 'Tab'"},
      {"100 jump\n", "line 1: unknown event 'jump'"},
      {"200 quit\n100 quit\n", "line 2: events must be in order"},
      {"100 shot\n", "line 1: shot needs a file name"},
      {"100 press Up 40\n", "line 1: unexpected '40'"},
      {"100 key Up x\n", "line 1: unexpected 'x'"},
      {"99999999999 quit\n", "line 1: expected a time"},
      {"-5 quit\n", "line 1: expected a time"},
  };
  for (const auto& [text, want] : cases) {
    std::string error;
    std::vector<ReplayEvent> events;
    EXPECT_FALSE(ParseReplay(text, "/", events, error)) << text;
    EXPECT_EQ(error.rfind(want, 0), 0u) << text << " gave " << error;
  }
}

TEST(CommandLine, ParsesOptionsAndRejectsBadOnes) {
  Options o;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"--headless", "--root", "d", "--seed", "5", "--tick-ms", "4",
                                "--max-ms", "1000", "--replay", "r.txt"},
                               o, error));
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.root, "d");
  EXPECT_EQ(o.seed, 5u);
  EXPECT_EQ(o.tickMs, 4u);
  EXPECT_EQ(o.maxMs, 1000u);
  EXPECT_EQ(o.replay, "r.txt");
  for (std::vector<std::string> bad :
       {std::vector<std::string>{"--bogus"}, {"--seed"}, {"--tick-ms", "0"}, {"--scale", "x"},
        {"--replay", "r.txt"}, {"--max-ms", "-3"}}) {
    Options o2;
    EXPECT_FALSE(ParseCommandLine(bad, o2, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

// A headless run driven by a replay, the way the program runs it.
struct ReplayRun {
  explicit ReplayRun(std::string_view replay, uint32_t maxMs = 600000) {
    std::string error;
    std::vector<ReplayEvent> events;
    EXPECT_TRUE(ParseReplay(replay, t.dir.path(), events, error)) << error;
    driver = std::make_unique<ReplayDriver>(t.platform, std::move(events), maxMs);
    t.engine.Observer = driver.get();
    FormLoad(t.engine, 1);
    EventLoop(t.engine);
  }
  test::TestEngine t;
  std::unique_ptr<ReplayDriver> driver;
};

TEST(ReplayRun, KeysReachTheGameAndQuitEndsWithCodeZero) {
  ReplayRun run("50 press Right\n120 dump state.json\n130 release Right\n140 quit\n");
  EXPECT_EQ(run.t.engine.ExitCode, 0);
  EXPECT_TRUE(run.driver->Problems().empty());
  const auto dump = nlohmann::json::parse(test::ReadFile(run.t.dir.path() / "state.json"));
  EXPECT_EQ(dump["time"], 120);
  EXPECT_EQ(dump["GameMode"], 2);
  EXPECT_FALSE(run.t.platform.KeyDown(GameKey::Right));
}

TEST(ReplayRun, ARunThatNeverQuitsEndsWithCodeThree) {
  ReplayRun run("10 key Enter\n", 500);
  EXPECT_EQ(run.t.engine.ExitCode, 3);
  EXPECT_GE(run.t.platform.Now(), 500u);
  EXPECT_LT(run.t.platform.Now(), 600u);
}

TEST(ReplayRun, AKeyIsReleasedAfterItsHoldTime) {
  std::vector<bool> seen;
  test::TestEngine t;
  std::string error;
  std::vector<ReplayEvent> events;
  ASSERT_TRUE(ParseReplay("10 key Up 30\n", t.dir.path(), events, error));
  ReplayDriver driver(t.platform, std::move(events), 1000);
  t.engine.Observer = &driver;
  for (int i = 0; i < 50; ++i) {
    t.engine.DoEvents();
    seen.push_back(t.platform.KeyDown(GameKey::Up));
  }
  // Yields advance the clock to 2, 3, ...; pressed at 10, released at 40.
  EXPECT_FALSE(seen[7]);
  EXPECT_TRUE(seen[8]);
  EXPECT_TRUE(seen[37]);
  EXPECT_FALSE(seen[38]);
}

}  // namespace
}  // namespace yw
