#include "world/paths.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "platform/encoding.h"

namespace yw {

namespace fs = std::filesystem;

std::string ToLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string GameName(std::string_view name) {
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii || !IsUtf8(name)) return std::string(name);
  std::string converted = Utf8ToCp1252(name);
  // A character without a code became '?': such a name stays as it is.
  if (std::count(converted.begin(), converted.end(), '?') !=
      std::count(name.begin(), name.end(), '?'))
    return std::string(name);
  return converted;
}

std::string FoldName(std::string_view name) {
  std::string out = GameName(name);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
      c = static_cast<char>(u + 0x20);
    else if (u == 0x8A || u == 0x8C || u == 0x8E)  // Š Œ Ž
      c = static_cast<char>(u + 0x10);
    else if (u == 0x9F)  // Ÿ
      c = static_cast<char>(0xFF);
  }
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

namespace {

// Splits a name at backslashes and slashes into its non-empty parts.
template <class F>
void ForEachPart(std::string_view name, F&& f) {
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    if (!part.empty() && part != ".") f(part);
    start = end + 1;
  }
}

bool IsAbsolute(std::string_view name) {
  return !name.empty() && (name.front() == '\\' || name.front() == '/');
}

// The entry of `dir` that `part` names, ignoring letter case.
std::optional<fs::path> MatchEntry(const fs::path& dir, std::string_view part) {
  std::error_code ec;
  if (part == "..") return dir / "..";
  const fs::path exact = dir / std::string(part);
  if (fs::exists(exact, ec)) return exact;
  // A Windows-1252 name finds the UTF-8 name of the same letters too.
  const std::string want = FoldName(part);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (FoldName(it->path().filename().string()) == want) return it->path();
  }
  return std::nullopt;
}

}  // namespace

fs::path FromWindowsName(std::string_view name) {
  fs::path out = IsAbsolute(name) ? fs::path("/") : fs::path();
  ForEachPart(name, [&](std::string_view part) { out /= std::string(part); });
  return out;
}

bool IsInsideFolder(const fs::path& folder, const fs::path& path) {
  std::error_code ec;
  const fs::path root = fs::canonical(folder, ec);
  if (ec) return false;
  const fs::path real = fs::canonical(path, ec);
  if (ec) return false;
  // Compared part by part, so that "/games/a" does not contain "/games/ab".
  auto r = root.begin();
  for (auto p = real.begin(); r != root.end(); ++r, ++p) {
    if (p == real.end() || *p != *r) return false;
  }
  return true;
}

std::optional<fs::path> ResolvePath(const fs::path& base, std::string_view name,
                                    const fs::path& shared) {
  if (TrimBlanks(name).empty() || IsAbsolute(name)) return std::nullopt;
  fs::path at = base;
  bool ok = true;
  ForEachPart(name, [&](std::string_view part) {
    if (!ok) return;
    auto next = MatchEntry(at, part);
    if (next) at = *next;
    else ok = false;
  });
  if (!ok) return std::nullopt;
  std::error_code ec;
  if (!fs::exists(at, ec)) return std::nullopt;
  if (!IsInsideFolder(base, at) && (shared.empty() || !IsInsideFolder(shared, at)))
    return std::nullopt;
  return at;
}

fs::path PathForWriting(const fs::path& base, std::string_view name) {
  fs::path at = IsAbsolute(name) ? fs::path("/") : base;
  std::vector<std::string> parts;
  ForEachPart(name, [&](std::string_view part) { parts.emplace_back(part); });
  for (size_t i = 0; i < parts.size(); ++i) {
    auto next = MatchEntry(at, parts[i]);
    if (next) {
      at = *next;
    } else {
      for (size_t j = i; j < parts.size(); ++j) at /= parts[j];
      break;
    }
  }
  return at;
}

bool FileExists(const fs::path& base, std::string_view name, const fs::path& shared) {
  auto p = ResolvePath(base, name, shared);
  std::error_code ec;
  return p && fs::is_regular_file(*p, ec);
}

}  // namespace yw
