#include "base/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "base/error.h"
#include "text/text.h"

namespace trovik::files {

namespace {

// Error texts name the path as the user knows it: 1250 text.
std::string Shown(const std::string& fsPath) { return FromPcPath(fsPath); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    int f = fd_;
    fd_ = -1;
    return f;
  }

 private:
  int fd_;
};

}  // namespace

std::string ReadAll(const std::string& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) throw CannotOpenFile(Shown(path));
  std::string out;
  if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw CannotOpenFile(Shown(path));
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

std::vector<std::string> ReadLines(const std::string& path) { return text::SplitLines(ReadAll(path)); }

std::string TempNameBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + kTempMarker + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

std::optional<long> TempWriterPid(std::string_view name) {
  const size_t at = name.rfind(kTempMarker);
  if (at == std::string_view::npos || at == 0) return std::nullopt;
  std::string_view rest = name.substr(at + std::string_view(kTempMarker).size());
  const size_t dash = rest.find('-');
  auto digits = [](std::string_view d) {
    return !d.empty() && d.size() <= 10 && d.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (dash == std::string_view::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1)))
    return std::nullopt;
  return std::stol(std::string(rest.substr(0, dash)));
}

int RemoveStaleTemps(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  const int fd = ::dirfd(dir);
  while (dirent* e = ::readdir(dir)) {
    const auto pid = TempWriterPid(e->d_name);
    if (!pid || *pid <= 0 || *pid == ::getpid()) continue;
    // A process that still runs (or that we may not signal) may still be writing.
    if (::kill(static_cast<pid_t>(*pid), 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlinkat(fd, e->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

bool ReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // The owner's write bit plays the read-only attribute: it is what refuses
  // the write even to root, who may write anything.
  return (st.st_mode & S_IWUSR) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

std::string FinalTarget(const std::string& path) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
    ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
    if (n <= 0) return p;
    link.resize(static_cast<size_t>(n));
    if (link[0] == '/') {
      p = link;
    } else {
      const size_t slash = p.rfind('/');
      p = (slash == std::string::npos ? std::string() : p.substr(0, slash + 1)) + link;
    }
  }
  return p;  // a loop of links: the write then fails on it
}

namespace {
bool WriteWhole(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// Why a new file could not be made, by errno: a folder that refuses new
// files cannot have the target written either.
Error CreateError(const std::string& path) {
  if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENOSPC || errno == EDQUOT)
    return UnableToWrite(Shown(path));
  return CannotCreateFile(Shown(path));
}
}  // namespace

void WriteAtomic(const std::string& path, std::string_view bytes, Flush flush) {
  // A link is written through: the file it names is replaced, in its own
  // folder, and the link stays a link.
  // Most writes make a new file: one look tells, and spares the checks below.
  struct stat st {};
  const bool fresh = ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
  const std::string target = fresh ? path : FinalTarget(path);
  // The platform refuses to create over a read-only file.
  if (!fresh && ReadOnlyFile(target)) throw CannotCreateFile(Shown(path));
  const std::string tmp = TempNameBeside(target);
  Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd.get() < 0) throw CreateError(path);
  // From here on every failure removes the temporary file.
  struct TempGuard {
    const std::string& name;
    bool armed = true;
    ~TempGuard() {
      if (armed) ::unlink(name.c_str());
    }
  } guard{tmp};
  if (!WriteWhole(fd.get(), bytes)) throw UnableToWrite(Shown(path));
  // Keep the old file's permission bits where there is one.
  if (!fresh && ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd.get(), st.st_mode & 07777);
  if ((flush == Flush::Now && ::fsync(fd.get()) != 0) || ::close(fd.release()) != 0) throw UnableToWrite(Shown(path));
  if (::rename(tmp.c_str(), target.c_str()) != 0) throw UnableToWrite(Shown(path));
  guard.armed = false;
}

void WriteNewOrAtomic(const std::string& path, std::string_view bytes) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return WriteAtomic(path, bytes, Flush::Later);
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd.get() < 0) {
    if (errno == EEXIST) return WriteAtomic(path, bytes, Flush::Later);  // made meanwhile
    throw CreateError(path);
  }
  if (!WriteWhole(fd.get(), bytes) || ::close(fd.release()) != 0) {
    ::unlink(path.c_str());
    throw UnableToWrite(Shown(path));
  }
}

void WriteLinesCrLf(const std::string& path, const std::vector<std::string>& lines) {
  WriteAtomic(path, text::JoinLinesCrLf(lines));
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t Size(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool CreateDir(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  if (::mkdir(p.c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsDirectory(p);
}

std::string FileNameOf(std::string_view path) {
  size_t p = path.find_last_of("/\\");
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtensionOf(std::string_view path) {
  size_t sep = path.find_last_of("/\\");
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {};
  return std::string(path.substr(dot));
}

std::string PcPath(std::string_view text1250) { return text::Cp1250ToUtf8(text1250); }

std::string FromPcPath(std::string_view fsPath) { return text::Utf8To1250Strict(fsPath); }

}  // namespace trovik::files
