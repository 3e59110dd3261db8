// File names as games write them: backslashes, any letter case. These
// helpers find the file they mean on a case-sensitive file system.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace yw {

// Turns a Windows-style relative or absolute name into a path with forward
// slashes; "." and empty parts are dropped.
std::filesystem::path FromWindowsName(std::string_view name);

// Finds the existing file or folder that `name` means relative to `base`,
// matching each part of the name against the folder's entries without
// regard to letter case (an exact match wins). Returns nullopt when some
// part does not exist, and also when the name is absolute or the file it
// leads to (by "..", or through links) lies outside `base` and outside
// `shared`: a game reads inside its own folder and inside the program
// folder, whose games may share files ("..\common\a.map"), and nowhere
// else. An empty `shared` allows `base` alone.
std::optional<std::filesystem::path> ResolvePath(const std::filesystem::path& base,
                                                 std::string_view name,
                                                 const std::filesystem::path& shared = {});

// Whether `path`, with every link followed, lies inside `folder` (or is it).
bool IsInsideFolder(const std::filesystem::path& folder, const std::filesystem::path& path);

// The path to create or write `name` at: the existing folders are resolved
// as above, the last part is kept as written (or the existing file's
// spelling when one exists).
std::filesystem::path PathForWriting(const std::filesystem::path& base, std::string_view name);

// Whether `name` resolves, as above, to a file (not a folder).
bool FileExists(const std::filesystem::path& base, std::string_view name,
                const std::filesystem::path& shared = {});

// A file name as the game's texts spell it, in Windows-1252: a name read
// from the disk in UTF-8 (as Linux stores "café.skr") is converted when
// every character has a Windows-1252 code; any other name is kept as it is.
std::string GameName(std::string_view name);
// A name for comparing without regard to letter case: GameName, with the
// letters of Windows-1252 lower-cased (A-Z, and É, À, Ö, Š, Œ and the
// others). "CAFÉ.SKR" in a map and "café.skr" on the disk compare equal.
std::string FoldName(std::string_view name);

// Lower-cases ASCII letters only (texts are Windows-1252 bytes).
std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
// Trims blanks (the space character only) at both ends.
std::string_view TrimBlanks(std::string_view s);

}  // namespace yw
