#pragma once

// Whole numbers of any size kept in decimal: eighteen digits to a 64-bit word, lowest first. The
// Fibonacci numbers and the Collatz sequence list thousands of long numbers, and need only
// additions, halvings and 3n + 1 to make them: in decimal, writing a number out is a copy of its
// digits, where a binary number would need a conversion as costly as its making.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindaq {

class Decimal {
 public:
  // 10^18: one word holds eighteen digits.
  static constexpr std::uint64_t kBase = 1000000000000000000U;
  static constexpr int kDigits = 18;

  explicit Decimal(std::uint64_t n = 0);
  // The number that a text of decimal digits (nothing else) stands for.
  static Decimal FromDigits(std::string_view digits);

  bool IsOne() const { return words_.size() == 1 && words_[0] == 1; }
  bool IsEven() const { return words_[0] % 2 == 0; }

  // this += other.
  void Add(const Decimal& other);
  // this /= 2, for an even number.
  void Halve();
  // this = 3 * this + 1.
  void TripleAndOne();

  // Appends the digits, without leading zeros ("0" for zero).
  void AppendDigits(std::string& text) const;
  std::size_t DigitCount() const;

 private:
  std::vector<std::uint64_t> words_;  // never empty; the last word is not 0 unless it is the only
};

}  // namespace brindaq
