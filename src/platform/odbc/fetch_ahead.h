#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace quill {

// One worker thread that runs one job at a time for its owner: the owner
// starts a job, goes on with its own work, and waits for the job before it
// starts the next one or touches what the job writes. The thread is made on
// the first job and joined when the worker is destroyed.
class FetchAhead {
 public:
  FetchAhead() = default;
  ~FetchAhead();
  FetchAhead(const FetchAhead&) = delete;
  FetchAhead& operator=(const FetchAhead&) = delete;

  // Runs job, which must not throw, on the worker thread; a job still
  // running is waited for first.
  void Start(std::function<void()> job);
  // Returns when no job is running; at once when none was started.
  void Wait();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;  // set while a job waits or runs
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace quill
