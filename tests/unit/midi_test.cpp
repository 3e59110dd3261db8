// The media control command strings the MIDI player speaks, against a
// fake sound device.
#include <gtest/gtest.h>

#include <optional>

#include "audio/mci.h"
#include "fake_audio_device.h"
#include "test_support.h"

namespace yw::test {
namespace {

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
  EXPECT_EQ(Send("play MUSIC notify"), "");  // nothing left to play
  EXPECT_FALSE(fake.midiPlaying);
  EXPECT_EQ(Send("play MUSIC from 0 notify"), "");
  EXPECT_TRUE(fake.midiPlaying);
  EXPECT_EQ(fake.midiPositionMs, 0);
  EXPECT_EQ(Send("status MUSIC mode"), "playing");

  fake.midiPositionMs = 700;  // stop pauses, play resumes where it stood
  const int starts = fake.midiStarts;
  EXPECT_EQ(Send("stop MUSIC"), "");
  EXPECT_EQ(Send("status MUSIC mode"), "paused");
  EXPECT_TRUE(fake.midiPaused);
  EXPECT_EQ(Send("play MUSIC notify"), "");
  EXPECT_FALSE(fake.midiPaused);
  EXPECT_EQ(fake.midiStarts, starts);
  EXPECT_EQ(fake.midiPositionMs, 700);
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
  for (const auto& [command, code] : cases) EXPECT_EQ(Send(command), Err(code)) << command;
  // The device never hears of them.
  EXPECT_EQ(fake.midiStarts, 0);
  EXPECT_EQ(fake.lastMidi, "/games/a/song.mid");
}

}  // namespace
}  // namespace yw::test
