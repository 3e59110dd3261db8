// The SDL2_mixer sound device on SDL's dummy audio driver (no sound card
// needed): samples, streams and MIDI pieces made in the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "audio_test_files.h"
#include "platform/sdl/sdl_audio_device.h"
#include "test_support.h"

namespace yw::test {
namespace {

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // CI sets it; keep a run by hand silent too
    device = MakeSdlAudioDevice();
    ASSERT_TRUE(device->Init()) << "no audio output, not even the dummy driver";
    ASSERT_TRUE(device->Start());
  }
  void TearDown() override {
    if (device) device->Free();
  }
  std::filesystem::path Write(std::string_view name, std::string_view bytes) {
    WriteFile(dir.path() / name, bytes);
    return dir.path() / name;
  }

  TempDir dir;
  std::unique_ptr<AudioDevice> device;
};

TEST_F(SdlAudioTest, ASampleLoadsPlaysAndIsFreed) {
  const auto wav = Write("tone.wav", SineWav(3.0));
  const uint32_t sample = device->SampleLoad(wav, 3, true);
  ASSERT_NE(sample, 0u);
  const uint32_t channel = device->SamplePlay(sample);
  ASSERT_NE(channel, 0u);
  EXPECT_NE(channel, sample);
  EXPECT_TRUE(device->ChannelIsActive(channel));
  EXPECT_TRUE(device->ChannelStop(channel));
  EXPECT_FALSE(device->ChannelIsActive(channel));

  const uint32_t again = device->SamplePlay(sample);
  EXPECT_TRUE(device->ChannelIsActive(again));
  EXPECT_TRUE(device->SampleFree(sample));
  EXPECT_FALSE(device->ChannelIsActive(again));
  EXPECT_FALSE(device->SampleFree(sample));
  EXPECT_EQ(device->SamplePlay(sample), 0u);
}

TEST_F(SdlAudioTest, PlaybacksPerSampleAreLimitedAndChannelsGrow) {
  const auto wav = Write("tone.wav", SineWav(3.0));
  const uint32_t sample = device->SampleLoad(wav, 3, true);
  ASSERT_NE(sample, 0u);
  const uint32_t first = device->SamplePlay(sample);
  const uint32_t second = device->SamplePlay(sample);
  const uint32_t third = device->SamplePlay(sample);
  const uint32_t fourth = device->SamplePlay(sample);
  ASSERT_NE(fourth, 0u);
  EXPECT_FALSE(device->ChannelIsActive(first));
  EXPECT_TRUE(device->ChannelIsActive(second));
  EXPECT_TRUE(device->ChannelIsActive(third));
  EXPECT_TRUE(device->ChannelIsActive(fourth));

  const uint32_t limited = device->SampleLoad(wav, 1, false);
  ASSERT_NE(device->SamplePlay(limited), 0u);
  EXPECT_EQ(device->SamplePlay(limited), 0u);  // busy and not to be replaced

  // More playbacks than the mixer's first 16 channels all sound.
  std::vector<uint32_t> channels;
  for (int i = 0; i < 6; ++i) {
    const uint32_t s = device->SampleLoad(wav, 3, true);
    for (int k = 0; k < 3; ++k) channels.push_back(device->SamplePlay(s));
  }
  for (uint32_t c : channels) EXPECT_TRUE(device->ChannelIsActive(c));
}

TEST_F(SdlAudioTest, BadFilesGiveNoHandles) {
  const std::string wav = SineWav(0.5);
  const auto truncated = Write("cut.wav", std::string_view(wav).substr(0, 30));
  const auto garbage = Write("junk.wav", std::string(5000, '\x7F'));
  const auto huge = Write("huge.wav", std::string("RIFF\xFF\xFF\xFF\x7FWAVEdata\xFF\xFF\xFF\x7F", 16));
  for (const auto& f : {truncated, garbage, huge, dir.path() / "missing.wav"}) {
    EXPECT_EQ(device->SampleLoad(f, 3, true), 0u) << f;
    EXPECT_EQ(device->StreamCreateFile(f), 0u) << f;
    EXPECT_FALSE(device->MidiOpen(f)) << f;
  }
  EXPECT_EQ(device->SamplePlay(12345), 0u);
  EXPECT_FALSE(device->ChannelIsActive(0));
  EXPECT_FALSE(device->ChannelStop(0));
  EXPECT_FALSE(device->StreamFree(0));
}

TEST_F(SdlAudioTest, AStreamLoopsUntilStoppedAndGivesWayToMidi) {
  const auto wav = Write("ambient.wav", SineWav(0.5));
  const uint32_t stream = device->StreamCreateFile(wav);
  ASSERT_NE(stream, 0u);
  EXPECT_FALSE(device->ChannelIsActive(stream));
  ASSERT_TRUE(device->StreamPlay(stream, true));
  EXPECT_TRUE(device->ChannelIsActive(stream));
  EXPECT_TRUE(device->ChannelStop(stream));
  EXPECT_FALSE(device->ChannelIsActive(stream));
  EXPECT_TRUE(device->StreamPlay(stream, true));  // a stopped stream stays loaded

  // A wave file is not a MIDI piece.
  EXPECT_FALSE(device->MidiOpen(wav));
  EXPECT_TRUE(device->ChannelIsActive(stream));
  EXPECT_TRUE(device->StreamFree(stream));
  EXPECT_FALSE(device->ChannelIsActive(stream));
  EXPECT_FALSE(device->StreamPlay(stream, true));
}

TEST_F(SdlAudioTest, AMidiPieceReportsLengthAndPosition) {
  const auto mid = Write("song.mid", FourNotesMidi());
  ASSERT_TRUE(device->MidiOpen(mid)) << "no MIDI synthesizer: install freepats (scripts/install-deps)";
  EXPECT_NEAR(device->MidiLengthMs(), 2000, 50);
  ASSERT_TRUE(device->MidiPlay(0));
  EXPECT_TRUE(device->MidiPlaying());
  const double pos = device->MidiPositionMs();
  EXPECT_GE(pos, 0);
  EXPECT_LT(pos, 2000);
  EXPECT_TRUE(device->MidiPause());
  EXPECT_TRUE(device->MidiResume());

  // A stream taking the music channel ends the MIDI playback.
  const uint32_t stream = device->StreamCreateFile(Write("a.wav", SineWav(0.5)));
  ASSERT_TRUE(device->StreamPlay(stream, true));
  EXPECT_FALSE(device->MidiPlaying());
  EXPECT_TRUE(device->ChannelIsActive(stream));
  device->MidiClose();
  EXPECT_TRUE(device->ChannelIsActive(stream));  // closing MIDI leaves the stream alone
  EXPECT_FALSE(device->MidiPlay(0));
}

TEST_F(SdlAudioTest, FreeReleasesEverythingAndTheDeviceOpensAgain) {
  const auto wav = Write("tone.wav", SineWav(1.0));
  const uint32_t sample = device->SampleLoad(wav, 3, true);
  const uint32_t channel = device->SamplePlay(sample);
  const uint32_t stream = device->StreamCreateFile(wav);
  EXPECT_FALSE(device->Init());  // already open
  device->Free();
  EXPECT_FALSE(device->ChannelIsActive(channel));
  EXPECT_FALSE(device->SampleFree(sample));
  EXPECT_FALSE(device->StreamFree(stream));
  EXPECT_EQ(device->SampleLoad(wav, 3, true), 0u);  // closed
  EXPECT_FALSE(device->Start());
  ASSERT_TRUE(device->Init());
  const uint32_t reloaded = device->SampleLoad(wav, 3, true);
  EXPECT_NE(reloaded, 0u);
  EXPECT_NE(reloaded, sample);  // handles are not reused
}

}  // namespace
}  // namespace yw::test
