// What a player hears: the game's sound calls drive the real SDL2_mixer
// device, SDL's disk audio driver writes the mixed output to a file, and
// the test measures the samples written while each sound plays.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <set>
#include <thread>
#include <vector>

#include "audio/sound.h"
#include "audio_test_files.h"
#include "platform/sdl/sdl_audio_device.h"
#include "shell/config.h"
#include "test_support.h"

namespace yw::test {
namespace {

namespace fs = std::filesystem;

// Loudness of a stretch of output as fractions of full scale.
struct Levels {
  double peak = 0;
  double rms = 0;
  bool Silent() const { return peak == 0; }
  // Well above dither and resampling noise, about -50 dBFS.
  bool Audible() const { return rms > 0.003; }
  bool Clipped() const { return peak >= 32767.0 / 32768.0; }
};

double Db(double v) { return v > 0 ? 20 * std::log10(v) : -999; }

std::ostream& operator<<(std::ostream& os, const Levels& l) {
  return os << "peak " << Db(l.peak) << " dBFS, rms " << Db(l.rms) << " dBFS";
}

Levels Measure(const std::vector<int16_t>& samples) {
  Levels l;
  double sum = 0;
  for (int16_t s : samples) {
    const double v = std::abs(static_cast<double>(s)) / 32768.0;
    l.peak = std::max(l.peak, v);
    sum += v * v;
  }
  if (!samples.empty()) l.rms = std::sqrt(sum / static_cast<double>(samples.size()));
  return l;
}

bool HasDiskDriver() {
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
    if (std::string_view(SDL_GetAudioDriver(i)) == "disk") return true;
  }
  return false;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

uintmax_t FileSize(const fs::path& file) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(file, ec);
  return ec ? 0 : size;
}

class DiskAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDiskDriver()) {
      GTEST_SKIP() << "SDL was built without its disk audio driver: the mixed sound output "
                      "cannot be captured, so it is not checked";
    }
    // The driver writes about four times faster than real time, so that a
    // second of sound takes a quarter of a second to check.
    driver_.emplace("SDL_AUDIODRIVER", "disk");
    file_.emplace("SDL_DISKAUDIOFILE", output.string());
    delay_.emplace("SDL_DISKAUDIODELAY", "10");
    te.platform.SetAudio(device.get());
  }
  void TearDown() override { Mute(e); }

  // Turns sound on as the configuration does and checks what the mixer
  // writes: 16-bit stereo samples.
  void StartSound() {
    e.win.SoundOn = true;
    SoundInit(e);
    ASSERT_TRUE(e.win.SoundOn) << "the disk audio driver did not open: " << SDL_GetError();
    int rate = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
    ASSERT_EQ(format, AUDIO_S16LSB);
    frameBytes_ = static_cast<uintmax_t>(channels) * 2;
    rate_ = rate;
  }

  // Waits for `seconds` more output and returns its samples.
  std::vector<int16_t> Record(double seconds) {
    const uintmax_t start = FileSize(output) / frameBytes_ * frameBytes_;
    const uintmax_t bytes = static_cast<uintmax_t>(seconds * rate_) * frameBytes_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (FileSize(output) < start + bytes) {
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the audio driver stopped writing";
        return {};
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::ifstream in(output, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start));
    std::vector<int16_t> samples(bytes / 2);
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(bytes));
    return samples;
  }
  Levels Listen(double seconds) { return Measure(Record(seconds)); }

  void Put(std::string_view name, std::string_view bytes) {
    WriteFile(te.dir.path() / name, bytes);
  }

  std::unique_ptr<AudioDevice> device = MakeSdlAudioDevice();  // outlives the engine
  TestEngine te;
  Engine& e = te.engine;
  fs::path output = te.dir.path() / "output.raw";

 private:
  std::optional<ScopedEnv> driver_, file_, delay_;
  uintmax_t frameBytes_ = 4;
  int rate_ = 44100;
};

TEST_F(DiskAudioTest, AnEffectSoundsUntilItsEndAndOverlapsItself) {
  Put("Hit.wav", LevelWav(0.4, 6000));
  StartSound();
  PlaySound(e, "hit.wav");
  const Levels once = Listen(0.2);
  EXPECT_TRUE(once.Audible()) << once;
  Listen(0.4);
  EXPECT_TRUE(Listen(0.3).Silent());  // a finished effect leaves silence

  // Two playbacks of the cached sample sound together, twice as loud.
  PlaySound(e, "HIT.wav");
  PlaySound(e, " hit.wav");
  const Levels twice = Listen(0.2);
  EXPECT_EQ(e.sound.SoundChannelCount, 1);
  // The two start in the same or in neighbouring mixing chunks, so the peaks
  // add up to about twice the single one; a lost second playback gives 1.
  EXPECT_NEAR(twice.peak / once.peak, 2.0, 0.4) << once << " / " << twice;
}

// A new effect while everything is busy: a fourth playback of one effect
// takes the place of the one that has played longest, and twenty more
// effects at once all sound, past the mixer's first channels. The driver
// mixes a chunk a second here, so the two-second effects outlast the test.
TEST_F(DiskAudioTest, ANewEffectWhenEveryChannelIsBusy) {
  const ScopedEnv slow("SDL_DISKAUDIODELAY", "1000");
  const std::string longWav = LevelWav(2, 800, 8000);
  Put("long.wav", longWav);
  StartSound();
  std::vector<uint32_t> plays;
  for (int i = 0; i < 4; ++i) {
    PlaySound(e, "long.wav");
    plays.push_back(e.sound.SoundChannels[1].channel);
  }
  EXPECT_EQ(std::set(plays.begin(), plays.end()).size(), 4u);
  EXPECT_FALSE(device->ChannelIsActive(plays[0])) << "the oldest playback gives way";
  for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(device->ChannelIsActive(plays[i])) << i;
  for (int i = 0; i < 20; ++i) {
    Put("e" + std::to_string(i) + ".wav", longWav);
    PlaySound(e, "e" + std::to_string(i) + ".wav");
  }
  ASSERT_EQ(e.sound.SoundChannelCount, 21);
  for (int i = 1; i <= 21; ++i)
    EXPECT_TRUE(device->ChannelIsActive(e.sound.SoundChannels[i].channel)) << i;
}

TEST_F(DiskAudioTest, MidiMusicPlaysThroughTheSynthesizerAndLoops) {
  Put("Title.mid", FourNotesMidi());
  StartSound();
  PlayAmbient(e, "title");
  ASSERT_TRUE(e.sound.Music.MidiPlay)
      << "no MIDI synthesizer: install the freepats patch set (scripts/install-deps)";
  const Levels l = Listen(1.0);
  EXPECT_TRUE(l.Audible()) << l;
  EXPECT_FALSE(l.Clipped()) << l;

  // The two-second piece ends; the next sweep starts it again.
  Listen(1.5);
  EXPECT_TRUE(Listen(0.3).Silent());
  te.platform.SetClock(static_cast<uint32_t>(e.win.NextSoundSweep) + 1);
  SoundHousekeeping(e);
  EXPECT_TRUE(Listen(0.5).Audible()) << "the piece did not start again";
  PlayAmbient(e, "");
  Listen(0.1);
  EXPECT_TRUE(Listen(0.3).Silent());
}

}  // namespace
}  // namespace yw::test
