// Opening the files the game reads: only regular files. A FIFO, a device or
// a folder under an expected name is refused at once and never waited on.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace yw {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The file opened for reading when it is a regular file; null otherwise.
// The check is made on the opened file, so that nothing can slip a FIFO in
// between a check and the opening.
FilePtr OpenRegularFile(const std::filesystem::path& file);

}  // namespace yw
