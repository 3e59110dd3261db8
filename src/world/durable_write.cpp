#include "world/durable_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace yw {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now; false when the close reports an error (a delayed write
  // failure on some file systems).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Creates the new file in the folder. It is always a fresh file: never an
// existing one and never the end of a symbolic link. A leftover from a save
// that was cut short is removed first.
int CreateFresh(int dir, const std::string& name) {
  constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(dir, name.c_str(), flags, 0666);
  if (fd < 0 && errno == EEXIST && ::unlinkat(dir, name.c_str(), 0) == 0)
    fd = ::openat(dir, name.c_str(), flags, 0666);
  return fd;
}

}  // namespace

bool ReplaceFileDurably(const fs::path& target, std::string_view bytes) {
  const std::string name = target.filename().string();
  if (name.empty() || name == "." || name == "..") return false;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return false;

  const std::string temp = "." + name + ".new";
  FileHandle file(CreateFresh(dir.get(), temp));
  if (file.get() < 0) return false;
  const bool written = WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.Close();
  if (!written || ::renameat(dir.get(), temp.c_str(), dir.get(), name.c_str()) != 0) {
    ::unlinkat(dir.get(), temp.c_str(), 0);
    return false;
  }
  // The file is in place; flushing the folder makes the rename itself
  // survive a power cut. A file system that cannot flush folders still has
  // the complete new file.
  ::fsync(dir.get());
  return true;
}

}  // namespace yw
