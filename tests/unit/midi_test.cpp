// The media control command strings and the MIDI player on top of them,
// against a recording sound device.
#include <gtest/gtest.h>

#include <optional>

#include "audio/mci.h"
#include "audio/midi_player.h"
#include "audio/sound.h"
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
  EXPECT_EQ(Send("close all"), "");  // whatever its alias
  EXPECT_FALSE(mci.IsOpen());
  EXPECT_EQ(Send("close all"), "");  // nothing open: no error
  EXPECT_EQ(fake.Matching("Midi"), (Calls{"MidiOpen Town Theme.mid", "MidiClose",
                                          "MidiOpen a b.mid", "MidiClose"}));

  fake.midiOpenOk = false;
  EXPECT_EQ(Send("open gone.mid type sequencer alias MUSIC"), Err(MciError::CannotOpenFile));
  EXPECT_FALSE(mci.IsOpen());
}

TEST_F(MciTest, LengthAndPositionInMillisecondsOrFrames) {
  OpenMusic();
  fake.midiLengthMs = 2500;
  EXPECT_EQ(Send("status MUSIC length"), "2500");
  EXPECT_EQ(Send("status MUSIC position"), "0");  // not started yet
  EXPECT_EQ(Send("play MUSIC from 0 notify"), "");
  fake.midiPositionMs = 1010;
  EXPECT_EQ(Send("status MUSIC position"), "1010");
  EXPECT_EQ(Send("status MUSIC mode"), "playing");

  EXPECT_EQ(Send("set MUSIC time format frames"), "");
  EXPECT_EQ(Send("status MUSIC time format"), "frames");
  EXPECT_EQ(Send("status MUSIC length"), "75");    // 30 frames a second
  EXPECT_EQ(Send("status MUSIC position"), "30");  // whole frames played
  EXPECT_EQ(Send("play MUSIC from 15"), "");
  EXPECT_EQ(fake.calls.back(), "MidiPlay 500");

  EXPECT_EQ(Send("set MUSIC time format milliseconds"), "");
  fake.midiPositionMs = 2600;  // never past the end
  EXPECT_EQ(Send("status MUSIC position"), "2500");

  fake.midiLengthMs = -1;  // what the synthesizer cannot tell is an error
  fake.midiPositionMs = -1;
  EXPECT_EQ(Send("status MUSIC length"), Err(MciError::CannotReport));
  EXPECT_EQ(Send("status MUSIC position"), Err(MciError::CannotReport));
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
      {"   ", MciError::UnrecognizedCommand},
      {"rewind MUSIC", MciError::UnrecognizedCommand},
      {"close", MciError::MissingParameter},
      {"play", MciError::MissingParameter},
      {"play OTHER", MciError::DeviceNotOpen},
      {"play MUSIC from", MciError::MissingParameter},
      {"play MUSIC from -3", MciError::BadInteger},
      {"play MUSIC from 12abc", MciError::BadInteger},
      {"play MUSIC from 99999999999999999999999", MciError::BadInteger},
      {"play MUSIC from 2001", MciError::OutOfRange},
      {"play MUSIC to 5", MciError::BadKeyword},
      {"stop MUSIC now", MciError::BadKeyword},
      {"set MUSIC time", MciError::BadKeyword},
      {"set MUSIC time format", MciError::MissingParameter},
      {"set MUSIC time format bars", MciError::BadTimeFormat},
      {"set MUSIC volume 3", MciError::BadKeyword},
      {"status MUSIC", MciError::BadKeyword},
      {"status MUSIC colour", MciError::BadKeyword},
      {"open", MciError::MissingParameter},
      {"open type sequencer alias MUSIC", MciError::MissingParameter},
      {"open a.wav type waveaudio alias MUSIC", MciError::UnsupportedDeviceType},
      {"open a.wav alias MUSIC", MciError::UnsupportedDeviceType},
      // The open quote takes the rest of the line as the file name.
      {"open \"unterminated.mid alias X", MciError::UnsupportedDeviceType},
  };
  fake.calls.clear();
  for (const auto& [command, code] : cases) EXPECT_EQ(Send(command), Err(code)) << command;
  EXPECT_TRUE(fake.calls.empty());  // the device never hears of them
}

class MusicTest : public ::testing::Test {
 protected:
  MusicTest() {
    te.platform.SetAudio(&fake);
    music.Create(te.platform);
  }
  FakeAudioDevice fake;
  TestEngine te;
  CDXVBMusic music;
};

TEST_F(MusicTest, PlayMusicClosesOpensAndPlaysFromTheStart) {
  EXPECT_TRUE(music.PlayMusic("/g/song.mid"));
  EXPECT_TRUE(music.MidiPlay);
  EXPECT_TRUE(music.PlayMusic("/g/other.mid"));
  EXPECT_EQ(fake.calls, (Calls{"MidiOpen song.mid", "MidiPlay 0", "MidiClose",
                               "MidiOpen other.mid", "MidiPlay 0"}));
  EXPECT_TRUE(te.platform.MessageBoxes().empty());
}

TEST_F(MusicTest, OnlyAFailedPlayIsShownToThePlayer) {
  fake.midiOpenOk = false;
  EXPECT_FALSE(music.PlayMusic("/g/broken.mid"));
  EXPECT_FALSE(music.MidiPlay);
  EXPECT_TRUE(te.platform.MessageBoxes().empty());

  fake.midiOpenOk = true;
  fake.midiPlayOk = false;
  EXPECT_FALSE(music.PlayMusic("/g/song.mid"));
  EXPECT_FALSE(music.MidiPlay);
  ASSERT_EQ(te.platform.MessageBoxes().size(), 1u);
  EXPECT_EQ(te.platform.MessageBoxes()[0].title, "");
  EXPECT_EQ(te.platform.MessageBoxes()[0].text, MciErrorText(MciError::CannotPlay));
}

TEST_F(MusicTest, LoopIfYouCanRestartsOnlyAFinishedPiece) {
  ASSERT_TRUE(music.PlayMusic("/g/song.mid"));
  fake.midiPositionMs = 1000;
  fake.calls.clear();
  EXPECT_TRUE(music.LoopIfYouCan());
  EXPECT_TRUE(fake.calls.empty());  // half way: left alone

  fake.midiPositionMs = 1990;  // within the last frame counts as the end
  EXPECT_TRUE(music.LoopIfYouCan());
  EXPECT_EQ(fake.calls, (Calls{"MidiClose", "MidiOpen song.mid", "MidiPlay 0"}));

  fake.midiLengthMs = -1;  // a length the synthesizer cannot tell: no restart
  fake.midiPlaying = false;
  fake.calls.clear();
  EXPECT_FALSE(music.LoopIfYouCan());
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(MusicTest, PauseResumeRestartStopAndDestroy) {
  EXPECT_FALSE(music.PauseMusic());  // nothing open
  ASSERT_TRUE(music.PlayMusic("/g/song.mid"));
  EXPECT_TRUE(music.PauseMusic());
  EXPECT_FALSE(music.MidiPlay);
  EXPECT_TRUE(music.ResumeMusic());
  EXPECT_FALSE(music.MidiPlay);  // resuming leaves the flag alone
  EXPECT_TRUE(music.RestartMusic());
  EXPECT_TRUE(music.MidiPlay);
  EXPECT_EQ(fake.calls, (Calls{"MidiOpen song.mid", "MidiPlay 0", "MidiPause", "MidiResume",
                               "MidiPlay 0"}));
  music.StopMusic();
  EXPECT_FALSE(music.MidiPlay);
  EXPECT_EQ(fake.calls.back(), "MidiClose");
  EXPECT_FALSE(music.RestartMusic());

  std::optional<CDXVBMusic> other(std::in_place);
  other->Create(te.platform);
  ASSERT_TRUE(other->PlayMusic("/g/song.mid"));
  other.reset();  // the player closes its piece when it goes
  EXPECT_EQ(fake.calls.back(), "MidiClose");
}

TEST(Music, TheHousekeepingRestartsAFinishedPieceWithinOneSweepButNeverAFailedOne) {
  FakeAudioDevice fake;
  TestEngine te;
  Engine& e = te.engine;
  te.platform.SetAudio(&fake);
  WriteFile(te.dir.path() / "Theme.MID", "MThd");
  WriteFile(te.dir.path() / "bad.mid", "junk");
  e.win.SoundOn = true;
  SoundInit(e);
  PlayAmbient(e, "theme");
  e.win.TimeSoundTime = 20000;
  te.platform.SetClock(100);
  SoundHousekeeping(e);  // first sweep: still playing
  fake.midiPlaying = false;  // the piece ends
  te.platform.SetClock(100 + 20000);
  SoundHousekeeping(e);  // not yet due
  EXPECT_EQ(fake.Count("MidiOpen"), 1);
  te.platform.SetClock(100 + 20001);
  SoundHousekeeping(e);
  EXPECT_EQ(fake.Count("MidiOpen"), 2);
  EXPECT_EQ(fake.lastMidi.filename(), "Theme.MID");
  EXPECT_TRUE(fake.midiPlaying);

  fake.midiOpenOk = false;
  PlayAmbient(e, "bad.mid");
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  fake.calls.clear();
  te.platform.SetClock(1000000);
  SoundHousekeeping(e);
  EXPECT_TRUE(fake.calls.empty());
}

}  // namespace
}  // namespace yw::test
