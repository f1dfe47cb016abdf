#include "platform/posix/posix_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/posix/posix_fd.h"

namespace orv {

namespace {

// Writes the chunks `next` hands out (nullopt at the end; a read error goes into its argument)
// over the start of `path` and cuts the file after them. Other writers of this program wait for
// the lock (advisory: readers are not held up).
template <typename NextChunk>
int Overwrite(const std::string& path, NextChunk next) {
  // O_CREAT only for a missing file: with it, Linux refuses to open another user's file in a
  // sticky folder (fs.protected_regular), which is just the folder this is for.
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
  if (!fd.Valid() && errno == ENOENT) fd.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (!fd.Valid()) return errno;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  while (::fcntl(fd.Get(), F_SETLKW, &lock) != 0 && errno == EINTR) {
  }
  off_t length = 0;
  for (;;) {
    int readError = 0;
    std::optional<std::string_view> chunk = next(readError);
    if (readError != 0) return readError;
    if (!chunk) break;
    if (!WriteAll(fd.Get(), *chunk)) return errno;
    length += static_cast<off_t>(chunk->size());
  }
  if (::ftruncate(fd.Get(), length) != 0 || ::fsync(fd.Get()) != 0) return errno;
  return fd.Close() ? 0 : errno;
}

}  // namespace

bool RenameRefused(int code) { return code == EPERM || code == EACCES; }

int OverwriteInPlace(const std::string& path, std::string_view bytes) {
  bool given = false;
  return Overwrite(path, [&](int&) -> std::optional<std::string_view> {
    if (given) return std::nullopt;
    given = true;
    return bytes;
  });
}

int ReplaceWithTemporary(const std::string& temp, const std::string& target) {
  if (::rename(temp.c_str(), target.c_str()) == 0) return 0;
  const int code = errno;
  if (!RenameRefused(code)) return code;
  UniqueFd source(::open(temp.c_str(), O_RDONLY | O_CLOEXEC));
  if (!source.Valid()) return code;
  char buffer[65536];
  const int copied = Overwrite(target, [&](int& error) -> std::optional<std::string_view> {
    ssize_t n;
    do {
      n = ::read(source.Get(), buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n < 0) error = errno;
    if (n <= 0) return std::nullopt;
    return std::string_view(buffer, static_cast<size_t>(n));
  });
  if (copied != 0) return copied;
  ::unlink(temp.c_str());
  return 0;
}

}  // namespace orv
