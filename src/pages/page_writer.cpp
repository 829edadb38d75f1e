#include "pages/page_writer.h"

#include "base/files.h"

namespace trovik::pages {

// Each side wakes the other only when it waits, and an idle writer only for
// a few files at once or when urged: a run of 50,000 small pages would
// otherwise spend a good part of its time in wake-up calls.
constexpr size_t kWakeForFiles = 8;

PageWriter::PageWriter(size_t maxQueued, size_t maxBytes)
    : maxQueued_(maxQueued == 0 ? 1 : maxQueued), maxBytes_(maxBytes), thread_([this] { Work(); }) {}

PageWriter::~PageWriter() {
  {
    std::lock_guard lock(mutex_);
    queued_.clear();
    queuedBytes_ = 0;
    closing_ = true;
  }
  work_.notify_one();
  thread_.join();
}

void PageWriter::Write(std::string path, size_t size, std::function<std::string()> bytes,
                       std::function<void()> done) {
  bool wake = false;
  {
    std::unique_lock lock(mutex_);
    const auto room = [this] {
      return queued_.empty() || (queued_.size() < maxQueued_ && queuedBytes_ < maxBytes_) || failure_;
    };
    if (!room()) {
      // Once full, the caller waits for half the queue, not for one file.
      const auto half = [this] { return HalfEmpty() || failure_; };
      urged_ = callerWaits_ = true;
      if (writerWaits_) work_.notify_one();
      progress_.wait(lock, half);
      callerWaits_ = false;
    }
    if (!failure_) {
      queued_.push_back({std::move(path), size, std::move(bytes), std::move(done)});
      queuedBytes_ += size;
      wake = writerWaits_ && queued_.size() >= kWakeForFiles;
    }
  }
  if (wake) work_.notify_one();
  Collect();
}

bool PageWriter::HalfEmpty() const {
  return queued_.size() <= maxQueued_ / 2 && queuedBytes_ <= maxBytes_ / 2;
}

void PageWriter::Urge() {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    urged_ = !queued_.empty();
    wake = urged_ && writerWaits_;
  }
  if (wake) work_.notify_one();
}

void PageWriter::Collect() {
  std::deque<std::function<void()>> done;
  std::exception_ptr failure;
  {
    std::lock_guard lock(mutex_);
    done.swap(written_);
    failure = failure_;
  }
  for (auto& d : done)
    if (d) d();
  if (failure) std::rethrow_exception(failure);
}

void PageWriter::Finish() {
  {
    std::unique_lock lock(mutex_);
    const auto idle = [this] { return (queued_.empty() && !busy_) || failure_; };
    if (!idle()) {
      urged_ = callerWaits_ = true;
      if (writerWaits_) work_.notify_one();
      progress_.wait(lock, idle);
      callerWaits_ = false;
    }
  }
  Collect();
}

void PageWriter::Discard() {
  std::lock_guard lock(mutex_);
  queued_.clear();
  queuedBytes_ = 0;
}

void PageWriter::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    const auto go = [this] {
      return closing_ || queued_.size() >= kWakeForFiles || (urged_ && !queued_.empty());
    };
    if (queued_.empty()) {  // once awake, the writer goes on while there is work
      writerWaits_ = true;
      work_.wait(lock, go);
      writerWaits_ = false;
    }
    if (queued_.empty()) return;  // closing
    Job job = std::move(queued_.front());
    queued_.pop_front();
    queuedBytes_ -= job.size;
    if (queued_.empty()) urged_ = false;
    busy_ = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      files::WriteNewOrAtomic(job.path, job.bytes());
    } catch (...) {
      failure = std::current_exception();
    }
    std::function<void()> done = std::move(job.done);
    job = {};  // what made the page goes here, outside the lock
    lock.lock();
    busy_ = false;
    if (failure) {
      failure_ = failure;
      queued_.clear();  // nothing after a failed page is written
      queuedBytes_ = 0;
    } else {
      written_.push_back(std::move(done));
    }
    if (callerWaits_ && (failure_ || HalfEmpty())) progress_.notify_one();
  }
}

}  // namespace trovik::pages
