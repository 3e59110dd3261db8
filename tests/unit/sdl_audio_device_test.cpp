// The SDL2_mixer sound device on SDL's dummy audio driver (no sound card
// needed): samples, streams and MIDI pieces made in the test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "audio/sound.h"
#include "platform/sdl/sdl_audio_device.h"
#include "test_support.h"

namespace yw::test {
namespace {

void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A mono 16-bit wave file of a sine tone.
std::string SineWav(double seconds, int rate = 22050) {
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  std::string w = "RIFF";
  PutLE(w, 36 + frames * 2, 4);
  w += "WAVEfmt ";
  PutLE(w, 16, 4);
  PutLE(w, 1, 2);  // PCM
  PutLE(w, 1, 2);  // mono
  PutLE(w, static_cast<uint32_t>(rate), 4);
  PutLE(w, static_cast<uint32_t>(rate) * 2, 4);
  PutLE(w, 2, 2);
  PutLE(w, 16, 2);
  w += "data";
  PutLE(w, frames * 2, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    const double s = std::sin(2 * 3.14159265358979 * 440.0 * i / rate);
    PutLE(w, static_cast<uint32_t>(static_cast<int16_t>(8000 * s)) & 0xFFFF, 2);
  }
  return w;
}

// A standard MIDI file of four quarter notes at 120 beats a minute: 2 s.
std::string FourNotesMidi() {
  std::string track;
  track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);  // tempo 500000 us
  track += std::string("\x00\xC0\x00", 3);                  // piano
  for (unsigned char note : {60, 64, 67, 72}) {
    track += std::string("\x00\x90", 2) + static_cast<char>(note) + '\x64';
    track += std::string("\x60\x80", 2) + static_cast<char>(note) + '\x00';
  }
  track += std::string("\x00\xFF\x2F\x00", 4);
  std::string m("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14);
  m += "MTrk";
  for (int shift : {24, 16, 8, 0}) m.push_back(static_cast<char>((track.size() >> shift) & 0xFF));
  return m + track;
}

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

TEST_F(SdlAudioTest, AFourthPlaybackReplacesTheOneThatHasPlayedLongest) {
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
}

TEST_F(SdlAudioTest, ManyEffectsAtOnceGetChannels) {
  const auto wav = Write("tone.wav", SineWav(3.0));
  std::vector<uint32_t> channels;
  for (int i = 0; i < 6; ++i) {  // more playbacks than the first 16 channels
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
  if (!device->MidiOpen(mid)) GTEST_SKIP() << "no MIDI synthesizer configured (freepats)";
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

TEST_F(SdlAudioTest, TheGamePlaysAnEffectAndMidiMusicThroughTheRealDevice) {
  device->Free();  // the engine starts it itself
  TestEngine te;
  Engine& e = te.engine;
  te.platform.SetAudio(device.get());
  WriteFile(te.dir.path() / "Sfx" / "Hit.wav", SineWav(3.0));
  WriteFile(te.dir.path() / "Title.mid", FourNotesMidi());
  e.win.SoundOn = true;
  SoundInit(e);
  ASSERT_TRUE(e.win.SoundOn);
  PlaySound(e, "sfx\\hit.wav");
  ASSERT_EQ(e.sound.SoundChannelCount, 1);
  EXPECT_TRUE(device->ChannelIsActive(e.sound.SoundChannels[1].channel));
  PlayAmbient(e, "title");
  if (std::filesystem::exists("/etc/timidity/freepats.cfg")) {
    EXPECT_TRUE(e.sound.Music.MidiPlay);
    te.platform.SetClock(1000);
    SoundHousekeeping(e);  // still playing: nothing restarts, the effect stays
    EXPECT_TRUE(device->MidiPlaying());
    EXPECT_EQ(e.sound.SoundChannelCount, 1);
  }
  EXPECT_TRUE(te.platform.MessageBoxes().empty());
  Mute(e);
  EXPECT_FALSE(device->MidiPlaying());
  EXPECT_EQ(e.sound.SoundChannelCount, 0);
  te.platform.SetAudio(nullptr);
}

}  // namespace
}  // namespace yw::test
