// Whole-file copies between the PC and the device: one block of the file's
// size, one read, one write, every failure reported in its own message.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "base/files.h"
#include "device/device_link.h"
#include "device/replace.h"
#include "device/wide_path.h"
#include "text/text.h"

namespace trovik::device {

namespace {

const char kCr = '\r';

std::string Num(uint64_t n) { return std::to_string(n); }

rapi::FILETIME ToFileTime(const statx_timestamp& t) {
  int64_t s = t.tv_sec + rapi::kEpochDeltaSeconds;
  if (s < 0) return rapi::FileTime(0);
  return rapi::FileTime(static_cast<uint64_t>(s) * 10000000u + t.tv_nsec / 100);
}

// Open-always for reading: a missing file is created empty. A folder opens
// too on this platform, and then fails at the read.
int OpenAlwaysForReading(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  return fd;
}

// Reads until `size` bytes or the end; -1 with errno on failure.
int64_t ReadWhole(int fd, char* buffer, uint64_t size) {
  uint64_t total = 0;
  while (total < size) {
    ssize_t n = read(fd, buffer + total, size - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    total += static_cast<uint64_t>(n);
  }
  return static_cast<int64_t>(total);
}

bool WriteWhole(int fd, const char* buffer, uint64_t size) {
  uint64_t total = 0;
  while (total < size) {
    ssize_t n = write(fd, buffer + total, size - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    total += static_cast<uint64_t>(n);
  }
  return true;
}

// The transfer block: `size` bytes, filled by the read at once. Large blocks
// are mapped in huge pages where the system allows, since faulting in a
// fresh block page by page costs more than the copy itself.
class TransferBlock {
 public:
  explicit TransferBlock(uint64_t size) {
    constexpr uint64_t kHuge = 2u << 20;
    if (size >= 2 * kHuge) {
      mapped_ = size + kHuge;
      void* p = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p == MAP_FAILED) {
        mapped_ = 0;
        return;
      }
      base_ = static_cast<char*>(p);
      auto aligned = (reinterpret_cast<uintptr_t>(base_) + kHuge - 1) & ~static_cast<uintptr_t>(kHuge - 1);
      data_ = reinterpret_cast<char*>(aligned);
      madvise(data_, size, MADV_HUGEPAGE);
    } else {
      owned_.reset(new (std::nothrow) char[size ? size : 1]);
      data_ = owned_.get();
    }
  }
  // The whole of a PC file, mapped read-only in place of a copy of it. The
  // mapping is only handed to the device write, never touched here, so a
  // file cut short meanwhile makes that write fail instead of the program.
  static std::unique_ptr<TransferBlock> MapFile(int fd, uint64_t size) {
    void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p == MAP_FAILED) return nullptr;
    auto block = std::unique_ptr<TransferBlock>(new TransferBlock(0));
    block->owned_.reset();
    block->base_ = block->data_ = static_cast<char*>(p);
    block->mapped_ = size;
    return block;
  }
  ~TransferBlock() { reset(); }
  TransferBlock(const TransferBlock&) = delete;
  TransferBlock& operator=(const TransferBlock&) = delete;
  void reset() {
    if (mapped_) munmap(base_, mapped_);
    mapped_ = 0;
    owned_.reset();
    data_ = nullptr;
  }
  char* get() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  std::unique_ptr<char[]> owned_;
  char* base_ = nullptr;
  char* data_ = nullptr;
  size_t mapped_ = 0;
};

// Owns an open PC file.
class PcFile {
 public:
  explicit PcFile(int fd) : fd_(fd) {}
  ~PcFile() { close(); }
  PcFile(const PcFile&) = delete;
  PcFile& operator=(const PcFile&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now; false (errno set) when the close reports a failed write.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Owns an open device file handle.
class DeviceFile {
 public:
  DeviceFile(DeviceApi& api, HANDLE handle) : api_(api), handle_(handle) {}
  ~DeviceFile() { close(); }
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != rapi::INVALID_HANDLE_VALUE; }
  void close() {
    if (valid()) api_.CeCloseHandle(handle_);
    handle_ = rapi::INVALID_HANDLE_VALUE;
  }

 private:
  DeviceApi& api_;
  HANDLE handle_;
};

// A file a copy made for itself, deleted when the copy ends unless kept.
template <typename Remove>
class Scratch {
 public:
  explicit Scratch(Remove remove) : remove_(std::move(remove)) {}
  ~Scratch() {
    if (armed_) remove_();
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  void arm() { armed_ = true; }
  void keep() { armed_ = false; }

 private:
  Remove remove_;
  bool armed_ = false;
};

}  // namespace

Outcome CopyFileToDevice(DeviceLink& link, Host& host, const RunFlags& flags, const std::string& pcPath,
                         const std::string& devicePath) {
  // The flag comes before the initialisation, so that at shut-down a copy
  // neither waits for the device nor reopens the connection.
  if (flags.shutDown) return Outcome::Failed;
  if (!RapiInitBounded(link, host)) return Outcome::Failed;
  DeviceApi& api = link.api;

  PcFile pc(OpenAlwaysForReading(files::PcPath(pcPath)));
  if (!pc.valid()) {
    host.showError("Error: Neviem otvorit súbor "_1250.bytes() + pcPath);
    return Outcome::Failed;
  }
  struct statx sx {};
  rapi::FILETIME created{}, accessed{}, written{};
  if (statx(pc.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
    written = ToFileTime(sx.stx_mtime);
    accessed = ToFileTime(sx.stx_atime);
    created = (sx.stx_mask & STATX_BTIME) ? ToFileTime(sx.stx_btime) : written;
  }

  // The data goes to a temporary file beside the target, which takes the
  // target's place only once all of it is written: a cut or failed copy
  // leaves the old device file whole. A library without the move entry, or a
  // folder that refuses the temporary name, gets the target written in place.
  const std::string temp = devicePath + kDeviceTempSuffix;
  Scratch tempFile([&] { api.CeDeleteFile(Widen1250(temp)); });
  HANDLE handle = api.Available(kCeMoveFile) ? CreateDeviceTempFile(api, Widen1250(temp)) : rapi::INVALID_HANDLE_VALUE;
  const bool viaTemp = handle != rapi::INVALID_HANDLE_VALUE;
  if (viaTemp) {
    tempFile.arm();
  } else {
    handle = api.CeCreateFile(Widen1250(devicePath), rapi::GENERIC_WRITE, rapi::FILE_SHARE_WRITE, rapi::CREATE_ALWAYS, 0);
  }
  auto createFailed = [&](DWORD error) {
    host.showError("Error #" + Num(error) + ": neviem vytvoriť file v PDA."_1250.bytes() + kCr + "Cesty pre su v poriadku " +
                   devicePath + "?");
    return Outcome::Failed;
  };
  if (handle == rapi::INVALID_HANDLE_VALUE) return createFailed(api.CeGetLastError());
  // Closed before the temporary file is moved or deleted: declared after it.
  DeviceFile dev(api, handle);

  // The size travels as 32 bits: 0xFFFFFFFF is the failure value, and a file
  // that does not fit is refused rather than cut to its low 32 bits.
  struct stat st {};
  uint64_t size = 0;
  if (fstat(pc.get(), &st) != 0) {
    size = rapi::INVALID_FILE_SIZE;
  } else {
    size = static_cast<uint64_t>(st.st_size);
    if (size >= rapi::INVALID_FILE_SIZE) {
      errno = EFBIG;
      size = rapi::INVALID_FILE_SIZE;
    }
  }
  std::unique_ptr<TransferBlock> block;
  int64_t got = -1;
  if (size != rapi::INVALID_FILE_SIZE && S_ISREG(st.st_mode) && size >= (4u << 20)) {
    block = TransferBlock::MapFile(pc.get(), size);
    if (block) got = static_cast<int64_t>(size);
  }
  if (!block && size != rapi::INVALID_FILE_SIZE) {
    block = std::make_unique<TransferBlock>(size);
    if (!*block) {
      block.reset();
      errno = ENOMEM;
    }
  }
  if (!block) {
    host.showError("Error #" + Num(static_cast<unsigned>(errno)) + ": Could not allocate file buffer.");
    return Outcome::Failed;
  }
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;  // what a read of a folder gives here
  } else if (got < 0) {
    got = ReadWhole(pc.get(), block->get(), size);
  }
  if (got < 0) {
    host.showError("Error #" + Num(static_cast<unsigned>(errno)) + ": neviem prečítať file v PC."_1250.bytes());
    return Outcome::Failed;
  }

  DWORD done = 0;
  if (!api.CeWriteFile(dev.get(), block->get(), static_cast<DWORD>(got), &done)) {
    const DWORD error = api.CeGetLastError();
    block.reset();
    if (got > 0) {
      host.showError("Error #" + Num(error) + ": neviem zapísať file do PDA."_1250.bytes() + kCr + "Cesty pre su v poriadku " +
                     devicePath + "?");
      link.copyOption.ticked = false;
      link.copyOption.enabled = false;
      host.stateChanged();
    }
    return Outcome::Failed;
  }
  Outcome outcome = Outcome::Done;
  if (!api.CeSetFileTime(dev.get(), &created, &accessed, &written)) {
    host.showError("Cas sa nepodarilo nastavit");
    outcome = Outcome::DoneWithWarning;
  }
  dev.close();
  pc.close();
  block.reset();
  if (viaTemp) {
    DWORD error = 0;
    if (!ReplaceDeviceFile(api, temp, devicePath, error)) return createFailed(error);
    tempFile.keep();
  }
  api.CeRapiUninit();
  return outcome;
}

Outcome CopyFileFromDevice(DeviceLink& link, Host& host, const std::string& devicePath, const std::string& pcPath) {
  if (!RapiInitBounded(link, host)) return Outcome::Failed;
  DeviceApi& api = link.api;

  DeviceFile dev(api, api.CeCreateFile(Widen1250(devicePath), rapi::GENERIC_READ, rapi::FILE_SHARE_READ,
                                       rapi::OPEN_ALWAYS, 0));
  if (!dev.valid()) {
    host.showError("Error: Could not open remote file.");
    return Outcome::Failed;
  }
  // The PC file is written beside the target and renamed over it once all
  // of it is there, so a failed copy never leaves the old file cut short.
  // Written through a link, like every write of the program; leftovers of
  // killed copies into the same folder go first.
  const std::string target = files::FinalTarget(files::PcPath(pcPath));
  const size_t slash = target.rfind('/');
  files::RemoveStaleTemps(slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1));
  const std::string temp = files::TempNameBeside(target);
  Scratch tempFile([&] { unlink(temp.c_str()); });
  if (files::ReadOnlyFile(target)) {
    host.showError("Error: Could not create local file.");
    return Outcome::Failed;
  }
  PcFile pc(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!pc.valid()) {
    host.showError("Error: Could not create local file.");
    return Outcome::Failed;
  }
  tempFile.arm();
  auto writeFailed = [&](int error) {
    host.showError("Error #" + Num(static_cast<unsigned>(error)) + ": Could not write the local file.");
    return Outcome::Failed;
  };
  // Closes the PC file and puts it in place; false (errno set) when that fails.
  auto finish = [&] {
    if (!pc.close() || rename(temp.c_str(), target.c_str()) != 0) return false;
    tempFile.keep();
    return true;
  };

  // The high word is asked for so that a file of 4 GiB or more is refused
  // instead of being copied as its low 32 bits.
  DWORD high = 0;
  const DWORD size = api.CeGetFileSize(dev.get(), &high);
  if (size == rapi::INVALID_FILE_SIZE || high != 0) {
    host.showError("Error #" + Num(api.CeGetLastError()) + ": Could not allocate file buffer.");
    return Outcome::Failed;
  }
  if (size == 0) return finish() ? Outcome::Done : writeFailed(errno);
  TransferBlock block(size);
  if (!block) {
    host.showError("Error #" + Num(static_cast<unsigned>(ENOMEM)) + ": Could not allocate file buffer.");
    return Outcome::Failed;
  }
  DWORD got = 0;
  if (!api.CeReadFile(dev.get(), block.get(), size, &got)) {
    host.showError("Error #" + Num(api.CeGetLastError()) + ": Could not read remote file.");
    return Outcome::Failed;
  }
  if (!WriteWhole(pc.get(), block.get(), got) || !finish()) return writeFailed(errno);
  return Outcome::Done;
}

}  // namespace trovik::device
