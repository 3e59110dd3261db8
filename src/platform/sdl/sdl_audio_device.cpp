// The sound device over SDL2_mixer: samples are Mix_Chunks on mixer
// channels, the ambient stream and the MIDI piece are Mix_Music on the
// mixer's single music channel.
#include "platform/sdl/sdl_audio_device.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "audio/sound_file.h"
#include "platform/regular_file.h"

namespace yw {

namespace {

constexpr int kFrequency = 44100;
constexpr int kFirstChannels = 16;
constexpr int kMaxChannels = 256;

// A sound file for the mixer to read; null unless it is a regular file (a
// FIFO would block the mixer's opening of it).
SDL_RWops* OpenSoundFile(const std::filesystem::path& file) {
  FilePtr f = OpenRegularFile(file);
  if (!f) return nullptr;
  SDL_RWops* rw = SDL_RWFromFP(f.get(), SDL_TRUE);
  if (rw) f.release();
  return rw;
}

// A whole sound file decoded as a sample, or null. The file is opened and
// closed here rather than by the mixer: when the mixer fails to decode some
// files (a MIDI file given as an effect) it forgets to close a source it was
// asked to close.
Mix_Chunk* LoadChunk(const std::filesystem::path& file) {
  SDL_RWops* source = OpenSoundFile(file);
  if (!source) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 0);
  SDL_RWclose(source);
  return chunk;
}

// MIDI plays through FluidSynth with a complete General MIDI soundfont:
// the player's choice when it is one, else the TimGM6mb set that the web
// build plays too, so a game sounds alike in both. FluidSynth reports
// neither the piece's length nor its position, so the device reads the
// length from the file and counts the position in output mixed since the
// piece started (not on the wall clock: the output may run faster or
// slower than real time, as SDL's disk driver does). Without a
// soundfont, Timidity plays with the freepats patch set (which lacks a
// third of the instruments) unless the user chose a configuration of their
// own with TIMIDITY_CFG (the timidity package's own timidity.cfg uses
// "%font" lines the mixer's Timidity cannot read).
constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr const char* kFreepatsCfg = "/etc/timidity/freepats.cfg";

// The soundfont MIDI plays with; empty for none. A wanted one that cannot
// serve is named in `problem`.
std::filesystem::path ChooseSoundFont(const std::filesystem::path& wanted, std::string& problem) {
  if (!wanted.empty()) {
    problem = SoundFontProblem(wanted);
    if (problem.empty()) return wanted;
  }
  if (SoundFontProblem(kDefaultSoundFont).empty()) return kDefaultSoundFont;
  return {};
}

void ChooseMidiBackEnd(const std::filesystem::path& soundFont) {
  if (!soundFont.empty()) {
    SDL_SetHint("SDL_MIXER_DISABLE_FLUIDSYNTH", "0");
    Mix_SetSoundFonts(soundFont.c_str());
    return;
  }
  SDL_SetHint("SDL_MIXER_DISABLE_FLUIDSYNTH", "1");
  if (std::getenv("TIMIDITY_CFG") == nullptr) {
    std::error_code ec;
    if (std::filesystem::exists(kFreepatsCfg, ec)) Mix_SetTimidityCfg(kFreepatsCfg);
  }
}

// ALSA writes a line to stderr for every card it fails to open while SDL
// looks for an output, eight or more on a machine without sound. Its error
// handler is set to one that says nothing; the device reports the outcome
// itself, once. The library is the one SDL loads, so the handler holds for
// SDL's use of it too.
extern "C" void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

void* QuietAlsa() {
  void* alsa = dlopen("libasound.so.2", RTLD_NOW);
  if (!alsa) return nullptr;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
    set(&QuietAlsaError);
  return alsa;
}

class SdlAudioDevice final : public AudioDevice {
 public:
  explicit SdlAudioDevice(std::filesystem::path soundFont)
      : wantedSoundFont_(std::move(soundFont)) {}
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;
  ~SdlAudioDevice() override {
    Free();
    if (alsa_) dlclose(alsa_);
  }

  bool Init() override;
  bool Start() override;
  void Free() override;

  uint32_t SampleLoad(const std::filesystem::path& file, int maxPlaybacks,
                      bool replaceFurthest) override;
  uint32_t SamplePlay(uint32_t sample) override;
  bool SampleFree(uint32_t sample) override;
  bool ChannelIsActive(uint32_t channel) override;
  bool ChannelStop(uint32_t channel) override;

  uint32_t StreamCreateFile(const std::filesystem::path& file) override;
  bool StreamPlay(uint32_t stream, bool loop) override;
  bool StreamFree(uint32_t stream) override;

  bool MidiOpen(const std::filesystem::path& file) override;
  bool MidiPlay(double fromMs) override;
  bool MidiPause() override;
  bool MidiResume() override;
  void MidiClose() override;
  bool MidiPlaying() override;
  double MidiLengthMs() override;
  double MidiPositionMs() override;

 private:
  struct Sample {
    Mix_Chunk* chunk = nullptr;
    int maxPlaybacks = 1;
    bool replaceFurthest = false;
  };
  // One playback of a sample on a mixer channel. `order` grows with every
  // start, so the smallest order among a sample's playbacks is the one that
  // has played longest.
  struct Playback {
    uint32_t sample = 0;
    int mixChannel = -1;
    uint64_t order = 0;
  };

  uint32_t NewHandle();
  bool PlaybackActive(uint32_t handle, const Playback& p) const;
  std::vector<uint32_t> ActivePlaybacksOf(uint32_t sample) const;
  int StartOnFreeChannel(Mix_Chunk* chunk);
  uint32_t Record(uint32_t sample, int mixChannel);
  // Whether `music` is what the music channel plays now.
  bool OnMusicChannel(Mix_Music* music) const;
  void HaltMusicIf(Mix_Music* music);

  // Says once that there is no output; later attempts fail quietly.
  void TellNoDevice();

  // The ambient music decoded whole, for wave files the stream decoder
  // cannot take; it loops on the reserved mixer channel 0.
  uint32_t CreateSampleStream(const std::filesystem::path& file);
  bool SampleStreamActive(uint32_t stream) const;
  // Milliseconds of the MIDI piece played, counted in mixed output.
  double MidiClockMs() const;
  double MixedMs() const;
  // Called by the mixer's thread after each mixed buffer.
  static void CountMixed(void* device, Uint8* stream, int bytes);

  std::filesystem::path wantedSoundFont_;
  bool toldSoundFont_ = false;
  void* alsa_ = nullptr;
  bool toldNoDevice_ = false;
  bool open_ = false;
  bool started_ = false;
  uint32_t nextHandle_ = 1;
  uint64_t nextOrder_ = 1;
  std::unordered_map<uint32_t, Sample> samples_;
  std::unordered_map<uint32_t, Playback> playbacks_;
  std::vector<uint32_t> channelOwner_;  // per mixer channel: its latest playback
  std::unordered_map<uint32_t, Mix_Music*> streams_;
  std::unordered_map<uint32_t, Mix_Chunk*> sampleStreams_;
  uint32_t onSampleChannel_ = 0;  // the sample stream last started
  Mix_Music* midi_ = nullptr;
  double midiLengthMs_ = -1;  // read from the file
  // The MIDI clock: where the piece was at midiSinceMs_ (of mixed output),
  // and whether it runs (not paused).
  double midiAtMs_ = 0;
  double midiSinceMs_ = 0;
  bool midiClockRuns_ = false;
  std::atomic<uint64_t> mixedBytes_{0};
  uint64_t bytesPerSecond_ = uint64_t{kFrequency} * 4;
  Mix_Music* onMusicChannel_ = nullptr;  // the music last started
};

uint32_t SdlAudioDevice::NewHandle() {
  // Handles are never reused while the program runs (2^32 starts), so a
  // stale handle kept by the caller fails instead of hitting a new sound.
  uint32_t h = nextHandle_++;
  if (h == 0) h = nextHandle_++;
  return h;
}

void SdlAudioDevice::TellNoDevice() {
  if (toldNoDevice_) return;
  toldNoDevice_ = true;
  std::cerr << "yarrowind: no sound device (" << SDL_GetError() << "); playing without sound\n";
}

bool SdlAudioDevice::Init() {
  if (open_) return false;
  if (!alsa_) alsa_ = QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    TellNoDevice();
    return false;
  }
  std::string problem;
  const std::filesystem::path soundFont = ChooseSoundFont(wantedSoundFont_, problem);
  if (!problem.empty() && !toldSoundFont_) {
    toldSoundFont_ = true;
    std::cerr << "yarrowind: soundfont " << wantedSoundFont_.string() << ": " << problem
              << "; MIDI music plays with " << (soundFont.empty() ? "freepats" : soundFont.string())
              << "\n";
  }
  ChooseMidiBackEnd(soundFont);
  Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
  if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
    TellNoDevice();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (Mix_QuerySpec(&rate, &format, &channels) == 1 && rate > 0 && channels > 0)
    bytesPerSecond_ = static_cast<uint64_t>(rate) * static_cast<uint64_t>(channels) *
                      (SDL_AUDIO_BITSIZE(format) / 8);
  Mix_SetPostMix(&SdlAudioDevice::CountMixed, this);
  Mix_AllocateChannels(kFirstChannels);
  Mix_ReserveChannels(1);  // channel 0 plays ambient music decoded whole
  channelOwner_.assign(kFirstChannels, 0);
  open_ = true;
  started_ = false;
  return true;
}

bool SdlAudioDevice::Start() {
  if (!open_) return false;
  if (!started_) {
    Mix_Resume(-1);
    Mix_ResumeMusic();
    started_ = true;
  }
  return true;
}

void SdlAudioDevice::Free() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  for (auto& [handle, s] : samples_) Mix_FreeChunk(s.chunk);
  for (auto& [handle, m] : streams_) Mix_FreeMusic(m);
  for (auto& [handle, c] : sampleStreams_) Mix_FreeChunk(c);
  if (midi_) Mix_FreeMusic(midi_);
  sampleStreams_.clear();
  onSampleChannel_ = 0;
  samples_.clear();
  playbacks_.clear();
  streams_.clear();
  channelOwner_.clear();
  midi_ = nullptr;
  onMusicChannel_ = nullptr;
  Mix_SetPostMix(nullptr, nullptr);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
  started_ = false;
}

uint32_t SdlAudioDevice::SampleLoad(const std::filesystem::path& file, int maxPlaybacks,
                                    bool replaceFurthest) {
  if (!open_ || maxPlaybacks < 1) return 0;
  Mix_Chunk* chunk = LoadChunk(file);
  if (!chunk) return 0;
  const uint32_t h = NewHandle();
  samples_[h] = Sample{chunk, maxPlaybacks, replaceFurthest};
  return h;
}

bool SdlAudioDevice::PlaybackActive(uint32_t handle, const Playback& p) const {
  if (p.mixChannel < 0 || static_cast<size_t>(p.mixChannel) >= channelOwner_.size()) return false;
  return channelOwner_[static_cast<size_t>(p.mixChannel)] == handle &&
         Mix_Playing(p.mixChannel) != 0;
}

std::vector<uint32_t> SdlAudioDevice::ActivePlaybacksOf(uint32_t sample) const {
  std::vector<uint32_t> active;
  for (const auto& [handle, p] : playbacks_) {
    if (p.sample == sample && PlaybackActive(handle, p)) active.push_back(handle);
  }
  return active;
}

int SdlAudioDevice::StartOnFreeChannel(Mix_Chunk* chunk) {
  int ch = Mix_PlayChannel(-1, chunk, 0);
  while (ch < 0 && channelOwner_.size() < static_cast<size_t>(kMaxChannels)) {
    const int grown = static_cast<int>(channelOwner_.size()) * 2;
    Mix_AllocateChannels(grown);
    channelOwner_.resize(static_cast<size_t>(grown), 0);
    ch = Mix_PlayChannel(-1, chunk, 0);
  }
  return ch;
}

uint32_t SdlAudioDevice::Record(uint32_t sample, int mixChannel) {
  const uint32_t h = NewHandle();
  uint32_t& owner = channelOwner_[static_cast<size_t>(mixChannel)];
  playbacks_.erase(owner);  // the channel's previous playback is over
  owner = h;
  playbacks_[h] = Playback{sample, mixChannel, nextOrder_++};
  return h;
}

uint32_t SdlAudioDevice::SamplePlay(uint32_t sample) {
  auto it = samples_.find(sample);
  if (!open_ || it == samples_.end()) return 0;
  const Sample& s = it->second;
  const std::vector<uint32_t> active = ActivePlaybacksOf(sample);
  int ch = -1;
  if (static_cast<int>(active.size()) >= s.maxPlaybacks) {
    if (!s.replaceFurthest) return 0;
    uint32_t furthest = active.front();
    for (uint32_t h : active) {
      if (playbacks_[h].order < playbacks_[furthest].order) furthest = h;
    }
    ch = playbacks_[furthest].mixChannel;
    Mix_HaltChannel(ch);
    ch = Mix_PlayChannel(ch, s.chunk, 0);
  } else {
    ch = StartOnFreeChannel(s.chunk);
  }
  if (ch < 0 || static_cast<size_t>(ch) >= channelOwner_.size()) return 0;
  return Record(sample, ch);
}

bool SdlAudioDevice::SampleFree(uint32_t sample) {
  auto it = samples_.find(sample);
  if (it == samples_.end()) return false;
  for (auto p = playbacks_.begin(); p != playbacks_.end();) {
    if (p->second.sample != sample) {
      ++p;
      continue;
    }
    if (PlaybackActive(p->first, p->second)) Mix_HaltChannel(p->second.mixChannel);
    channelOwner_[static_cast<size_t>(p->second.mixChannel)] = 0;
    p = playbacks_.erase(p);
  }
  Mix_FreeChunk(it->second.chunk);
  samples_.erase(it);
  return true;
}

bool SdlAudioDevice::OnMusicChannel(Mix_Music* music) const {
  return music != nullptr && onMusicChannel_ == music && Mix_PlayingMusic() != 0;
}

void SdlAudioDevice::HaltMusicIf(Mix_Music* music) {
  if (music != nullptr && onMusicChannel_ == music) {
    Mix_HaltMusic();
    onMusicChannel_ = nullptr;
  }
}

bool SdlAudioDevice::ChannelIsActive(uint32_t channel) {
  if (auto p = playbacks_.find(channel); p != playbacks_.end())
    return PlaybackActive(channel, p->second);
  if (auto s = streams_.find(channel); s != streams_.end()) return OnMusicChannel(s->second);
  return SampleStreamActive(channel);
}

bool SdlAudioDevice::ChannelStop(uint32_t channel) {
  if (auto p = playbacks_.find(channel); p != playbacks_.end()) {
    if (PlaybackActive(channel, p->second)) Mix_HaltChannel(p->second.mixChannel);
    return true;
  }
  if (auto s = streams_.find(channel); s != streams_.end()) {
    HaltMusicIf(s->second);
    return true;
  }
  if (sampleStreams_.contains(channel)) {
    if (onSampleChannel_ == channel) Mix_HaltChannel(0);
    onSampleChannel_ = 0;
    return true;
  }
  return false;
}

uint32_t SdlAudioDevice::StreamCreateFile(const std::filesystem::path& file) {
  if (!open_) return 0;
  // The mixer's wave stream takes neither ADPCM nor a chunk of odd size
  // before the samples; such music, and any the stream refuses, is decoded
  // whole instead.
  if (!StreamTakes(InspectSoundFile(file, SoundUse::Music))) return CreateSampleStream(file);
  SDL_RWops* source = OpenSoundFile(file);
  Mix_Music* music = source ? Mix_LoadMUS_RW(source, 1) : nullptr;
  if (!music) return CreateSampleStream(file);
  const uint32_t h = NewHandle();
  streams_[h] = music;
  return h;
}

uint32_t SdlAudioDevice::CreateSampleStream(const std::filesystem::path& file) {
  Mix_Chunk* chunk = LoadChunk(file);
  if (!chunk) return 0;
  const uint32_t h = NewHandle();
  sampleStreams_[h] = chunk;
  return h;
}

bool SdlAudioDevice::SampleStreamActive(uint32_t stream) const {
  return stream != 0 && onSampleChannel_ == stream && Mix_Playing(0) != 0;
}

bool SdlAudioDevice::StreamPlay(uint32_t stream, bool loop) {
  if (!open_) return false;
  if (auto c = sampleStreams_.find(stream); c != sampleStreams_.end()) {
    // The music channel and the sample channel carry one piece at a time.
    if (onMusicChannel_) HaltMusicIf(onMusicChannel_);
    if (Mix_PlayChannel(0, c->second, loop ? -1 : 0) != 0) return false;
    onSampleChannel_ = stream;
    return true;
  }
  auto s = streams_.find(stream);
  if (s == streams_.end()) return false;
  if (onSampleChannel_) ChannelStop(onSampleChannel_);
  if (Mix_PlayMusic(s->second, loop ? -1 : 0) != 0) return false;
  onMusicChannel_ = s->second;
  return true;
}

bool SdlAudioDevice::StreamFree(uint32_t stream) {
  if (auto c = sampleStreams_.find(stream); c != sampleStreams_.end()) {
    ChannelStop(stream);
    Mix_FreeChunk(c->second);
    sampleStreams_.erase(c);
    return true;
  }
  auto s = streams_.find(stream);
  if (s == streams_.end()) return false;
  HaltMusicIf(s->second);
  Mix_FreeMusic(s->second);
  streams_.erase(s);
  return true;
}

bool SdlAudioDevice::MidiOpen(const std::filesystem::path& file) {
  MidiClose();
  if (!open_) return false;
  const SoundInfo info = InspectSoundFile(file, SoundUse::Music);
  if (info.kind != SoundKind::Midi || !info.problem.empty()) return false;
  SDL_RWops* source = OpenSoundFile(file);
  Mix_Music* music = source ? Mix_LoadMUS_RW(source, 1) : nullptr;
  if (!music) return false;
  if (Mix_GetMusicType(music) != MUS_MID) {
    Mix_FreeMusic(music);
    return false;
  }
  midi_ = music;
  midiLengthMs_ = info.lengthMs;
  midiClockRuns_ = false;
  midiAtMs_ = 0;
  return true;
}

void SdlAudioDevice::CountMixed(void* device, Uint8*, int bytes) {
  if (bytes > 0) static_cast<SdlAudioDevice*>(device)->mixedBytes_ += static_cast<uint64_t>(bytes);
}

double SdlAudioDevice::MixedMs() const {
  return static_cast<double>(mixedBytes_.load()) * 1000.0 / static_cast<double>(bytesPerSecond_);
}

double SdlAudioDevice::MidiClockMs() const {
  if (!midiClockRuns_) return midiAtMs_;
  return midiAtMs_ + MixedMs() - midiSinceMs_;
}

bool SdlAudioDevice::MidiPlay(double fromMs) {
  if (!open_ || !midi_) return false;
  if (onSampleChannel_) ChannelStop(onSampleChannel_);
  if (Mix_PlayMusic(midi_, 0) != 0) return false;
  onMusicChannel_ = midi_;
  midiAtMs_ = 0;
  if (fromMs > 0 && Mix_SetMusicPosition(fromMs / 1000.0) == 0) midiAtMs_ = fromMs;
  midiSinceMs_ = MixedMs();
  midiClockRuns_ = true;
  return true;
}

bool SdlAudioDevice::MidiPause() {
  if (!OnMusicChannel(midi_)) return false;
  Mix_PauseMusic();
  midiAtMs_ = MidiClockMs();
  midiClockRuns_ = false;
  return true;
}

bool SdlAudioDevice::MidiResume() {
  if (!OnMusicChannel(midi_)) return false;
  Mix_ResumeMusic();
  if (!midiClockRuns_) {
    midiSinceMs_ = MixedMs();
    midiClockRuns_ = true;
  }
  return true;
}

void SdlAudioDevice::MidiClose() {
  if (!midi_) return;
  HaltMusicIf(midi_);
  Mix_FreeMusic(midi_);
  midi_ = nullptr;
  midiLengthMs_ = -1;
  midiClockRuns_ = false;
}

bool SdlAudioDevice::MidiPlaying() { return OnMusicChannel(midi_); }

double SdlAudioDevice::MidiLengthMs() {
  if (!midi_) return -1;
  const double seconds = Mix_MusicDuration(midi_);
  return seconds < 0 ? midiLengthMs_ : seconds * 1000.0;
}

double SdlAudioDevice::MidiPositionMs() {
  if (!midi_) return -1;
  const double seconds = Mix_GetMusicPosition(midi_);
  return seconds < 0 ? MidiClockMs() : seconds * 1000.0;
}

}  // namespace

std::unique_ptr<AudioDevice> MakeSdlAudioDevice(std::filesystem::path soundFont) {
  return std::make_unique<SdlAudioDevice>(std::move(soundFont));
}

}  // namespace yw
