// brindaq-cli: the calculator's operations on the command line, without a window.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace {

// Writes all of `text` to `stream` and flushes it; false if any of it could not be written.
bool WriteAll(std::FILE* stream, const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written && std::ferror(stream) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const brindaq::cli::Response response = brindaq::cli::Run(arguments);
  if (!WriteAll(stdout, response.output)) {
    const std::string message =
        std::string("brindaq-cli: write error: ") + std::strerror(errno) + "\n";
    std::fputs(message.c_str(), stderr);
    return brindaq::cli::kRefused;
  }
  WriteAll(stderr, response.error);
  return response.status;
}
