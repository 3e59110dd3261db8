// The MIDI music player: one piece at a time under the alias "MUSIC",
// driven by media control command strings. PlayAmbient starts and stops
// it, and the sound housekeeping restarts a finished piece so that MIDI
// music loops.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "audio/mci.h"

namespace yw {

class Platform;

class CDXVBMusic {
 public:
  CDXVBMusic() = default;
  CDXVBMusic(const CDXVBMusic&) = delete;
  CDXVBMusic& operator=(const CDXVBMusic&) = delete;
  ~CDXVBMusic() { StopMusic(); }

  // Binds the player to the window: its audio device carries the music,
  // its message box shows a failed start.
  void Create(Platform& window);
  bool Created() const { return m_hWnd != nullptr; }

  // Restarts the piece when it has reached its end; true while it plays.
  bool LoopIfYouCan();
  // Opens and starts a MIDI file from its beginning.
  bool PlayMusic(std::string_view Filename);
  void StopMusic();
  bool PauseMusic();
  bool ResumeMusic();
  bool RestartMusic();

  // True after a successful start, false after a stop or pause.
  bool MidiPlay = false;

 private:
  MciError Send(std::string_view command, std::string* reply = nullptr);

  Platform* m_hWnd = nullptr;
  std::optional<Mci> mci_;
  std::string fileName_;
};

}  // namespace yw
