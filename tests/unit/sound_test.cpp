// Turning sound on and choosing the ambient music's file, against a fake
// sound device.
#include "audio/sound.h"

#include <gtest/gtest.h>

#include "fake_audio_device.h"
#include "test_support.h"

namespace yw::test {
namespace {

class SoundTest : public ::testing::Test {
 protected:
  SoundTest() {
    te.platform.SetAudio(&fake);
    e.win.SoundOn = true;
    SoundInit(e);
  }
  void Touch(std::string_view name) { WriteFile(te.dir.path() / name, ""); }

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
  EXPECT_EQ(fake.lastStream.filename(), "TITLE.wav");
  std::filesystem::remove(te.dir.path() / "TITLE.wav");
  PlayAmbient(e, "Title");
  EXPECT_EQ(fake.lastStream.filename(), "title.MP3");
  std::filesystem::remove(te.dir.path() / "title.MP3");
  const int streams = fake.streamsOpened;
  PlayAmbient(e, "Title");
  EXPECT_EQ(fake.lastMidi.filename(), "Title.mid");
  EXPECT_EQ(e.world.AmbientName, "Title");
  // One character, or a dot anywhere: the name is taken as it is.
  Touch("T.wav");
  Touch("forest.v1.wav");
  PlayAmbient(e, "T");
  PlayAmbient(e, "forest.v1");
  EXPECT_EQ(fake.streamsOpened, streams);
}

}  // namespace
}  // namespace yw::test
