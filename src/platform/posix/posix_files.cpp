#include "platform/posix/posix_files.h"
#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_replace.h"
#include "util/file_name_match.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace orv {

namespace {

// Temporary names tried before a whole-file write gives up.
constexpr int kTempAttempts = 100;

void SetError(std::string* error, const std::string& path, int code) {
  if (error) *error = path + ": " + std::strerror(code);
}

std::optional<struct stat> Stat(const std::string& path) {
  struct stat st {};
  if (::stat(PosixFiles::ToPosixPath(path).c_str(), &st) != 0) return std::nullopt;
  return st;
}

}  // namespace

std::string PosixFiles::ToPosixPath(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

bool PosixFiles::FileExists(const std::string& path) {
  auto st = Stat(path);
  return st && S_ISREG(st->st_mode);
}

bool PosixFiles::DirectoryExists(const std::string& path) {
  auto st = Stat(path);
  return st && S_ISDIR(st->st_mode);
}

bool PosixFiles::CreateDirectory(const std::string& path) {
  return ::mkdir(ToPosixPath(path).c_str(), 0777) == 0;
}

std::optional<std::string> PosixFiles::ReadFile(const std::string& path) {
  UniqueFd fd(::open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

bool PosixFiles::WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  std::string target = ToPosixPath(path);
  size_t cut = target.find_last_of('/');
  std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? target : target.substr(cut + 1);

  // A save that was killed leaves its temporary file behind, and process ids come round again:
  // a name that is taken is passed over, never written into.
  std::string temp;
  UniqueFd fd(-1);
  for (int attempt = 0; !fd.Valid() && attempt < kTempAttempts; ++attempt) {
    temp = folder + "~" + name + "." + std::to_string(::getpid()) + "." +
           std::to_string(tempCounter_.fetch_add(1) + 1) + ".tmp";
    fd.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.Valid() && errno != EEXIST) break;
  }
  if (!fd.Valid()) {
    SetError(error, path, errno);
    return false;
  }
  if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
    int code = errno;
    fd.Close();
    ::unlink(temp.c_str());
    SetError(error, path, code);
    return false;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int code = errno;
    ::unlink(temp.c_str());
    // A folder that lets this user write files but not rename over them: the target is
    // overwritten in place, after the temporary file has given back its room.
    if (RenameRefused(code)) code = OverwriteInPlace(target, bytes);
    if (code == 0) return true;
    SetError(error, path, code);
    return false;
  }
  return true;
}

bool PosixFiles::AppendToFile(const std::string& path, std::string_view bytes, std::string* error) {
  UniqueFd fd(::open(ToPosixPath(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!fd.Valid()) {
    SetError(error, path, errno);
    return false;
  }
  if (bytes.empty()) return true;
  // Appenders of this program take turns through a lock on the whole file (advisory: readers are
  // not held up), so that a line cut short can be taken back below without touching a line
  // another process appended after it. A file system without locks is written without.
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  int locked;
  do {
    locked = ::fcntl(fd.Get(), F_SETLKW, &lock);
  } while (locked != 0 && errno == EINTR);
  const off_t start = ::lseek(fd.Get(), 0, SEEK_END);
  // One write call, so that lines of concurrent writers do not interleave.
  ssize_t n;
  do {
    n = ::write(fd.Get(), bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    SetError(error, path, errno);
    return false;
  }
  if (static_cast<size_t>(n) != bytes.size()) {
    // A full disk (or a file size limit) cut the line short: the part written goes again, so
    // that the log never holds half a line with the next writer's line glued to it.
    if (locked == 0 && start >= 0) static_cast<void>(::ftruncate(fd.Get(), start));
    SetError(error, path, ENOSPC);
    return false;
  }
  return true;
}

bool PosixFiles::RemoveFile(const std::string& path) {
  auto st = Stat(path);
  if (!st || S_ISDIR(st->st_mode)) return false;
  return ::unlink(ToPosixPath(path).c_str()) == 0;
}

std::optional<std::vector<std::string>> PosixFiles::ListFiles(const std::string& folder,
                                                              const std::string& pattern) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(ToPosixPath(folder), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (FileNameMatches(name, pattern)) names.push_back(std::move(name));
  }
  if (ec) return std::nullopt;
  return names;
}

std::optional<int64_t> PosixFiles::FileSize(const std::string& path) {
  auto st = Stat(path);
  if (!st || S_ISDIR(st->st_mode)) return std::nullopt;
  return static_cast<int64_t>(st->st_size);
}

std::optional<DateTime> PosixFiles::LastWriteTime(const std::string& path) {
  auto st = Stat(path);
  if (!st) return std::nullopt;
  std::tm local{};
  time_t seconds = st->st_mtim.tv_sec;
  if (!::localtime_r(&seconds, &local)) return std::nullopt;
  DateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(st->st_mtim.tv_nsec / 1000000);
  return t;
}

}  // namespace orv
