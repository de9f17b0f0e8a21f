#pragma once

// Every operation of the calculator, and the table that binds each one to its button.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/additive/additive.h"
#include "core/divisors/divisors.h"
#include "core/frame/frame.h"
#include "core/modular/modular.h"
#include "core/primes/primes.h"

namespace brindaq {

// The font of a button caption, in points.
struct CaptionFont {
  double points;
  bool bold;
};

// The window's default font, and the larger one of two captions.
inline constexpr CaptionFont kDefaultCaptionFont{8.0, false};
inline constexpr CaptionFont kLargeCaptionFont{12.0, false};

using Operation = Outcome (*)(const OperandTexts&);

// The inclusive limit of each operand that an operation reads; 0 for an operand it never reads.
struct OperandLimits {
  double a = 0;
  double b = 0;
  double c = 0;
};

// One operation button: its control name, the fixed name by which the command line and scripts
// call it, its caption, the caption's font, the operation that a click runs and the limits of
// the operands it reads.
struct OperationButton {
  std::string_view name;
  std::string_view command;
  std::string_view caption;
  CaptionFont font;
  Operation run;
  OperandLimits limits;
};

// The fifteen operation buttons, in the window's tab order.
// clang-format off
inline constexpr std::array<OperationButton, 15> kOperationButtons{{
    {"Command3",  "primes",               "PRIME NUMBERS BETWEEN A AND B",    kDefaultCaptionFont, &PrimesBetween,         {1e7, 1e7}},
    {"Command4",  "twin-primes",          "TWIN PRIMES BETWEEN A AND B",      kDefaultCaptionFont, &TwinPrimesBetween,     {1e7, 1e7}},
    {"Command5",  "prime-count",          "NUMBER OF PRIMES BETWEEN A AND B", kDefaultCaptionFont, &PrimeCountBetween,     {1e7, 1e7}},
    {"Command6",  "next-prime",           "NEXTPRIME(A)",                     kDefaultCaptionFont, &NextPrime,             {1e8}},
    {"Command7",  "two-squares",          "A = x^2 + y^2",                    kLargeCaptionFont,   &SumOfTwoSquares,       {1e7}},
    {"Command8",  "goldbach",             "GOLDBACH (A)",                     kDefaultCaptionFont, &GoldbachDecomposition, {1e5}},
    {"Command9",  "collatz",              "COLLATZ (A)",                      kDefaultCaptionFont, &CollatzSequence,       {1e8}},
    {"Command10", "factors",              "PRIME FACTORS OF A",               kDefaultCaptionFont, &PrimeFactors,          {1e7}},
    {"Command11", "is-prime",             "TEST IF A IS A PRIME NUMBER",      kDefaultCaptionFont, &PrimalityTest,         {1e8}},
    {"Command12", "power-mod",            "A^B MOD. C",                       kLargeCaptionFont,   &ModularPower,          {1e4, 1e4, 1e5}},
    {"Command13", "fibonacci",            "THE FIRST A FIBONACCI NUMBERS",    kDefaultCaptionFont, &FibonacciNumbers,      {73}},
    {"Command14", "linear-congruence",    "AX CONG: B MOD C",                 kDefaultCaptionFont, &LinearCongruence,      {1e3, 1e3, 1e4}},
    {"Command15", "quadratic-congruence", "AX^2 CONG: B MOD C",               kDefaultCaptionFont, &QuadraticCongruence,   {1e3, 1e3, 1e4}},
    {"Command16", "inverse",              "INVERSE OF A MOD. B",              kDefaultCaptionFont, &ModularInverse,        {1e4, 1e5}},
    {"Command17", "divisors",             "SUM AND NUMBER OF DIVISORS OF A",  kDefaultCaptionFont, &DivisorCountAndSum,    {1e6}},
}};
// clang-format on

// The operation that the command line and scripts call `command`; nothing for an unknown name.
const OperationButton* FindCommand(std::string_view command);

// A name that the program was given, as its messages show it, so that no name can move the
// cursor, retitle a terminal or break a message in two: between single quotes ('factors'); or,
// when it holds a quote, a control character or a byte that is not UTF-8, in the shell's $'...'
// form with those escaped ($'\e]0;x\a', $'a\nb', $'\xFF', $'it\'s'). Only its first 64
// characters are shown; "..." after the closing quote says that more followed.
std::string QuotedName(std::string_view name);

// The number of bytes of the UTF-8 character at the start of `text`, 1 to 4; 0 when `text` is
// empty or does not start with a well-formed one (a stray byte, an overlong form, a surrogate).
std::size_t Utf8CharacterSize(std::string_view text);

// The operand box that a notice of `operation` is about, 'A', 'B' or 'C', so that the user can
// be taken back to it; nothing for a notice that names no operand.
std::optional<char> NoticeOperand(const OperationButton& operation, const OperandTexts& texts,
                                  std::string_view notice);

}  // namespace brindaq
