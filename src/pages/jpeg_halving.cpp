#include "pages/jpeg_halving.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "base/error.h"
#include "base/files.h"
#include "pages/resampler.h"
#include "text/text.h"

namespace trovik::pages {

int64_t FileByteSize(const std::string& path) {
  std::string fs = files::PcPath(path);
  int fd = ::open(fs.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) throw CannotOpenFile(path);
  struct stat st {};
  int rc = ::fstat(fd, &st);
  ::close(fd);
  if (rc != 0) throw CannotOpenFile(path);
  return static_cast<int64_t>(st.st_size);
}

bool ShrinkRule(const std::string& path, bool shrinkOption, const std::string& limitText) {
  if (text::UpperCase(files::ExtensionOf(path)) != ".JPG") return false;
  std::string fs = files::PcPath(path);
  if (!files::Exists(fs) || files::IsDirectory(fs)) return false;
  if (!shrinkOption) return false;
  auto parsed = text::ParseInt(limitText);
  int64_t limit = parsed ? *parsed : kDefaultSizeLimit;
  if (FileByteSize(path) <= limit) return false;
  ResizeJpg(path, path, 0.5);
  return true;
}

namespace {

// Halving while the picture decodes, on two threads: the decoder (the
// caller's thread) writes source rows into a ring, a worker makes each target
// row as soon as its two source rows are there and hands it straight to the
// encoder. Decoding is the larger half, so the halving costs little more than
// the decoding alone, and no whole picture is ever held.
class ScalingSink : public RowSink {
 public:
  ScalingSink(double factor, std::string name) : factor_(factor), name_(std::move(name)) {}
  ~ScalingSink() override { stopWorker(); }

  void start(int width, int height) override {
    // One pixel wide or high: the scale factor would divide by zero. The rows
    // are decoded all the same (a broken file still fails) into scratch.
    if (width < 2 || height < 2) {
      scratch_.resize(static_cast<size_t>(width) * 3);
      return;
    }
    auto newHeight = text::RoundHalfEven(factor_ * height);
    auto newWidth = text::RoundHalfEven(factor_ * width);
    if (newWidth < 1) newWidth = 1;
    if (newHeight < 1) newHeight = 1;
    resampler_.emplace(width, height, static_cast<int>(newWidth), static_cast<int>(newHeight));
    height_ = height;
    rowBytes_ = static_cast<size_t>(width) * 3;
    ring_.resize(kRingRows * rowBytes_);
    worker_ = std::thread([this] { work(); });
  }

  uint8_t* rowBuffer(int y) override {
    if (!resampler_) return scratch_.data();
    // Row y takes the slot of row y - kRingRows: wait until no target row
    // needs that one any more.
    std::unique_lock lock(mutex_);
    if (y >= needed_ + kRingRows && !workerDone_) {
      decoderWaits_ = true;
      changed_.wait(lock, [&] { return y < needed_ + kRingRows || workerDone_; });
      decoderWaits_ = false;
    }
    if (workerError_) {
      lock.unlock();
      stopWorker();
      std::rethrow_exception(workerError_);
    }
    return slot(y);
  }

  void row(int y) override {
    if (!resampler_) return;
    bool wake;
    {
      std::lock_guard lock(mutex_);
      decoded_ = y + 1;
      wake = decoded_ >= wanted_;
    }
    if (wake) changed_.notify_all();
  }

  // The halved picture once every row is decoded; empty when the picture was
  // too small to scale.
  std::optional<std::string> finish() {
    if (!resampler_) return std::nullopt;
    stopWorker();
    if (workerError_) std::rethrow_exception(workerError_);
    return std::move(result_);
  }

 private:
  // Rows the decoder may run ahead of the worker, and how many it gathers
  // before waking it: a wake-up per row would cost more than a row.
  static constexpr int kRingRows = 64;
  static constexpr int kBatchRows = 16;

  uint8_t* slot(int y) { return ring_.data() + static_cast<size_t>(y % kRingRows) * rowBytes_; }

  void work() {
    std::exception_ptr error;
    try {
      const Resampler& r = *resampler_;
      JpegRowEncoder encoder(r.width(), r.height(), kJpegQuality, name_);
      std::vector<uint8_t, UninitializedAllocator<uint8_t>> target(static_cast<size_t>(r.width()) * 3);
      for (int y = 0; y < r.height(); ++y) {
        const Tap tap = r.rowTap(y);
        {
          std::unique_lock lock(mutex_);
          if (decoded_ <= tap.index1) {
            wanted_ = std::min(tap.index1 + 1 + kBatchRows, height_);
            changed_.wait(lock, [&] { return decoded_ >= wanted_ || abandoned_; });
          }
          if (abandoned_) return;
        }
        r.row(y, slot(tap.index0), slot(tap.index1), target.data());
        if (y + 1 < r.height()) {
          bool wake;
          {
            std::lock_guard lock(mutex_);
            needed_ = r.rowTap(y + 1).index0;
            wake = decoderWaits_;
          }
          if (wake) changed_.notify_all();
        }
        encoder.write(target.data());
      }
      result_ = encoder.finish();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      workerError_ = error;
      workerDone_ = true;
    }
    changed_.notify_all();
  }

  // Ends the worker: after the last row it simply finishes; when decoding
  // failed half-way it gives up on the rows that will never come.
  void stopWorker() {
    if (!worker_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      if (decoded_ < height_) abandoned_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }

  double factor_;
  std::string name_;
  std::optional<Resampler> resampler_;
  std::vector<uint8_t, UninitializedAllocator<uint8_t>> ring_, scratch_;
  size_t rowBytes_ = 0;
  int height_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  int decoded_ = 0;  // source rows in the ring so far
  int wanted_ = 0;   // what the worker waits for
  int needed_ = 0;   // the first source row the worker still needs
  bool decoderWaits_ = false;
  bool abandoned_ = false;
  bool workerDone_ = false;
  std::exception_ptr workerError_;
  std::string result_;
  std::thread worker_;
};

}  // namespace

void ResizeJpg(const std::string& inPath, const std::string& outPath, double factor) {
  const std::string bytes = files::ReadAll(files::PcPath(inPath));
  ScalingSink sink(factor, outPath);
  DecodeJpegRows(bytes, inPath, sink);
  if (std::optional<std::string> halved = sink.finish()) {
    files::WriteAtomic(files::PcPath(outPath), *halved);
  } else if (outPath != inPath) {
    // The picture stays; a separate output still gets its copy.
    files::WriteAtomic(files::PcPath(outPath), bytes);
  }
}

}  // namespace trovik::pages
