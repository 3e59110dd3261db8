#include "audio/midi_player.h"

#include <charconv>

#include "platform/platform.h"

namespace yw {

namespace {

constexpr size_t kReplyBuffer = 128;
constexpr size_t kErrorBuffer = 128;

// The numeric value of a reply: its leading decimal number, 0 when it
// starts with none.
double NumericValue(std::string_view reply) {
  double v = 0;
  const auto [end, ec] = std::from_chars(reply.data(), reply.data() + reply.size(), v);
  return ec == std::errc() ? v : 0;
}

}  // namespace

void CDXVBMusic::Create(Platform& window) {
  if (mci_) StopMusic();
  m_hWnd = &window;
  mci_.emplace(window.Audio());
}

MciError CDXVBMusic::Send(std::string_view command, std::string* reply) {
  if (!mci_) return MciError::DeviceNotOpen;
  return mci_->SendString(command, reply, kReplyBuffer);
}

bool CDXVBMusic::LoopIfYouCan() {
  std::string reply;
  Send("set MUSIC time format frames", &reply);
  if (Send("status MUSIC length", &reply) != MciError::None) return false;
  const double length = NumericValue(reply);
  if (Send("status MUSIC position", &reply) != MciError::None) return false;
  const double position = NumericValue(reply);
  if (position >= length - 1) return PlayMusic(fileName_);
  return true;
}

bool CDXVBMusic::PlayMusic(std::string_view Filename) {
  fileName_ = std::string(Filename);
  if (Send("close all") != MciError::None) return false;
  if (Send("open " + fileName_ + " type sequencer alias MUSIC") != MciError::None) return false;
  const MciError error = Send("play MUSIC from 0 notify");
  if (error != MciError::None) {
    std::string text(MciErrorText(error).substr(0, kErrorBuffer - 1));
    text = text.substr(0, text.find('\0'));
    if (m_hWnd) m_hWnd->MessageBox("", text);
    return false;
  }
  MidiPlay = true;
  return true;
}

void CDXVBMusic::StopMusic() {
  Send("close all");
  MidiPlay = false;
}

bool CDXVBMusic::PauseMusic() {
  if (Send("stop MUSIC") != MciError::None) return false;
  MidiPlay = false;
  return true;
}

bool CDXVBMusic::ResumeMusic() { return Send("play MUSIC notify") == MciError::None; }

bool CDXVBMusic::RestartMusic() {
  if (Send("play MUSIC from 0 notify") != MciError::None) return false;
  MidiPlay = true;
  return true;
}

}  // namespace yw
