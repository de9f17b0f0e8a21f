#pragma once

// Long work, and what it is told and tells: whether to stop, and how far it has come. A question
// of the full range can run for seconds or hours (a 60-digit product of two primes, the primes of
// an interval at 10^5000); whoever asked it must see it move, and must be able to stop it from
// another thread. Every loop that can run long asks Stopped() at least every few milliseconds,
// and reports where it stands about as often; when told to stop, it returns at once with what it
// has established, and claims nothing more.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace brindaq {

// Where long work stands: the method, the step of it, and how far: `done` of `total` (total 0
// when the end is not known). The texts are valid only during the call of Report that hands
// them over: whoever keeps them copies them.
struct Progress {
  std::string_view method;  // "sieving", "BPSW", "trial division", "rho", "ECM B1=11000"
  std::string_view step;    // "number", "curve", "candidate"; may be empty
  std::uint64_t done = 0;
  std::uint64_t total = 0;
};

// "ECM, curve 37 of 430"; "BPSW"; "rho, step 12000".
std::string ProgressText(const Progress& progress);
// The same with the whole seconds that the work has taken: "ECM, curve 37 of 430, 12 s". Every
// edition shows long work's progress in these words.
std::string ProgressText(const Progress& progress, std::chrono::steady_clock::duration taken);

class Work {
 public:
  using Clock = std::chrono::steady_clock;

  Work() = default;
  Work(const Work&) = delete;
  Work& operator=(const Work&) = delete;
  virtual ~Work() = default;

  // Asks the work to stop. Safe from any thread, and from a signal handler.
  void Stop() noexcept { stop_.store(true, std::memory_order_relaxed); }

  // Stops the work once `deadline` has passed, as if Stop() had been called then.
  void StopAt(Clock::time_point deadline) noexcept { deadline_ = deadline; }

  // Lets the work go on again, for the next question: not stopped, and without a deadline.
  void Restart() noexcept {
    stop_.store(false, std::memory_order_relaxed);
    deadline_ = Clock::time_point::max();
  }

  // Whether the work must stop now: it was asked to, or its deadline has passed, or the whole
  // that it is a share of must stop.
  bool Stopped() noexcept {
    if (stop_.load(std::memory_order_relaxed)) {
      return true;
    }
    if (whole_ != nullptr && whole_->Stopped()) {
      Stop();
      return true;
    }
    if (deadline_ != Clock::time_point::max() && Clock::now() >= deadline_) {
      Stop();
      return true;
    }
    return false;
  }

  // Where the work stands; by default told to no one.
  virtual void Report(const Progress& progress) { (void)progress; }

  // Whether whoever asked wants the certificate of a primality proof (core/proof/certificate.h),
  // and where an answer that proves a number prime hands its text; by default no one does.
  virtual bool WantsCertificate() const { return false; }
  virtual void TakeCertificate(std::string text) { (void)text; }

 protected:
  // Work that is a share of `whole`, and stops whenever the whole does.
  explicit Work(Work& whole) : whole_(&whole) {}

 private:
  Work* whole_ = nullptr;
  std::atomic<bool> stop_{false};
  Clock::time_point deadline_ = Clock::time_point::max();
};

// One thread's share of work that several threads do side by side (curves of the elliptic-curve
// method, say): it stops when the whole work is stopped, or on its own, when another thread has
// found what they all look for. Only the share that reports tells the whole where it stands:
// whoever asked the work need not take reports from more than one thread.
class WorkShare final : public Work {
 public:
  WorkShare(Work& whole, bool reports) : Work(whole), whole_(whole), reports_(reports) {}

  void Report(const Progress& progress) override {
    if (reports_) {
      whole_.Report(progress);
    }
  }

 private:
  Work& whole_;
  bool reports_;
};

}  // namespace brindaq
