#include "base/files.h"

#include <fcntl.h>
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
  return path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

void WriteAtomic(const std::string& path, std::string_view bytes) {
  std::string tmp = TempNameBeside(path);
  Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd.get() < 0) {
    // The folder refuses new files: the target cannot be written either.
    if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENOSPC || errno == EDQUOT)
      throw UnableToWrite(Shown(path));
    throw CannotCreateFile(Shown(path));
  }
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd.get(), p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd.release());
      ::unlink(tmp.c_str());
      throw UnableToWrite(Shown(path));
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  // Keep the old file's permission bits where there is one.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd.get(), st.st_mode & 07777);
  if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) {
    ::unlink(tmp.c_str());
    throw UnableToWrite(Shown(path));
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
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
