#include "core/big/decimal.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

namespace brindaq {

Decimal::Decimal(std::uint64_t n) {
  words_.push_back(n % kBase);
  if (n >= kBase) {
    words_.push_back(n / kBase);
  }
}

Decimal Decimal::FromDigits(std::string_view digits) {
  const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
  digits.remove_prefix(first);
  Decimal number;
  number.words_.clear();
  // Eighteen digits at a time, from the end.
  for (std::size_t end = digits.size(); end > 0;) {
    const std::size_t start = end > kDigits ? end - kDigits : 0;
    std::uint64_t word = 0;
    for (std::size_t i = start; i < end; ++i) {
      word = word * 10 + static_cast<std::uint64_t>(digits[i] - '0');
    }
    number.words_.push_back(word);
    end = start;
  }
  if (number.words_.empty()) {
    number.words_.push_back(0);
  }
  return number;
}

void Decimal::Add(const Decimal& other) {
  if (words_.size() < other.words_.size()) {
    words_.resize(other.words_.size(), 0);
  }
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < words_.size(); ++i) {
    // Two words below 10^18 and a carry of at most 1 stay below 2^64.
    const std::uint64_t sum = words_[i] + (i < other.words_.size() ? other.words_[i] : 0) + carry;
    carry = sum >= kBase ? 1 : 0;
    words_[i] = sum - carry * kBase;
    if (carry == 0 && i >= other.words_.size()) {
      return;
    }
  }
  if (carry != 0) {
    words_.push_back(carry);
  }
}

void Decimal::Halve() {
  // From the top word down: what a word leaves over is worth half a base in the word below it.
  std::uint64_t rest = 0;
  for (std::size_t i = words_.size(); i-- > 0;) {
    const std::uint64_t word = words_[i] + rest * kBase;  // below 2 * 10^18
    words_[i] = word / 2;
    rest = word % 2;
  }
  if (words_.size() > 1 && words_.back() == 0) {
    words_.pop_back();
  }
}

void Decimal::TripleAndOne() {
  std::uint64_t carry = 1;
  for (std::uint64_t& word : words_) {
    const std::uint64_t value = 3 * word + carry;  // below 3 * 10^18 + 3 < 2^64
    word = value % kBase;
    carry = value / kBase;
  }
  if (carry != 0) {
    words_.push_back(carry);
  }
}

void Decimal::AppendDigits(std::string& text) const {
  const std::size_t start = text.size();
  text.resize(start + DigitCount());
  char* out = text.data() + start;
  out = std::to_chars(out, text.data() + text.size(), words_.back()).ptr;
  for (std::size_t i = words_.size() - 1; i-- > 0;) {
    // Every lower word is written with its leading zeros, as eighteen digits.
    std::uint64_t word = words_[i];
    for (int k = kDigits - 1; k >= 0; --k) {
      out[k] = static_cast<char>('0' + word % 10);
      word /= 10;
    }
    out += kDigits;
  }
}

std::size_t Decimal::DigitCount() const {
  std::size_t top = 1;
  for (std::uint64_t word = words_.back(); word >= 10; word /= 10) {
    ++top;
  }
  return top + (words_.size() - 1) * kDigits;
}

}  // namespace brindaq
