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

}  // namespace brindaq
