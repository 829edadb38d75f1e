#pragma once
// Writes a run's files on a thread of its own, in the order given, so that
// making the next page overlaps the file system's work on the last one: on a
// run of thousands of small pages, creating the files costs as much as
// everything else together. What follows a write (the index entry, the
// device copy, the "written" event) is handed back to the caller's thread by
// Collect, so nothing else of the run is ever touched from the writer.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace trovik::pages {

class PageWriter {
 public:
  // At most `maxQueued` files, and about `maxBytes` of what makes them, wait:
  // the pages ahead of the disk are held in memory, so the queue stays short.
  PageWriter(size_t maxQueued, size_t maxBytes);
  // Drops what was not started and waits for the file in hand.
  ~PageWriter();
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  // Queues a file: `bytes` makes its contents (on the writer's thread), then
  // it is written with files::WriteNewOrAtomic (the disk flush left to the
  // run's end); `done` runs in a later Collect once it is there. Waits while the
  // queue is full; `size` is about what the job holds. Rethrows the failure of an earlier file, after which
  // nothing more is written.
  void Write(std::string path, size_t size, std::function<std::string()> bytes, std::function<void()> done);
  // Runs the `done` of every file written so far, in order, then rethrows a
  // failure if there was one.
  void Collect();
  // Starts on the files queued so far without waiting for more: the end of
  // a group of pages that a person is waiting for.
  void Urge();
  // Waits until every queued file is written, then Collect.
  void Finish();
  // Forgets the files not yet started: a stopped run writes nothing more.
  void Discard();

 private:
  struct Job {
    std::string path;
    size_t size;
    std::function<std::string()> bytes;
    std::function<void()> done;
  };
  void Work();
  bool HalfEmpty() const;  // under the lock

  const size_t maxQueued_, maxBytes_;
  size_t queuedBytes_ = 0;
  std::mutex mutex_;
  std::condition_variable work_;      // the writer waits here for a file
  std::condition_variable progress_;  // the caller waits here for room or the end
  std::deque<Job> queued_;                 // not started
  std::deque<std::function<void()>> written_;  // their `done`, not yet run
  bool busy_ = false;                      // a file in hand
  bool closing_ = false;
  bool writerWaits_ = false, callerWaits_ = false;
  bool urged_ = false;  // write what is queued, however little
  std::exception_ptr failure_;
  std::thread thread_;  // last: started once the rest is ready
};

}  // namespace trovik::pages
