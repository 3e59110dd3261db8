#include "audio/sound.h"

#include <array>
#include <filesystem>
#include <limits>
#include <optional>

#include "audio/sound_file.h"
#include "audio/sound_state.h"
#include "core/engine.h"
#include "core/game_names.h"
#include "core/window_state.h"
#include "world/paths.h"

namespace yw {

namespace {

// Simultaneous playbacks of one effect; a fourth restarts the oldest.
constexpr int kMaxPlaybacks = 3;
constexpr std::array<std::string_view, 3> kAmbientExtensions = {".wav", ".mp3", ".mid"};

AudioDevice& Device(Engine& e) { return e.platform.Audio(); }

// The existing file a game's sound name means (folders do not count).
std::optional<std::filesystem::path> SoundFile(const Engine& e, std::string_view name) {
  if (name.empty()) return std::nullopt;
  auto file = ResolveGameName(e, name);
  std::error_code ec;
  if (!file || !std::filesystem::is_regular_file(*file, ec)) return std::nullopt;
  return file;
}

// Whether the file's header allows decoding it for `use`; a file that does
// not is named on stderr with the reason.
bool Usable(Engine& e, const std::filesystem::path& file, SoundUse use) {
  const SoundInfo info = InspectSoundFile(file, use);
  if (info.problem.empty()) return true;
  e.TellUnusable(file, info.problem);
  return false;
}

bool SameFile(std::string_view a, std::string_view b) {
  return ToLower(TrimBlanks(a)) == ToLower(TrimBlanks(b));
}

// Index of the loaded effect for the file, 0 when none.
int FindEffect(const SoundState& s, std::string_view file) {
  for (int i = 1; i <= s.SoundChannelCount; ++i) {
    if (SameFile(s.SoundChannels[i].file, file)) return i;
  }
  return 0;
}

// A name without extension becomes the first of name.wav, name.mp3 and
// name.mid that exists; otherwise the name stays as it is.
std::string WithAmbientExtension(const Engine& e, std::string_view Datei) {
  std::string name(Datei);
  if (name.size() <= 1 || name.find('.') != std::string::npos) return name;
  for (std::string_view ext : kAmbientExtensions) {
    const std::string candidate = name + std::string(ext);
    if (GameFileExists(e, TrimBlanks(candidate))) return candidate;
  }
  return name;
}

bool IsMidiName(std::string_view trimmed) {
  return trimmed.size() >= 4 && ToLower(trimmed.substr(trimmed.size() - 4)) == ".mid";
}

// Frees every effect whose last playback has finished. An entry removed
// lets the next one move into its index, which is examined again.
void SweepFinishedEffects(Engine& e) {
  SoundState& s = e.sound;
  int i = 1;
  while (i <= s.SoundChannelCount) {
    if (Device(e).ChannelIsActive(s.SoundChannels[i].channel)) {
      ++i;
      continue;
    }
    Device(e).SampleFree(s.SoundChannels[i].sample);  // a failure changes nothing
    s.SoundChannels.Remove(i);
    --s.SoundChannelCount;
  }
  if (s.SoundChannelCount == 0) s.SoundChannels.Reset();
}

}  // namespace

CDXVBMusic& Music(Engine& e) {
  if (!e.sound.Music.Created()) e.sound.Music.Create(e.platform);
  return e.sound.Music;
}

void SoundInit(Engine& e) {
  if (!e.win.SoundOn) return;
  if (!Device(e).Init()) {
    e.win.SoundOn = false;
    return;
  }
  e.win.SoundOn = Device(e).Start();
}

void Mute(Engine& e) {
  Device(e).Free();
  Music(e).StopMusic();
  SoundState& s = e.sound;
  for (int i = 1; i <= s.SoundChannelCount; ++i) Device(e).SampleFree(s.SoundChannels[i].sample);
  s.SoundChannelCount = 0;
  s.SoundChannels.Reset();
  s.AmbientStream = 0;  // released with everything else
}

void PlaySound(Engine& e, std::string_view Datei) {
  if (!e.win.SoundOn) return;
  SoundState& s = e.sound;
  if (const int i = FindEffect(s, Datei); i > 0) {
    s.SoundChannels[i].channel = Device(e).SamplePlay(s.SoundChannels[i].sample);
    return;
  }
  const auto file = SoundFile(e, TrimBlanks(Datei));
  if (!file || !Usable(e, *file, SoundUse::Effect)) return;
  const uint32_t sample = Device(e).SampleLoad(*file, kMaxPlaybacks, true);
  if (sample == 0) {
    e.TellUnusable(*file, "the sound cannot be decoded");
    return;
  }
  const uint32_t channel = Device(e).SamplePlay(sample);
  // A sample whose first playback fails stays loaded until Mute; so does
  // one beyond the table's 16-bit count.
  if (channel == 0 || s.SoundChannelCount == std::numeric_limits<int16_t>::max()) return;
  ++s.SoundChannelCount;
  s.SoundChannels.Resize(s.SoundChannelCount);
  s.SoundChannels[s.SoundChannelCount] = SoundChannel{std::string(Datei), sample, channel};
}

void PlayAmbient(Engine& e, std::string_view Datei) {
  e.world.AmbientName = std::string(Datei);
  if (!e.win.SoundOn) return;
  Music(e).StopMusic();
  const std::string name = WithAmbientExtension(e, Datei);
  const std::string_view trimmed = TrimBlanks(name);
  const auto file = SoundFile(e, trimmed);
  SoundState& s = e.sound;
  if (!file || !Usable(e, *file, SoundUse::Music)) {
    Device(e).ChannelStop(s.AmbientStream);
    return;
  }
  if (IsMidiName(trimmed)) {
    Device(e).ChannelStop(s.AmbientStream);
    if (!Music(e).PlayMusic(file->string()))
      e.TellUnusable(*file, "the MIDI music cannot be played");
    return;
  }
  Device(e).StreamFree(s.AmbientStream);
  s.AmbientStream = 0;
  const uint32_t stream = Device(e).StreamCreateFile(*file);
  if (stream == 0) {
    e.TellUnusable(*file, "the music cannot be decoded");
    return;
  }
  s.AmbientStream = stream;
  Device(e).StreamPlay(stream, true);
}

void SoundHousekeeping(Engine& e) {
  CDXVBMusic& music = e.sound.Music;
  if (!music.MidiPlay && e.sound.SoundChannelCount <= 0) return;
  const Millis t = e.Now();
  WindowState& w = e.win;
  if (!(w.NextSoundSweep < t)) return;
  w.NextSoundSweep = t + w.TimeSoundTime;
  if (music.MidiPlay) music.LoopIfYouCan();
  SweepFinishedEffects(e);
}

}  // namespace yw
