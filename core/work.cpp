#include "core/work.h"

namespace brindaq {

std::string ProgressText(const Progress& progress) {
  std::string text(progress.method);
  if (!progress.step.empty()) {
    text += ", ";
    text += progress.step;
    text += ' ';
    text += std::to_string(progress.done);
    if (progress.total > 0) {
      text += " of " + std::to_string(progress.total);
    }
  }
  return text;
}

std::string ProgressText(const Progress& progress, std::chrono::steady_clock::duration taken) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(taken).count();
  return ProgressText(progress) + ", " + std::to_string(seconds) + " s";
}

}  // namespace brindaq
