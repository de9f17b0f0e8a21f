#pragma once

// A question answered on a thread of its own, so that a window stays awake while it is worked
// out: a question of the full range can take minutes (the factors of a 60-digit product of two
// primes). The window starts it, takes the lines made so far and the latest progress once a frame
// on its own thread, and stops it when asked. It holds no toolkit code: the Qt window and the
// Win32 window share it. (The core is also built for WebAssembly without threads, so this lies
// beside it, in a library of its own.)

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame/frame.h"
#include "core/operations.h"

namespace brindaq::jobs {

// Where a question's lines gather until the window takes them, in the form the window shows
// them, so that the worker and not the window's thread turns them into the toolkit's strings.
class LineStore {
 public:
  virtual ~LineStore() = default;
  // Called on the worker's thread, under the question's lock.
  virtual void Add(std::string_view line) = 0;
};

// Lines kept as they are made.
class StringLines final : public LineStore {
 public:
  void Add(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

class BackgroundQuestion {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts answering at once. `ended` is called on the worker's thread when the answer is whole
  // (or was stopped), under the question's lock: it must only wake the window (post it a message),
  // whose own thread then takes what is left, and never call back into the question.
  // The lines gather in `lines`, which the window reads only in TakeLines.
  BackgroundQuestion(const OperationRow& operation, OperandTexts texts, Range range,
                     std::shared_ptr<LineStore> lines, std::function<void()> ended = {});
  BackgroundQuestion(const BackgroundQuestion&) = delete;
  BackgroundQuestion& operator=(const BackgroundQuestion&) = delete;
  // Stops the work and waits a moment for the thread. A thread that has still not ended is left
  // to end alone: it holds only what it shares with no one else.
  ~BackgroundQuestion();

  // Asks the work to stop; its answer then ends with the stopped line. Safe from any thread.
  void Stop() noexcept;

  // Whether the answer is whole; once it is, the lines still to be taken are its last ones.
  bool Ended() const;
  // Waits at most `time` for the end; true once the answer has ended.
  bool WaitFor(Clock::duration time) const;

  // Runs `take` under the question's lock, where it may move the lines gathered in the store
  // (and must do nothing that waits).
  void TakeLines(const std::function<void()>& take);

  // Where the work stands, in the words every edition shows, with the seconds it has taken;
  // nothing while it has reported nothing.
  std::optional<std::string> ProgressNow() const;
  // How long the question has run.
  Clock::duration Taken() const;

  // The notice of the answer and whether it was stopped, once it has ended (no lines: those
  // are taken by TakeLines).
  Outcome TakeOutcome();

  // How many questions are still being worked out on threads left to end alone, or on threads
  // of questions not yet destroyed. A program that ends while some are should end without
  // running its static destructors (std::_Exit), which the work may still be reading.
  static int Running();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace brindaq::jobs
