// What a player hears: the game's sound calls drive the real SDL2_mixer
// device, SDL's disk audio driver writes the mixed output to a file, and
// the test measures the samples written while each sound plays.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

#include "audio/sound.h"
#include "audio_test_files.h"
#include "platform/sdl/sdl_audio_device.h"
#include "shell/config.h"
#include "test_support.h"
#include "world/paths.h"

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
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
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
  Levels WholeOutput() {
    std::vector<int16_t> samples(FileSize(output) / 2);
    std::ifstream(output, std::ios::binary)
        .read(reinterpret_cast<char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * 2));
    return Measure(samples);
  }

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

// A wave file that holds one level throughout: two playbacks of it add up
// to twice the level whatever their offset.
std::string LevelWav(double seconds, int16_t level) {
  std::string w = SineWav(seconds);
  for (size_t i = 44; i + 1 < w.size(); i += 2) {
    w[i] = static_cast<char>(level & 0xFF);
    w[i + 1] = static_cast<char>((level >> 8) & 0xFF);
  }
  return w;
}

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
  EXPECT_NEAR(twice.peak / once.peak, 2.0, 0.1) << once << " / " << twice;
}

TEST_F(DiskAudioTest, AWaveAmbientLoopsUntilStopped) {
  Put("wind.wav", SineWav(0.25, 220));
  StartSound();
  PlayAmbient(e, "wind");
  Listen(0.3);  // past the file's end: what follows is the loop
  const Levels looped = Listen(0.5);
  EXPECT_TRUE(looped.Audible()) << looped;
  PlayAmbient(e, "");
  Listen(0.1);
  EXPECT_TRUE(Listen(0.3).Silent());
}

TEST_F(DiskAudioTest, AnMp3AmbientPlays) {
  // One second of a 330 Hz tone, encoded once with LAME.
  fs::copy_file(fs::path(YW_TEST_DATA_DIR) / "audio" / "tone.mp3", te.dir.path() / "Tune.mp3");
  StartSound();
  PlayAmbient(e, "tune");
  const Levels l = Listen(0.6);
  EXPECT_TRUE(l.Audible()) << l;
  EXPECT_FALSE(l.Clipped()) << l;
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

TEST_F(DiskAudioTest, TheSoundKeyTurnsAllOutputOffAndOnAgain) {
  Put("hit.wav", SineWav(1.0));
  Put("wind.wav", SineWav(1.0));
  WriteFile(te.dir.path() / "yarrowind.ini", "[main]\r\nSound=no\r\n");
  LoadIni(e);
  ASSERT_FALSE(e.win.SoundOn);
  PlaySound(e, "hit.wav");
  PlayAmbient(e, "wind");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(WholeOutput().Silent());

  WriteFile(te.dir.path() / "yarrowind.ini", "[main]\r\nSound=yes\r\n");
  LoadIni(e);
  ASSERT_TRUE(e.win.SoundOn);
  PlaySound(e, "hit.wav");
  EXPECT_TRUE(Listen(0.3).Audible());
}

TEST_F(DiskAudioTest, MissingAndBrokenFilesStopNothing) {
  const std::string wav = SineWav(0.5);
  Put("wind.wav", SineWav(0.5, 220));
  Put("hit.wav", SineWav(0.5));
  Put("cut.wav", wav.substr(0, wav.size() / 2));
  Put("junk.wav", std::string(3000, '\x55'));
  Put("junk.mid", "MThd\x00\x00\x00\x06junk");
  Put("junk.mp3", std::string(3000, '\xFF'));
  StartSound();
  PlayAmbient(e, "wind.wav");
  // A wave file cut short plays what it holds; the others play nothing.
  for (const char* bad : {"missing.wav", "cut.wav", "junk.wav", "junk.mid"}) PlaySound(e, bad);
  EXPECT_TRUE(Listen(0.4).Audible()) << "the ambient stopped";

  // A broken ambient ends the old one (it is replaced) but nothing else.
  for (const char* bad : {"junk.mid", "junk.mp3", "gone.wav"}) {
    PlayAmbient(e, bad);
    EXPECT_TRUE(e.win.SoundOn) << bad;
    EXPECT_FALSE(e.sound.Music.MidiPlay) << bad;
    PlaySound(e, "hit.wav");
    EXPECT_TRUE(Listen(0.2).Audible()) << "no effect after " << bad;
  }
  EXPECT_TRUE(te.platform.MessageBoxes().empty());
}

// Every sound file of the bundled demo and the program folder's title
// music, played as the game plays it, must be heard and must not clip.
TEST_F(DiskAudioTest, TheBundledSoundsAreAudibleAndNeverClip) {
  const fs::path data = fs::path(YW_SOURCE_DIR) / "data";
  std::vector<fs::path> files;
  for (const fs::path& folder : {data, data / "games" / "hollowmere"}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string ext = ToLower(entry.path().extension().string());
      if (ext == ".wav" || ext == ".mp3" || ext == ".mid") files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  StartSound();
  for (const fs::path& file : files) {
    e.CurrentDir = file.parent_path();
    const std::string name = file.filename().string();
    const bool music = file.extension() == ".mid";
    // Effects are heard to their end; music for its first bars.
    music ? PlayAmbient(e, name) : PlaySound(e, name);
    const Levels l = Listen(music ? 6.0 : 1.0);
    Mute(e);
    SoundInit(e);
    std::cout << name << ": " << l << "\n";
    EXPECT_TRUE(l.Audible()) << name << ": " << l;
    EXPECT_FALSE(l.Clipped()) << name << ": " << l;
  }
}

}  // namespace
}  // namespace yw::test
