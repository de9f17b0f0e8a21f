#include <string>
#include <string_view>

#include "cli/answers.h"
#include "core/text/text.h"
#include "core/window.h"

namespace brindaq::cli {

// A byte that is not UTF-8 becomes U+FFFD, and every control character (C0, DEL, C1) is written
// \u00XX.
void AppendJsonString(std::string_view text, std::string& output) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  const auto escape = [&output, kDigits](unsigned char code) {
    output += "\\u00";
    output += kDigits[code >> 4];
    output += kDigits[code & 0xF];
  };
  const auto plain = [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; };
  output += '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (plain(text[i])) {
      const std::size_t start = i;
      while (i < text.size() && plain(text[i])) {
        ++i;
      }
      output.append(text, start, i - start);
    } else if (byte == '"' || byte == '\\') {
      output += '\\';
      output += static_cast<char>(byte);
      ++i;
    } else if (byte < 0x80) {
      escape(byte);
      ++i;
    } else if (const std::size_t size = Utf8CharacterSize(text.substr(i)); size == 0) {
      output += "\xEF\xBF\xBD";
      ++i;
    } else if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      escape(static_cast<unsigned char>(text[i + 1]));  // U+0080 to U+009F
      i += 2;
    } else {
      output += text.substr(i, size);
      i += size;
    }
  }
  output += '"';
}

void AppendJsonStart(std::optional<std::size_t> line, const OperationRow& operation,
                     std::span<const std::string_view> operands, const Format& format,
                     std::string& output) {
  output += '{';
  if (line) {
    output += "\"line\":" + std::to_string(*line) + ",";
  }
  output += "\"operation\":";
  AppendJsonString(operation.command, output);
  output += ",\"range\":\"";
  output += window::ChoiceOf(format.range).word;
  output += '"';
  output += ",\"operands\":[";
  for (std::size_t i = 0; i < operands.size(); ++i) {
    output += i > 0 ? "," : "";
    AppendJsonString(operands[i], output);
  }
  if (format.range == Range::kFull) {
    OperandTexts texts;
    std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
    for (std::size_t i = 0; i < operands.size(); ++i) {
      boxes[i]->assign(operands[i]);
    }
    const auto values = ValuesAsRead(texts, operation.rules, format.range);
    output += "],\"values\":[";
    for (std::size_t i = 0; i < operands.size(); ++i) {
      output += i > 0 ? "," : "";
      output += values[i] ? '"' + *values[i] + '"' : "null";
    }
  }
  output += "],\"lines\":[";
}

void AppendJsonEnd(const Outcome& outcome, std::string& output) {
  output += "],\"notice\":";
  if (outcome.notice) {
    AppendJsonString(*outcome.notice, output);
  } else {
    output += "null";
  }
  output += outcome.stopped ? ",\"stopped\":true}\n" : "}\n";
}

}  // namespace brindaq::cli
