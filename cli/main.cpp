// brindaq-cli: the calculator's operations on the command line, without a window.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace {

// Standard input is read in blocks of this size.
constexpr std::size_t kBlock = 1 << 16;

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
// gathered, or when the input pauses (a read gives less than a block), so that a file or a pipe
// is answered in large writes and a person typing is answered line by line.
int AnswerStandardInput(brindaq::cli::Format format) {
  brindaq::cli::Batch batch(format);
  std::vector<char> block(kBlock);
  std::string output;
  output.reserve(2 * brindaq::cli::kOutputBlock);
  for (;;) {
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
      if (output.size() >= brindaq::cli::kOutputBlock || (paused && rest.empty())) {
        if (!WriteAll(stdout, output)) {
          return Failed("write error");
        }
        output.clear();
      }
    }
  }
  batch.End(output);
  if (!WriteAll(stdout, output)) {
    return Failed("write error");
  }
  return batch.status();
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const brindaq::cli::Response response = brindaq::cli::Run(arguments);
  if (response.batch) {
    return AnswerStandardInput(*response.batch);
  }
  if (!WriteAll(stdout, response.output)) {
    return Failed("write error");
  }
  WriteAll(stderr, response.error);
  return response.status;
}
