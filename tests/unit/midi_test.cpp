// The media control command strings the MIDI player speaks, against a
// recording sound device.
#include <gtest/gtest.h>

#include <optional>

#include "audio/mci.h"
#include "fake_audio_device.h"
#include "test_support.h"

namespace yw::test {
namespace {

using Calls = std::vector<std::string>;

std::string Err(MciError code) { return "#" + std::to_string(static_cast<uint32_t>(code)); }

class MciTest : public ::testing::Test {
 protected:
  // Sends a command and returns its reply ("#<code>" on an error).
  std::string Send(std::string_view command) {
    std::string reply = "stale";
    const MciError code = mci.SendString(command, &reply);
    if (code == MciError::None) return reply;
    EXPECT_EQ(reply, "") << command;
    return Err(code);
  }
  void OpenMusic() { ASSERT_EQ(Send("open /games/a/song.mid type sequencer alias MUSIC"), ""); }

  FakeAudioDevice fake;
  Mci mci{fake};
};

TEST_F(MciTest, OpenTakesTheFileNameBeforeTheFlagsAndOneSequencerAtATime) {
  EXPECT_EQ(Send("OPEN /games/my game/Town Theme.mid TYPE Sequencer ALIAS music"), "");
  EXPECT_EQ(fake.lastMidi, "/games/my game/Town Theme.mid");
  EXPECT_EQ(Send("status MUSIC mode"), "stopped");  // aliases ignore case
  EXPECT_EQ(Send("open b.mid type sequencer alias MUSIC"), Err(MciError::DuplicateAlias));
  EXPECT_EQ(Send("open b.mid type sequencer alias OTHER"), Err(MciError::DeviceInUse));
  EXPECT_EQ(Send("close Music"), "");
  EXPECT_EQ(Send("close MUSIC"), Err(MciError::DeviceNotOpen));

  EXPECT_EQ(Send("open \"/x/a b.mid\" alias OTHER"), "");  // type from the extension
  EXPECT_EQ(fake.lastMidi, "/x/a b.mid");
  EXPECT_EQ(Send("close all"), "");
  EXPECT_FALSE(mci.IsOpen());

  fake.midiOpenOk = false;
  EXPECT_EQ(Send("open gone.mid type sequencer alias MUSIC"), Err(MciError::CannotOpenFile));
  EXPECT_FALSE(mci.IsOpen());
}

TEST_F(MciTest, AFinishedPieceStandsAtItsEndUntilPlayedFromTheStart) {
  OpenMusic();
  Send("play MUSIC from 0 notify");
  fake.midiPositionMs = 0;    // some synthesizers rewind when done
  fake.midiPlaying = false;   // the piece has ended
  EXPECT_EQ(Send("status MUSIC position"), "2000");
  EXPECT_EQ(Send("status MUSIC mode"), "stopped");
  fake.calls.clear();
  EXPECT_EQ(Send("play MUSIC notify"), "");  // nothing left to play
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(Send("play MUSIC from 0 notify"), "");
  EXPECT_EQ(fake.calls, (Calls{"MidiPlay 0"}));
  EXPECT_EQ(Send("status MUSIC mode"), "playing");

  fake.calls.clear();  // stop pauses, play resumes
  EXPECT_EQ(Send("stop MUSIC"), "");
  EXPECT_EQ(Send("status MUSIC mode"), "paused");
  EXPECT_EQ(Send("play MUSIC notify"), "");
  EXPECT_EQ(fake.calls, (Calls{"MidiPause", "MidiResume"}));
}

TEST_F(MciTest, MalformedCommandsGiveErrorsNotCrashes) {
  OpenMusic();
  const std::pair<const char*, MciError> cases[] = {
      {"", MciError::UnrecognizedCommand},
      {"play OTHER", MciError::DeviceNotOpen},
      {"play MUSIC from 12abc", MciError::BadInteger},
      {"play MUSIC from 2001", MciError::OutOfRange},
      {"set MUSIC time format bars", MciError::BadTimeFormat},
      {"open a.wav alias MUSIC", MciError::UnsupportedDeviceType},
  };
  fake.calls.clear();
  for (const auto& [command, code] : cases) EXPECT_EQ(Send(command), Err(code)) << command;
  EXPECT_TRUE(fake.calls.empty());  // the device never hears of them
}

}  // namespace
}  // namespace yw::test
