// brindaq-cli: the calculator's operations on the command line, without a window. This file holds
// what touches the process: the streams, written in blocks, the exit status, Ctrl+C, and the
// progress of a long question on a terminal.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using namespace std::chrono_literals;

// Standard input is read in blocks of this size.
constexpr std::size_t kBlock = 1 << 16;

// The work of the program's questions. When standard error is a terminal, a question that has run
// for half a second shows its progress there, on one line that is drawn over, at most ten times a
// second, and cleared when the answer comes. Nothing goes there otherwise.
class ProgramWork final : public brindaq::cli::QuestionWork {
 public:
  ProgramWork() : terminal_(isatty(STDERR_FILENO) != 0) {}

  void Report(const brindaq::Progress& progress) override {
    const Clock::time_point now = Clock::now();
    if (!terminal_ || now - Started() < 500ms || now - drawn_ < 100ms) {
      return;
    }
    drawn_ = now;
    Draw("brindaq-cli: " + brindaq::ProgressText(progress, now - Started()));
  }

 private:
  void Ended() override {
    if (shown_ > 0) {
      Draw("");
    }
    drawn_ = {};
  }

  // `text` over the line drawn before, and the cursor back at its start. A line wider than the
  // terminal would wrap, and could not be drawn over: it is cut to fit the narrowest.
  void Draw(std::string text) {
    constexpr std::size_t kWidest = 79;
    text.resize(std::min(text.size(), kWidest));
    std::string out = "\r" + text;
    out.append(shown_ > text.size() ? shown_ - text.size() : 0, ' ');
    out += '\r';
    shown_ = text.size();
    (void)!::write(STDERR_FILENO, out.data(), out.size());
  }

  bool terminal_;
  Clock::time_point drawn_{};
  std::size_t shown_ = 0;  // the width of the progress line on the terminal
};

ProgramWork* g_work = nullptr;  // set before Ctrl+C is caught, and never changed after

// Ctrl+C stops the question that runs: its answer is its lines so far and the stopped text, and
// the program then ends with kInterrupted. A batch answers no question after it.
#if defined(_WIN32)
BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
    return FALSE;
  }
  if (!g_work->Busy()) {
    return FALSE;  // nothing to stop: the program ends as it always would
  }
  g_work->Interrupt();
  return TRUE;
}

void CatchInterrupt() {
  SetConsoleCtrlHandler(&OnControl, TRUE);
}
#else
extern "C" void OnInterrupt(int) {
  g_work->Interrupt();
}

// Without SA_RESTART, a read of standard input that waits is broken off by Ctrl+C too.
void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
}
#endif

// Writes all of `text` to `stream` and flushes it; false if any of it could not be written.
bool WriteAll(std::FILE* stream, const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written && std::ferror(stream) == 0;
}

int Failed(const char* what) {
  const std::string message =
      std::string("brindaq-cli: ") + what + ": " + std::strerror(errno) + "\n";
  std::fputs(message.c_str(), stderr);
  return brindaq::cli::kRefused;
}

// Answers the questions on standard input. The answers are written once a block of them has
// gathered, when an answer took long, or when the input pauses (a read gives less than a block),
// so that a file or a pipe is answered in large writes and a person typing is answered line by
// line.
int AnswerStandardInput(brindaq::cli::Format format, ProgramWork& work) {
  brindaq::cli::Batch batch(format, work);
  std::vector<char> block(kBlock);
  std::string output;
  output.reserve(2 * brindaq::cli::kOutputBlock);
  while (!batch.Interrupted()) {
    const ssize_t got = ::read(STDIN_FILENO, block.data(), block.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return Failed("read error");
    }
    if (got == 0) {
      break;
    }
    const bool paused = static_cast<std::size_t>(got) < block.size();
    for (std::string_view rest(block.data(), static_cast<std::size_t>(got)); !rest.empty();) {
      rest.remove_prefix(batch.Read(rest, output));
      if (output.size() >= brindaq::cli::kOutputBlock || batch.TakeFlush() ||
          (paused && rest.empty()) || batch.Interrupted()) {
        if (!WriteAll(stdout, output)) {
          return Failed("write error");
        }
        output.clear();
      }
      if (batch.Interrupted()) {
        break;
      }
    }
  }
  batch.End(output);
  if (!WriteAll(stdout, output)) {
    return Failed("write error");
  }
  return batch.Interrupted() ? brindaq::cli::kInterrupted : batch.status();
}

}  // namespace

int main(int argc, char* argv[]) {
  static ProgramWork work;
  g_work = &work;
  CatchInterrupt();
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const brindaq::cli::Response response = brindaq::cli::Run(arguments, work);
  if (response.batch) {
    return AnswerStandardInput(*response.batch, work);
  }
  if (!WriteAll(stdout, response.output)) {
    return Failed("write error");
  }
  WriteAll(stderr, response.error);
  return response.status;
}
