// Sound effects, the ambient music and the finished-sound sweep, against a
// recording sound device.
#include <gtest/gtest.h>

#include "audio/sound.h"
#include "fake_audio_device.h"
#include "test_support.h"
#include "world/table.h"

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
  // Moves the clock past the next sweep and runs the housekeeping.
  void SweepNow() {
    te.platform.SetClock(static_cast<uint32_t>(e.win.NextSoundSweep) + 1);
    SoundHousekeeping(e);
  }

  FakeAudioDevice fake;  // outlives the engine, whose player closes on exit
  TestEngine te;
  Engine& e = te.engine;
};

TEST_F(SoundTest, SoundInitStartsTheDeviceAndFailuresTurnSoundOff) {
  FakeAudioDevice dev;
  TestEngine t;
  t.platform.SetAudio(&dev);
  t.engine.win.SoundOn = true;
  SoundInit(t.engine);
  EXPECT_TRUE(t.engine.win.SoundOn);
  EXPECT_EQ(dev.calls, (Calls{"Init", "Start"}));

  dev.calls.clear();
  dev.initOk = false;
  SoundInit(t.engine);
  EXPECT_FALSE(t.engine.win.SoundOn);
  EXPECT_EQ(dev.calls, (Calls{"Init"}));

  dev.initOk = true;
  dev.startOk = false;
  t.engine.win.SoundOn = true;
  SoundInit(t.engine);
  EXPECT_FALSE(t.engine.win.SoundOn);
}

TEST_F(SoundTest, WithSoundOffOnlyMuteReachesTheDevice) {
  Touch("hit.wav");
  Touch("Title.wav");
  e.win.SoundOn = false;
  SoundInit(e);
  PlaySound(e, "hit.wav");
  PlayAmbient(e, "Title");
  SoundHousekeeping(e);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(e.world.AmbientName, "Title");  // still kept for saved games
  Mute(e);
  EXPECT_EQ(fake.calls, (Calls{"Free"}));
}

TEST_F(SoundTest, AnEffectIsLoadedOnceAndReusedByNameIgnoringCaseAndBlanks) {
  Touch("Hit.WAV");
  PlaySound(e, "hit.wav");
  PlaySound(e, "hit.wav");
  PlaySound(e, "  HIT.wav ");
  EXPECT_EQ(fake.Matching("SampleLoad"), (Calls{"SampleLoad Hit.WAV 3 replace"}));
  EXPECT_EQ(fake.Matching("SamplePlay"),
            (Calls{"SamplePlay 100", "SamplePlay 100", "SamplePlay 100"}));
  ASSERT_EQ(e.sound.SoundChannelCount, 1);
  EXPECT_EQ(e.sound.SoundChannels[1].file, "hit.wav");
  EXPECT_EQ(e.sound.SoundChannels[1].sample, 100u);
  EXPECT_EQ(e.sound.SoundChannels[1].channel, 103u);  // the latest playback
}

TEST_F(SoundTest, EffectsThatCannotLoadOrPlayAreNotRecorded) {
  PlaySound(e, "missing.wav");
  PlaySound(e, "");
  PlaySound(e, "   ");
  EXPECT_TRUE(fake.calls.empty());

  std::filesystem::create_directories(te.dir.path() / "sounds");
  PlaySound(e, "sounds");  // a folder is not a sound
  EXPECT_TRUE(fake.calls.empty());

  Touch("hit.wav");
  fake.loadOk = false;
  PlaySound(e, "hit.wav");
  EXPECT_EQ(e.sound.SoundChannelCount, 0);

  fake.loadOk = true;
  fake.playOk = false;
  PlaySound(e, "hit.wav");
  PlaySound(e, "hit.wav");  // not cached: loaded again
  EXPECT_EQ(fake.Count("SampleLoad"), 3);
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
}

TEST_F(SoundTest, EffectNamesResolveInTheGameFolderWithBackslashes) {
  WriteFile(te.dir.path() / "game" / "Sfx" / "Door.wav", "RIFF");
  e.CurrentDir = te.dir.path() / "game";
  PlaySound(e, "sfx\\door.wav");
  EXPECT_EQ(fake.Matching("SampleLoad"), (Calls{"SampleLoad Door.wav 3 replace"}));
  EXPECT_EQ(e.sound.SoundChannels[1].file, "sfx\\door.wav");
}

TEST_F(SoundTest, SweepFreesFinishedEffectsAndExaminesTheMovedEntryAgain) {
  for (const char* n : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
    Touch(n);
    PlaySound(e, n);
  }
  ASSERT_EQ(e.sound.SoundChannelCount, 4);
  // a and b have finished, c still sounds, d has finished.
  const uint32_t cChannel = e.sound.SoundChannels[3].channel;
  const uint32_t cSample = e.sound.SoundChannels[3].sample;
  fake.activeChannels = {cChannel};
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
  EXPECT_EQ(e.sound.SoundChannels[1].sample, cSample);
  EXPECT_EQ(e.win.NextSoundSweep, t + 5000);

  // Before the next sweep is due nothing is examined.
  fake.calls.clear();
  te.platform.SetClock(static_cast<uint32_t>(t + 5000));
  SoundHousekeeping(e);
  EXPECT_TRUE(fake.calls.empty());

  // The last one finishes: the table is back to one empty entry.
  fake.activeChannels.clear();
  SweepNow();
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
  EXPECT_EQ(e.sound.SoundChannels.Size(), 1);
  EXPECT_TRUE(e.sound.SoundChannels[1].file.empty());
}

TEST_F(SoundTest, AnEffectPlayedAgainBeforeTheSweepKeepsItsEntry) {
  Touch("step.wav");
  PlaySound(e, "step.wav");
  fake.activeChannels.clear();  // the first playback has ended
  PlaySound(e, "step.wav");     // ... and a new one has begun
  SweepNow();
  EXPECT_EQ(e.sound.SoundChannelCount, 1);
  EXPECT_EQ(fake.Count("SampleFree"), 0);
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
  platform.SetClock(10);
  SoundHousekeeping(e);
  EXPECT_EQ(platform.reads, 1);
  EXPECT_EQ(e.win.NextSoundSweep, 10 + e.win.TimeSoundTime);
}

TEST_F(SoundTest, SweepDeadlineSaturatesInsteadOfOverflowing) {
  Touch("hit.wav");
  PlaySound(e, "hit.wav");
  e.win.TimeSoundTime = std::numeric_limits<int32_t>::max();
  SweepNow();
  EXPECT_EQ(e.win.NextSoundSweep, std::numeric_limits<int32_t>::max());
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
  EXPECT_TRUE(e.sound.Music.MidiPlay);
  EXPECT_EQ(e.world.AmbientName, "Title");
}

TEST_F(SoundTest, AmbientNamesThatAreTooShortOrHaveADotAreNotExtended) {
  Touch("T.wav");
  Touch("forest.v1.wav");
  PlayAmbient(e, "T");
  PlayAmbient(e, "forest.v1");
  EXPECT_EQ(fake.Count("StreamCreateFile"), 0);
  EXPECT_EQ(fake.Count("ChannelStop"), 2);
}

TEST_F(SoundTest, AmbientSwitchesBetweenStreamAndMidi) {
  Touch("forest.wav");
  Touch("battle.mid");
  Touch("town.mp3");
  PlayAmbient(e, "forest.wav");
  EXPECT_EQ(fake.calls, (Calls{"StreamFree 0", "StreamCreateFile forest.wav", "StreamPlay 100 loop"}));
  EXPECT_EQ(e.sound.AmbientStream, 100u);

  fake.calls.clear();
  PlayAmbient(e, " Battle.MID ");
  EXPECT_EQ(fake.calls, (Calls{"ChannelStop 100", "MidiOpen battle.mid", "MidiPlay 0"}));
  EXPECT_TRUE(e.sound.Music.MidiPlay);

  fake.calls.clear();
  PlayAmbient(e, "town.mp3");
  EXPECT_EQ(fake.calls, (Calls{"MidiClose", "StreamFree 100", "StreamCreateFile town.mp3",
                               "StreamPlay 101 loop"}));
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  EXPECT_EQ(e.sound.AmbientStream, 101u);
}

TEST_F(SoundTest, AnEmptyOrMissingAmbientStopsStreamAndMidi) {
  Touch("forest.wav");
  Touch("battle.mid");
  PlayAmbient(e, "forest.wav");
  PlayAmbient(e, "battle.mid");
  fake.calls.clear();
  PlayAmbient(e, "");
  EXPECT_EQ(fake.calls, (Calls{"MidiClose", "ChannelStop 100"}));
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  EXPECT_EQ(e.world.AmbientName, "");

  fake.calls.clear();
  PlayAmbient(e, "nowhere.wav");
  EXPECT_EQ(fake.calls, (Calls{"ChannelStop 100"}));
  EXPECT_EQ(e.world.AmbientName, "nowhere.wav");
}

TEST_F(SoundTest, AFailedStreamLeavesNoAmbientStream) {
  Touch("forest.wav");
  Touch("cave.wav");
  PlayAmbient(e, "forest.wav");
  fake.streamOk = false;
  fake.calls.clear();
  PlayAmbient(e, "cave.wav");
  EXPECT_EQ(fake.calls, (Calls{"StreamFree 100", "StreamCreateFile cave.wav"}));
  EXPECT_EQ(e.sound.AmbientStream, 0u);
}

TEST_F(SoundTest, MuteFreesTheDeviceThenStopsMusicAndForgetsEffects) {
  Touch("a.wav");
  Touch("b.wav");
  Touch("song.mid");
  PlaySound(e, "a.wav");
  PlaySound(e, "b.wav");
  PlayAmbient(e, "song.mid");
  fake.calls.clear();
  Mute(e);
  EXPECT_EQ(fake.calls, (Calls{"Free", "MidiClose", "SampleFree 100", "SampleFree 102"}));
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
  EXPECT_EQ(e.sound.SoundChannels.Size(), 1);
  EXPECT_FALSE(e.sound.Music.MidiPlay);
  // The housekeeping has nothing left to do.
  fake.calls.clear();
  SweepNow();
  EXPECT_TRUE(fake.calls.empty());
}

}  // namespace
}  // namespace yw::test
