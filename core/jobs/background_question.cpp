#include "core/jobs/background_question.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

#include "core/work.h"

namespace brindaq::jobs {
namespace {

// How long the destructor waits for a stopped thread. The core asks whether to stop every few
// milliseconds, so this is only reached by a step that cannot be broken off.
constexpr std::chrono::milliseconds kJoinWait{500};

std::atomic<int> g_running{0};

}  // namespace

// What the worker and the window share: the lines made and not yet taken, the latest progress,
// and the end. Held by both, so that a thread left to end alone still has it.
struct BackgroundQuestion::Shared final : Work, LineSink {
  mutable std::mutex mutex;
  mutable std::condition_variable ended_signal;
  std::shared_ptr<LineStore> lines;  // made and not yet taken
  bool ended = false;
  Outcome outcome;
  std::string method, step;
  std::uint64_t done = 0, total = 0;
  bool reported = false;
  Clock::time_point started = Clock::now();
  std::function<void()> on_end;

  void Report(const Progress& progress) override {
    const std::lock_guard lock(mutex);
    method.assign(progress.method);
    step.assign(progress.step);
    done = progress.done;
    total = progress.total;
    reported = true;
  }

  void Reserve(std::size_t) override {}

  void Take(std::string_view line) override {
    const std::lock_guard lock(mutex);
    lines->Add(line);
  }
};

BackgroundQuestion::BackgroundQuestion(const OperationRow& operation, OperandTexts texts,
                                       Range range, std::shared_ptr<LineStore> lines,
                                       std::function<void()> ended)
    : shared_(std::make_shared<Shared>()) {
  shared_->lines = std::move(lines);
  shared_->on_end = std::move(ended);
  g_running.fetch_add(1);
  // The row is copied: a thread left to end alone may outlive the table it came from.
  std::thread([shared = shared_, operation, texts = std::move(texts), range] {
    Outcome outcome = RunOperation(operation, texts, range, *shared, *shared);
    {
      // The window is woken under the lock, so that it cannot go away in the meantime.
      const std::lock_guard lock(shared->mutex);
      shared->outcome = std::move(outcome);
      shared->ended = true;
      if (shared->on_end) {
        shared->on_end();
      }
    }
    shared->ended_signal.notify_all();
    g_running.fetch_sub(1);
  }).detach();
}

BackgroundQuestion::~BackgroundQuestion() {
  Stop();
  std::unique_lock lock(shared_->mutex);
  shared_->on_end = nullptr;  // the window that it would wake is going
  shared_->ended_signal.wait_for(lock, kJoinWait, [this] { return shared_->ended; });
}

void BackgroundQuestion::Stop() noexcept {
  shared_->Stop();
}

bool BackgroundQuestion::Ended() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->ended;
}

bool BackgroundQuestion::WaitFor(Clock::duration time) const {
  std::unique_lock lock(shared_->mutex);
  return shared_->ended_signal.wait_for(lock, time, [this] { return shared_->ended; });
}

void BackgroundQuestion::TakeLines(const std::function<void()>& take) {
  const std::lock_guard lock(shared_->mutex);
  take();
}

std::optional<std::string> BackgroundQuestion::ProgressNow() const {
  const std::lock_guard lock(shared_->mutex);
  if (!shared_->reported) {
    return std::nullopt;
  }
  const Progress progress{shared_->method, shared_->step, shared_->done, shared_->total};
  return ProgressText(progress, Clock::now() - shared_->started);
}

BackgroundQuestion::Clock::duration BackgroundQuestion::Taken() const {
  return Clock::now() - shared_->started;
}

Outcome BackgroundQuestion::TakeOutcome() {
  const std::lock_guard lock(shared_->mutex);
  return std::move(shared_->outcome);
}

int BackgroundQuestion::Running() {
  return g_running.load();
}

}  // namespace brindaq::jobs
