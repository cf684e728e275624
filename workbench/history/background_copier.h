// Copies the running session to the history server from a thread of its own, so the
// plug-in's thread never waits on the network: it only writes the local file, and this
// thread reads what is new from it about once a second. A server that is away is tried
// again after growing pauses (to half a minute); the copy resumes where the server's
// rows say it stopped.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace history {

class BackgroundCopier {
 public:
  BackgroundCopier(std::string localPath, std::string server, std::int64_t session);
  ~BackgroundCopier();
  BackgroundCopier(const BackgroundCopier &) = delete;
  BackgroundCopier &operator=(const BackgroundCopier &) = delete;

  // The session is over: copies what is left for at most budget, then stops. Returns ""
  // when the server holds the whole session, else what went wrong, in words.
  std::string finish(std::chrono::milliseconds budget);

 private:
  void run();
  bool waitFor(std::chrono::milliseconds pause);  // false once told to stop

  const std::string path_, server_;
  const std::int64_t session_;
  std::mutex m_;
  std::condition_variable cv_;
  bool stop_ = false, ending_ = false, whole_ = false, over_ = false;
  std::string problem_;  // the last failure, "" when none
  std::thread thread_;
};

}  // namespace history
