#include "cli/answers.h"

#include <string>

#include "core/text/text.h"

namespace brindaq::cli {
namespace {

// "A", "A and B", "A, B and C".
std::string_view OperandLetters(std::size_t count) {
  constexpr std::string_view kLetters[] = {"", "A", "A and B", "A, B and C"};
  return kLetters[count];
}

}  // namespace

std::string_view Printed(std::string_view line, const Format& format) {
  return format.raw ? line : CopiedLine(line);
}

std::string Problem(const OperationRow* operation, std::string_view command, std::size_t operands) {
  if (operation == nullptr) {
    return "unknown operation " + QuotedName(command);
  }
  const std::size_t read = OperandCount(operation->rules);
  if (operands > read) {
    return "too many operands: " + QuotedName(command) + " reads " +
           std::string(OperandLetters(read)) + " only";
  }
  return {};
}

void QuestionWork::Begin(std::optional<double> time_limit) {
  started_ = Clock::now();
  busy_.store(true, std::memory_order_relaxed);
  if (Interrupted()) {
    return;  // stopped for good
  }
  Restart();
  if (time_limit) {
    StopAt(started_ +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*time_limit)));
  }
}

Outcome Ask(const OperationRow& operation, std::span<const std::string_view> operands,
            const Format& format, OperandTexts& texts, LineSink& lines, QuestionWork& work) {
  std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
  for (std::size_t i = 0; i < 3; ++i) {
    boxes[i]->assign(i < operands.size() ? operands[i] : std::string_view{});
  }
  work.Begin(format.time_limit);
  work.WantCertificate(format.certificate);
  Outcome outcome = RunOperation(operation, texts, format.range, lines, work);
  work.End();
  // The certificate of a proof, as one more line after the verdict.
  if (const std::string certificate = work.TakenCertificate(); !certificate.empty()) {
    lines.Add(certificate);
  }
  return outcome;
}

}  // namespace brindaq::cli
