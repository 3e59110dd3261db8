// Feeds arbitrary bytes to the player's settings reader as settings.ini:
// every line is used or named as a problem, each problem prints as plain
// text, and nothing crashes, hangs or runs out of memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "process_folder.h"
#include "shell/user_settings.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const yw::fuzz::ProcessFolder folder("yw-fuzz-user-settings-");
  return folder.path();
}

size_t parsed = 0;  // inputs the reader read and parsed

// A message as stderr shows it: well-formed, no control characters but
// line feed and tab.
bool Printable(const std::string& message) {
  const std::string shown = yw::PrintableText(message);
  for (char c : shown)
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7F) return false;
  return yw::IsUtf8(shown);
}

}  // namespace

// For the smoke test: how many inputs reached the reader.
extern "C" size_t YwFuzzReached() { return parsed; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path file = Folder() / "settings.ini";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // Key names as a window system knows them: short ones without a digit,
  // so that lines naming known and unknown keys both occur.
  const yw::KeyNameCheck known = [](std::string_view name) {
    return name.size() <= 12 && name.find_first_of("0123456789") == std::string_view::npos;
  };
  std::vector<std::string> problems;
  const yw::UserSettings s = yw::LoadUserSettings(file, problems, known);
  if (s.source == file.string()) ++parsed;
  for (const std::string& p : problems)
    if (!Printable(p)) std::abort();
  if (s.scale < 0 || s.scale > 16) std::abort();
  auto named = [](const auto& keys) {
    for (const auto& chords : keys)
      for (const yw::KeyChord& c : chords)
        if (c.name.empty()) return false;
    return true;
  };
  if (!named(s.gameKeys) || !named(s.comfortKeys)) std::abort();
  return 0;
}
