// The running session's copier thread.
#include "background_copier.h"

#include "history_copier.h"
#include "history_schema.h"
#include "server_schema.h"

#include <memory>
#include <optional>

namespace history {

BackgroundCopier::BackgroundCopier(std::string localPath, std::string server, std::int64_t session)
    : path_(std::move(localPath)), server_(std::move(server)), session_(session), thread_([this] { run(); }) {}

BackgroundCopier::~BackgroundCopier() {
  {
    std::lock_guard lock(m_);
    stop_ = true;
  }
  cv_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool BackgroundCopier::waitFor(std::chrono::milliseconds pause) {
  std::unique_lock lock(m_);
  cv_.wait_for(lock, pause, [this] { return stop_ || ending_; });
  return !stop_;
}

void BackgroundCopier::run() {
  using namespace std::chrono_literals;
  std::optional<Db> db;
  std::unique_ptr<Pg> pg;
  std::unique_ptr<ServerCopier> copier;
  auto pause = 1000ms;
  const auto stopped = [this] {
    std::lock_guard lock(m_);
    return stop_;
  };
  for (;;) {
    bool ending = false;
    {
      std::lock_guard lock(m_);
      if (stop_) break;
      ending = ending_;
    }
    try {
      if (!db) {
        db.emplace(path_, false);
        configure(*db);
      }
      if (!pg) {
        pg = std::make_unique<Pg>(server_);
        migrateServer(*pg);
      }
      if (!copier) copier = std::make_unique<ServerCopier>(*db, *pg);
      copier->copy(session_, 500, [&] { return !stopped(); });
      pause = 1000ms;
      std::lock_guard lock(m_);
      problem_.clear();
      if (ending) {
        whole_ = true;
        break;
      }
    } catch (const PgError &e) {
      copier.reset();
      pg.reset();
      {
        std::lock_guard lock(m_);
        problem_ = e.what();
        // A refused password or a schema too new: trying again will not help.
        if (!e.lost() || ending) break;
      }
      if (!waitFor(pause)) break;
      pause = std::min(pause * 2, std::chrono::milliseconds(30000));
      continue;
    } catch (const DbError &e) {
      // The local file busy beyond the busy wait, or its log's read race lost under load:
      // read again after a pause, on a fresh connection.
      copier.reset();
      db.reset();
      {
        std::lock_guard lock(m_);
        problem_ = std::string("the local history: ") + e.what();
      }
      // At the end the pause is short: finish's budget bounds the tries.
      if (ending) std::this_thread::sleep_for(100ms);
      if (!waitFor(ending ? 0ms : pause)) break;
      pause = std::min(pause * 2, std::chrono::milliseconds(30000));
      continue;
    } catch (const std::exception &e) {
      std::lock_guard lock(m_);
      problem_ = e.what();
      break;
    }
    if (!waitFor(1000ms)) break;
  }
  std::lock_guard lock(m_);
  over_ = true;
  cv_.notify_all();
}

std::string BackgroundCopier::finish(std::chrono::milliseconds budget) {
  std::unique_lock lock(m_);
  ending_ = true;
  cv_.notify_all();
  if (!cv_.wait_for(lock, budget, [this] { return over_; }) && problem_.empty())
    problem_ = "the server did not take the rest of the session in time";
  return whole_ ? std::string() : problem_.empty() ? "the copy stopped" : problem_;
}

}  // namespace history
