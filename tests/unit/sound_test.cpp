// Sound effects, the ambient music and the finished-sound sweep, against a
// recording sound device.
#include "audio/sound.h"

#include <gtest/gtest.h>

#include "fake_audio_device.h"
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

  FakeAudioDevice fake;  // outlives the engine, whose player closes on exit
  TestEngine te;
  Engine& e = te.engine;
};

TEST_F(SoundTest, ADeviceThatFailsToStartTurnsSoundOff) {
  EXPECT_TRUE(e.win.SoundOn);
  fake.initOk = false;
  SoundInit(e);
  EXPECT_FALSE(e.win.SoundOn);

  fake.initOk = true;
  fake.startOk = false;
  e.win.SoundOn = true;
  SoundInit(e);
  EXPECT_FALSE(e.win.SoundOn);
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

}  // namespace
}  // namespace yw::test
