// Sound effects, the ambient music and the finished-sound sweep, against a
// recording sound device.
#include <gtest/gtest.h>

#include <limits>

#include "audio/sound.h"
#include "fake_audio_device.h"
#include "shell/config.h"
#include "test_support.h"

namespace yw::test {
namespace {

using Calls = std::vector<std::string>;

class SoundTest : public ::testing::Test {
 protected:
  SoundTest() {
    te.platform.SetAudio(&fake);
    e.win.SoundOn = true;
    SoundInit(e);
    fake.calls.clear();
  }
  void Touch(std::string_view name) { WriteFile(te.dir.path() / name, "RIFF"); }
  void PlayAll(std::initializer_list<const char*> names) {
    for (const char* n : names) {
      Touch(n);
      PlaySound(e, n);
    }
  }
  // Moves the clock past the next sweep and runs the housekeeping.
  void SweepNow() {
    te.platform.SetClock(static_cast<uint32_t>(e.win.NextSoundSweep) + 1);
    SoundHousekeeping(e);
  }

  FakeAudioDevice fake;  // outlives the engine, whose player closes on exit
  TestEngine te;
  Engine& e = te.engine;
};

TEST_F(SoundTest, ADeviceThatFailsToStartTurnsSoundOff) {
  EXPECT_TRUE(e.win.SoundOn);
  fake.initOk = false;
  SoundInit(e);
  EXPECT_FALSE(e.win.SoundOn);
  EXPECT_EQ(fake.calls, (Calls{"Init"}));

  fake.initOk = true;
  fake.startOk = false;
  e.win.SoundOn = true;
  SoundInit(e);
  EXPECT_FALSE(e.win.SoundOn);
}

TEST_F(SoundTest, WithSoundNoInTheConfigurationOnlyFreeReachesTheDevice) {
  Touch("hit.wav");
  Touch("Title.wav");
  WriteFile(te.dir.path() / "yarrowind.ini", "[main]\r\nSound=no\r\n");
  LoadIni(e);
  PlaySound(e, "hit.wav");
  PlayAmbient(e, "Title");
  te.platform.SetClock(1000000);
  SoundHousekeeping(e);
  Mute(e);
  EXPECT_EQ(fake.calls, (Calls{"Free", "Free"}));
  EXPECT_EQ(e.world.AmbientName, "Title");  // still kept for saved games
}

TEST_F(SoundTest, AnEffectIsLoadedOnceAndReusedByNameIgnoringCaseAndBlanks) {
  WriteFile(te.dir.path() / "game" / "Sfx" / "Hit.WAV", "RIFF");
  e.CurrentDir = te.dir.path() / "game";
  PlaySound(e, "sfx\\hit.wav");
  PlaySound(e, "sfx\\hit.wav");
  PlaySound(e, "  SFX\\HIT.wav ");
  EXPECT_EQ(fake.Matching("SampleLoad"), (Calls{"SampleLoad Hit.WAV 3 replace"}));
  EXPECT_EQ(fake.Matching("SamplePlay"),
            (Calls{"SamplePlay 100", "SamplePlay 100", "SamplePlay 100"}));
  ASSERT_EQ(e.sound.SoundChannelCount, 1);
  EXPECT_EQ(e.sound.SoundChannels[1].file, "sfx\\hit.wav");
  EXPECT_EQ(e.sound.SoundChannels[1].channel, 103u);  // the latest playback
}

TEST_F(SoundTest, EffectsThatCannotLoadOrPlayAreNotRecorded) {
  std::filesystem::create_directories(te.dir.path() / "sounds");
  for (const char* name : {"missing.wav", "", "   ", "sounds"}) PlaySound(e, name);
  EXPECT_TRUE(fake.calls.empty());

  Touch("hit.wav");
  fake.loadOk = false;
  PlaySound(e, "hit.wav");
  fake.loadOk = true;
  fake.playOk = false;
  PlaySound(e, "hit.wav");
  PlaySound(e, "hit.wav");  // not cached: loaded again
  EXPECT_EQ(fake.Count("SampleLoad"), 3);
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
}

TEST_F(SoundTest, SweepFreesOnlyFinishedEffectsAndExaminesTheMovedEntryAgain) {
  PlayAll({"a.wav", "b.wav", "c.wav", "d.wav"});
  // a and b have finished, c still sounds, d has finished.
  fake.activeChannels = {e.sound.SoundChannels[3].channel};
  fake.calls.clear();
  e.win.TimeSoundTime = 5000;
  SweepNow();
  const int32_t t = e.Now();
  EXPECT_EQ(fake.calls, (Calls{"ChannelIsActive 101", "SampleFree 100",  // a at 1
                               "ChannelIsActive 103", "SampleFree 102",  // b moved to 1
                               "ChannelIsActive 105",                    // c stays at 1
                               "ChannelIsActive 107", "SampleFree 106"}));
  ASSERT_EQ(e.sound.SoundChannelCount, 1);
  EXPECT_EQ(e.sound.SoundChannels.Size(), 1);
  EXPECT_EQ(e.sound.SoundChannels[1].file, "c.wav");
  EXPECT_EQ(e.win.NextSoundSweep, t + 5000);

  // Not due yet: nothing is examined.
  fake.calls.clear();
  te.platform.SetClock(static_cast<uint32_t>(t + 5000));
  SoundHousekeeping(e);
  EXPECT_TRUE(fake.calls.empty());

  // Played again before the sweep: the entry stays.
  fake.activeChannels.clear();
  PlaySound(e, "c.wav");
  SweepNow();
  EXPECT_EQ(e.sound.SoundChannelCount, 1);

  // The last one finishes: the table is back to one empty entry.
  fake.activeChannels.clear();
  SweepNow();
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
  EXPECT_EQ(e.sound.SoundChannels.Size(), 1);
  EXPECT_TRUE(e.sound.SoundChannels[1].file.empty());

  // The next deadline saturates instead of overflowing.
  PlayAll({"a.wav"});
  e.win.TimeSoundTime = std::numeric_limits<int32_t>::max();
  SweepNow();
  EXPECT_EQ(e.win.NextSoundSweep, std::numeric_limits<int32_t>::max());
}

// A platform that counts how often the clock is read.
class ClockCountingPlatform : public HeadlessPlatform {
 public:
  uint32_t Now() override {
    ++reads;
    return HeadlessPlatform::Now();
  }
  int reads = 0;
};

TEST(SoundHousekeeping, WithNothingPlayingReadsNoClock) {
  FakeAudioDevice dev;
  TempDir dir;
  ClockCountingPlatform platform;
  platform.SetAudio(&dev);
  Engine e(platform, dir.path());
  e.win.SoundOn = true;
  SoundInit(e);
  dev.calls.clear();
  for (int i = 0; i < 3; ++i) SoundHousekeeping(e);
  EXPECT_EQ(platform.reads, 0);
  EXPECT_TRUE(dev.calls.empty());

  WriteFile(dir.path() / "hit.wav", "RIFF");
  PlaySound(e, "hit.wav");
  SoundHousekeeping(e);
  EXPECT_EQ(platform.reads, 1);
}

TEST_F(SoundTest, AmbientNameWithoutDotTriesWavThenMp3ThenMid) {
  Touch("Title.mid");
  Touch("title.MP3");
  Touch("TITLE.wav");
  PlayAmbient(e, "Title");
  EXPECT_EQ(fake.Matching("StreamCreateFile"), (Calls{"StreamCreateFile TITLE.wav"}));

  std::filesystem::remove(te.dir.path() / "TITLE.wav");
  PlayAmbient(e, "Title");
  EXPECT_EQ(fake.Matching("StreamCreateFile").back(), "StreamCreateFile title.MP3");

  std::filesystem::remove(te.dir.path() / "title.MP3");
  fake.calls.clear();
  PlayAmbient(e, "Title");
  EXPECT_EQ(fake.Count("StreamCreateFile"), 0);
  EXPECT_EQ(fake.Matching("MidiOpen"), (Calls{"MidiOpen Title.mid"}));
  EXPECT_EQ(e.world.AmbientName, "Title");

  // One character, or a dot anywhere: the name is taken as it is.
  Touch("T.wav");
  Touch("forest.v1.wav");
  fake.calls.clear();
  PlayAmbient(e, "T");
  PlayAmbient(e, "forest.v1");
  EXPECT_EQ(fake.Count("StreamCreateFile"), 0);
}

TEST_F(SoundTest, AmbientSwitchesBetweenStreamAndMidiAndStops) {
  Touch("forest.wav");
  Touch("battle.mid");
  Touch("town.mp3");
  PlayAmbient(e, "forest.wav");
  EXPECT_EQ(fake.calls, (Calls{"StreamFree 0", "StreamCreateFile forest.wav", "StreamPlay 100 loop"}));

  fake.calls.clear();
  PlayAmbient(e, " Battle.MID ");  // the stream stops before the MIDI starts
  EXPECT_EQ(fake.calls, (Calls{"ChannelStop 100", "MidiOpen battle.mid", "MidiPlay 0"}));
  EXPECT_TRUE(e.sound.Music.MidiPlay);

  fake.calls.clear();
  PlayAmbient(e, "town.mp3");
  EXPECT_EQ(fake.calls, (Calls{"MidiClose", "StreamFree 100", "StreamCreateFile town.mp3",
                               "StreamPlay 101 loop"}));
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  EXPECT_EQ(e.sound.AmbientStream, 101u);

  PlayAmbient(e, "battle.mid");
  fake.calls.clear();
  PlayAmbient(e, "");  // stops both
  EXPECT_EQ(fake.calls, (Calls{"MidiClose", "ChannelStop 101"}));
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  fake.calls.clear();
  PlayAmbient(e, "nowhere.wav");  // as does a missing file
  EXPECT_EQ(fake.calls, (Calls{"ChannelStop 101"}));
  EXPECT_EQ(e.world.AmbientName, "nowhere.wav");

  // A stream that fails to open leaves none: the old one is already freed.
  fake.streamOk = false;
  fake.calls.clear();
  PlayAmbient(e, "forest.wav");
  EXPECT_EQ(fake.calls, (Calls{"StreamFree 101", "StreamCreateFile forest.wav"}));
  EXPECT_EQ(e.sound.AmbientStream, 0u);
}

TEST_F(SoundTest, MuteFreesTheDeviceThenStopsMusicAndForgetsEffects) {
  PlayAll({"a.wav", "b.wav"});
  Touch("song.mid");
  PlayAmbient(e, "song.mid");
  fake.calls.clear();
  Mute(e);
  EXPECT_EQ(fake.calls, (Calls{"Free", "MidiClose", "SampleFree 100", "SampleFree 102"}));
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
  EXPECT_EQ(e.sound.SoundChannels.Size(), 1);
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  fake.calls.clear();
  SweepNow();  // nothing left to do
  EXPECT_TRUE(fake.calls.empty());
}

}  // namespace
}  // namespace yw::test
