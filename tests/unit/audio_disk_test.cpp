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
  explicit DiskAudioTest(std::filesystem::path font = {}) : soundFont(std::move(font)) {}
  std::filesystem::path soundFont;
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

  std::unique_ptr<AudioDevice> device = MakeSdlAudioDevice(soundFont);  // outlives the engine
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

  // The two-second piece ends (the synthesizer's reverberation fades); the
  // next sweep starts it again.
  Listen(1.5);
  EXPECT_FALSE(Listen(0.3).Audible());
  te.platform.SetClock(static_cast<uint32_t>(e.win.NextSoundSweep) + 1);
  SoundHousekeeping(e);
  EXPECT_TRUE(Listen(0.5).Audible()) << "the piece did not start again";
  PlayAmbient(e, "");
  Listen(0.1);
  EXPECT_TRUE(Listen(0.3).Silent());
}

// Every General MIDI program sounds, and so does the drum channel: a piece
// plays each in a slot of its own and every slot is measured.
TEST_F(DiskAudioTest, EveryGeneralMidiProgramAndTheDrumsSound) {
  constexpr int kSlots = 129;
  constexpr double kSlot = 0.4;
  Put("all.mid", AllProgramsMidi());
  StartSound();
  PlayAmbient(e, "all.mid");
  ASSERT_TRUE(e.sound.Music.MidiPlay);
  const std::vector<int16_t> out = Record(kSlots * kSlot + 0.5);
  // The piece starts where the piano of the first slot does.
  size_t start = 0;
  while (start < out.size() && std::abs(out[start]) < 64) ++start;
  ASSERT_LT(start, out.size()) << "the piece is silent";
  std::vector<int> silent;
  for (int slot = 0; slot < kSlots; ++slot) {
    // Stereo frames at 44100 Hz: the first 0.2 s of the slot's notes.
    const size_t from = start + static_cast<size_t>((slot * kSlot + 0.02) * 44100) * 2;
    const size_t to = std::min(out.size(), from + static_cast<size_t>(0.2 * 44100) * 2);
    if (from >= to) break;
    const Levels l = Measure({out.begin() + static_cast<std::ptrdiff_t>(from),
                              out.begin() + static_cast<std::ptrdiff_t>(to)});
    if (l.rms < 0.004) silent.push_back(slot);
  }
  std::string names;
  for (int slot : silent)
    names += (slot == 128 ? std::string(" drums") : " " + std::to_string(slot));
  EXPECT_TRUE(silent.empty()) << "silent programs (0-based):" << names;
}

// A soundfont setting that names no soundfont is named on stderr, and MIDI
// plays with the default.
class BadSoundFontTest : public DiskAudioTest {
 protected:
  BadSoundFontTest() : DiskAudioTest("/nonexistent/font.sf2") {}
};

TEST_F(BadSoundFontTest, IsNamedAndTheDefaultPlays) {
  Put("Title.mid", FourNotesMidi());
  testing::internal::CaptureStderr();
  StartSound();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("soundfont /nonexistent/font.sf2: no such file"), std::string::npos) << err;
  PlayAmbient(e, "title");
  EXPECT_TRUE(Listen(0.5).Audible());
}

// Sounds as real tools write them: each variant, made here by sox, plays
// as an effect and as ambient music, or is named on stderr with the reason.
TEST_F(DiskAudioTest, SoundVariantsPlayOrAreNamed) {
  if (std::system("sox --version > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "sox is not installed (scripts/install-deps installs it)";
  const fs::path dir = te.dir.path();
  auto sox = [&](const std::string& args, const std::string& file, int seconds) {
    const std::string cmd = "sox -n " + args + " '" + (dir / file).string() + "' synth " +
                            std::to_string(seconds) + " sine 300 vol 0.5 2> /dev/null";
    return std::system(cmd.c_str()) == 0;
  };
  ASSERT_TRUE(sox("-r 22050 -c 1 -b 16", "pcm16.wav", 1));
  // Variants sox cannot write directly: a chunk of odd size (with its pad
  // byte) before the samples, and a header claiming 1 Hz.
  const std::string pcm = ReadFile(dir / "pcm16.wav");
  const size_t data = pcm.find("data");
  ASSERT_NE(data, std::string::npos);
  Put("oddchunk.wav",
      pcm.substr(0, data) + std::string("junk\x03\x00\x00\x00xyz\x00", 12) + pcm.substr(data));
  std::string oneHz = pcm;
  oneHz.replace(24, 4, std::string("\x01\x00\x00\x00", 4));
  Put("onehz.wav", oneHz.substr(0, 1024));
  Put("piece.mid", FourNotesMidi());
  struct Variant {
    const char* file;
    const char* soxArgs;  // empty: made above
    const char* effect;   // empty: plays; else the reason named
    const char* ambient;
  };
  const Variant variants[] = {
      {"u8.wav", "-r 11025 -c 1 -b 8 -e unsigned-integer", "", ""},
      {"s24.wav", "-r 48000 -c 2 -b 24", "", ""},
      {"float.wav", "-r 44100 -c 2 -b 32 -e floating-point", "", ""},
      {"ulaw.wav", "-r 8000 -c 1 -e u-law", "", ""},
      {"alaw.wav", "-r 8000 -c 1 -e a-law", "", ""},
      {"msadpcm.wav", "-r 22050 -c 2 -e ms-adpcm", "", ""},
      {"imaadpcm.wav", "-r 22050 -c 1 -e ima-adpcm", "", ""},
      {"gsm.wav", "-r 8000 -c 1 -e gsm-full-rate", "unsupported WAV encoding GSM 6.10",
       "unsupported WAV encoding GSM 6.10"},
      {"oddchunk.wav", "", "", ""},
      {"onehz.wav", "", "sample rate 1 Hz is outside", "sample rate 1 Hz is outside"},
      // 800 s at 1000 Hz: streamed as music, too large to decode whole.
      {"long.wav", "-r 1000 -c 1 -b 8", "would take 135 MB decoded (at most 128 MB)", ""},
      {"piece.mid", "", "a MIDI file is not a sample", ""},
  };
  for (const Variant& v : variants) {
    if (*v.soxArgs) {
      ASSERT_TRUE(sox(v.soxArgs, v.file, std::string_view(v.file) == "long.wav" ? 800 : 1))
          << v.file;
    }
    for (bool ambient : {false, true}) {
      const std::string reason = ambient ? v.ambient : v.effect;
      testing::internal::CaptureStderr();
      StartSound();
      if (ambient)
        PlayAmbient(e, v.file);
      else
        PlaySound(e, v.file);
      const Levels l = Listen(0.3);
      const std::string err = testing::internal::GetCapturedStderr();
      const char* as = ambient ? " as ambient music" : " as an effect";
      if (reason.empty()) {
        EXPECT_TRUE(l.Audible()) << v.file << as << ": " << l << "\n" << err;
        EXPECT_EQ(err.find("yarrowind:"), std::string::npos) << v.file << as << ": " << err;
      } else {
        EXPECT_TRUE(l.Silent()) << v.file << as << ": " << l;
        EXPECT_NE(err.find(std::string(v.file) + ": " + reason), std::string::npos)
            << v.file << as << ": " << err;
      }
      Mute(e);
      e.ToldUnusable.clear();  // each use names the file anew
    }
  }
}

}  // namespace
}  // namespace yw::test
