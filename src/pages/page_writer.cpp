#include "pages/page_writer.h"

#include "base/files.h"

namespace trovik::pages {

PageWriter::PageWriter(size_t maxQueued) : maxQueued_(maxQueued == 0 ? 1 : maxQueued), thread_([this] { Work(); }) {}

PageWriter::~PageWriter() {
  {
    std::lock_guard lock(mutex_);
    queued_.clear();
    closing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void PageWriter::Write(std::string path, std::function<std::string()> bytes, std::function<void()> done) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.size() < maxQueued_ || failure_; });
    if (!failure_) queued_.push_back({std::move(path), std::move(bytes), std::move(done)});
  }
  changed_.notify_all();
  Collect();
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
    changed_.wait(lock, [this] { return (queued_.empty() && !busy_) || failure_; });
  }
  Collect();
}

void PageWriter::Discard() {
  std::lock_guard lock(mutex_);
  queued_.clear();
  changed_.notify_all();
}

void PageWriter::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || !queued_.empty(); });
    if (queued_.empty()) return;  // closing
    Job job = std::move(queued_.front());
    queued_.pop_front();
    busy_ = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      files::WriteNewOrAtomic(job.path, job.bytes());
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    if (failure) {
      failure_ = failure;
      queued_.clear();  // nothing after a failed page is written
    } else {
      written_.push_back(std::move(job.done));
    }
    changed_.notify_all();
  }
}

}  // namespace trovik::pages
