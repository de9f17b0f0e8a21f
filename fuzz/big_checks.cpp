// The full range past 2^64, and stopped answers, held to GMP's own arithmetic: every factor named
// divides A and passes GMP's probable-prime test, and all of them with the parts not yet split
// make A; a verdict is GMP's, and the certificate of a short prime's proof holds; a listed prime
// is prime and, where the interval is short, every prime in it is listed; powers, inverses and
// congruences solve their equations, and are the smallest that do; a sequence follows from its
// own rule line by line.

#include "fuzz/big_checks.h"

#include <gmp.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

#include "core/big/big_factorisation.h"
#include "core/big/natural.h"
#include "core/proof/certificate.h"
#include "core/proof/ecpp.h"
#include "core/work.h"

namespace brindaq::fuzz {
namespace {

// GMP's test: Miller-Rabin to 30 random bases after its own Baillie-PSW, none of it the core's.
bool IsPrime(const Natural& n) {
  return mpz_probab_prime_p(n.get(), 30) > 0;
}

// The number after the last blank of a line, or nothing when that is not a whole number.
std::optional<Natural> LastNumber(std::string_view line) {
  const std::string_view word = line.substr(line.find_last_of(' ') + 1);
  if (word.empty() || word.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return Natural::FromDecimal(word);
}

// The numbers that the lines end with, the stopped line left out; nothing when a line ends with
// no number.
std::optional<std::vector<Natural>> Numbers(const Outcome& outcome) {
  std::vector<Natural> numbers;
  for (const std::string& line : outcome.lines) {
    if (line == kStoppedLine) {
      continue;
    }
    std::optional<Natural> number = LastNumber(line);
    if (!number) {
      return std::nullopt;
    }
    numbers.push_back(std::move(*number));
  }
  return numbers;
}

// No prime strictly between `low` and `high`, for numbers of a size where that is quick to see.
bool NoPrimeBetween(const Natural& low, const Natural& high) {
  constexpr std::size_t kTriedUpToBits = 700;
  constexpr std::uint64_t kTriedCandidates = 3000;
  if (high.Bits() > kTriedUpToBits || high - low > kTriedCandidates) {
    return true;  // not tried
  }
  for (Natural n = low + Natural(1); n < high; n += Natural(1)) {
    if (IsPrime(n)) {
      return false;
    }
  }
  return true;
}

std::string FactorProblem(const Natural& a, const Outcome& outcome) {
  if (!outcome.stopped && outcome.lines.size() == 1 &&
      outcome.lines[0].ends_with("   IS A PRIME NUMBER !")) {
    return IsPrime(a) ? "" : "A is called prime";
  }
  Natural product(1);
  Natural previous(0);
  for (const std::string& line : outcome.lines) {
    if (line == kStoppedLine) {
      continue;
    }
    const std::optional<Natural> number = LastNumber(line);
    if (!number || number->IsZero()) {
      return "a line that names no factor: " + line;
    }
    product *= *number;
    if (line.starts_with(" NOT YET SPLIT = ")) {
      continue;  // claimed as nothing but a part of A
    }
    if (!IsPrime(*number) || *number < previous) {
      return "a factor that is not prime, or out of order: " + line;
    }
    previous = *number;
  }
  return product == a ? "" : "the factors and the parts do not multiply to A";
}

std::string VerdictProblem(const Natural& a, const Outcome& outcome) {
  const bool called_prime = outcome.lines.front() == " A IS A PRIME NUMBER!";
  const bool called_composite = outcome.lines.front() == " A IS NOT A PRIME NUMBER";
  if ((called_prime && !IsPrime(a)) || (called_composite && IsPrime(a))) {
    return "the verdict is wrong";
  }
  if (called_composite && outcome.lines.size() > 1 && outcome.lines[1] != kStoppedLine) {
    const std::optional<Natural> factor = LastNumber(outcome.lines[1]);
    if (!factor || !(a % *factor).IsZero() || !IsPrime(*factor)) {
      return "the factor is not a prime factor of A";
    }
    constexpr std::uint64_t kSmallerTriedBelow = 100000;
    for (std::uint64_t d = 2; d<kSmallerTriedBelow&& * factor> d; ++d) {
      if ((a % Natural(d)).IsZero()) {
        return "a smaller factor divides A: " + std::to_string(d);
      }
    }
  }
  return "";
}

// The proof of a short A (past 2^64, up to 50 digits), with a second of work: a prime proven must
// be GMP's prime, and its certificate must hold, as made and as read back from its text; a
// composite must be GMP's composite.
std::string ProofProblem(const Natural& a) {
  if (a.FitsWord() || a.DecimalDigits() > 50) {
    return "";
  }
  Work work;
  work.StopAt(Work::Clock::now() + std::chrono::seconds(1));
  Certificate certificate;
  const Proof proof = ProvePrime(a, work, &certificate);
  if (proof == Proof::kComposite) {
    return IsPrime(a) ? "a prime was proven composite" : "";
  }
  if (proof != Proof::kProven) {
    return "";
  }
  if (!IsPrime(a)) {
    return "a composite was proven prime";
  }
  if (certificate.number != a || !VerifyCertificate(certificate)) {
    return "the certificate of the proof does not hold";
  }
  const std::optional<Certificate> read = ParseCertificate(CertificateText(certificate));
  if (!read || read->number != a || !VerifyCertificate(*read)) {
    return "the certificate read back from its text does not hold";
  }
  return "";
}

std::string ScanProblem(std::string_view command, const Operands& o, const Outcome& outcome) {
  const Natural a = o.words ? Natural(o.a) : o.exact[0];
  // next-prime reads A alone: `exact` then holds no B.
  const Natural b = o.words || o.exact.size() < 2 ? Natural(o.b) : o.exact[1];
  if (command == "prime-count") {
    return "";  // a count is checked where the slower methods count
  }
  std::optional<std::vector<Natural>> numbers = Numbers(outcome);
  if (command == "twin-primes") {
    if (!numbers && !outcome.lines.empty() && outcome.lines[0] == "   NO TWIN PRIMES") {
      return "";
    }
    for (const std::string& line : outcome.lines) {
      if (line == kStoppedLine) {
        continue;
      }
      const Natural first = Natural::FromDecimal(line.substr(3, line.find(' ', 4) - 3));
      const std::optional<Natural> second = LastNumber(line);
      if (!second || !IsPrime(first) || !IsPrime(*second) || first + Natural(2) != *second ||
          first <= a || first >= b) {
        return "not a twin-prime pair of the interval: " + line;
      }
    }
    return "";
  }
  if (!numbers) {
    return "a line that is not a number";
  }
  if (command == "next-prime") {
    if (outcome.stopped) {
      return numbers->empty() ? "" : "a stopped next prime names a number";
    }
    const Natural& next = numbers->front();
    return next > a && IsPrime(next) && NoPrimeBetween(a, next) ? "" : "not the next prime";
  }
  // primes: each one prime, inside the interval, ascending, none left out between them.
  Natural previous = a;
  for (const Natural& p : *numbers) {
    if (!IsPrime(p) || p <= previous || p >= b || !NoPrimeBetween(previous, p)) {
      return "a prime that is not the next one of the interval: " + p.ToDecimal();
    }
    previous = p;
  }
  return outcome.stopped || NoPrimeBetween(previous, b) ? "" : "a prime of the interval is missing";
}

std::string ModularProblem(std::string_view command, const Operands& o, const Outcome& outcome) {
  const Natural a = o.words ? Natural(o.a) : o.exact[0];
  const Natural b = o.words ? Natural(o.b) : o.exact[1];
  // inverse reads A and B alone: `exact` then holds no C.
  const Natural c = o.words || o.exact.size() < 3 ? Natural(o.c) : o.exact[2];
  const bool none = outcome.lines.size() == 1 && outcome.lines[0] == "  NO SOLUTION !";
  const std::optional<std::vector<Natural>> numbers =
      none ? std::vector<Natural>{} : Numbers(outcome);
  if (!numbers) {
    return "a line that is not a number";
  }
  if (command == "power-mod") {
    Natural power;
    mpz_powm(power.raw(), a.get(), b.get(), c.get());
    return numbers->size() == 1 && numbers->front() == power ? "" : "not A^B mod C";
  }
  if (command == "inverse" || command == "linear-congruence") {
    // A X = B (mod C), or A X = 1 (mod B) for the inverse; solvable exactly when the gcd of A and
    // the modulus divides the right side, and then X is at most the modulus over that gcd.
    const Natural& modulus = command == "inverse" ? b : c;
    const Natural right = command == "inverse" ? Natural(1) : b;
    const Natural common = Gcd(a, modulus);
    const bool solvable = (right % common).IsZero() || modulus == 1;
    if (!solvable) {
      return none ? "" : "a solution where there is none";
    }
    if (none || numbers->size() != 1) {
      return "no solution where there is one";
    }
    const Natural& x = numbers->front();
    const bool solves = ((a * x) % modulus) == (right % modulus);
    return solves && !x.IsZero() && x <= modulus / common ? "" : "not the smallest solution";
  }
  // quadratic-congruence: each X from 1 to C solves it, ascending.
  Natural previous(0);
  for (const Natural& x : *numbers) {
    if (x <= previous || x > c || (a * x * x) % c != b % c) {
      return "not a solution, or out of order: " + x.ToDecimal();
    }
    previous = x;
  }
  return "";
}

std::string SequenceProblem(std::string_view command, const Operands& o, const Outcome& outcome) {
  const std::optional<std::vector<Natural>> numbers = Numbers(outcome);
  if (!numbers) {
    return "a line that is not a number";
  }
  if (command == "fibonacci") {
    for (std::size_t i = 0; i < numbers->size(); ++i) {
      const Natural expected = i < 2 ? Natural(1) : (*numbers)[i - 1] + (*numbers)[i - 2];
      if ((*numbers)[i] != expected) {
        return "Fibonacci number " + std::to_string(i + 1) + " is wrong";
      }
    }
    return outcome.stopped || numbers->size() == o.a ? "" : "not A Fibonacci numbers";
  }
  // collatz
  Natural value = o.words ? Natural(o.a) : o.exact[0];
  for (const Natural& next : *numbers) {
    value = value.IsOdd() ? value * Natural(3) + Natural(1) : value >> 1;
    if (next != value) {
      return "a Collatz step is wrong";
    }
  }
  return outcome.stopped || value == 1 ? "" : "the walk does not end at 1";
}

std::string SquaresProblem(const Natural& a, const Outcome& outcome) {
  if (outcome.lines.size() == 1 && outcome.lines[0] == "   NO SOLUTION !") {
    return "";  // counted by the core from the factors, which are checked under "factors"
  }
  Natural previous(0);
  for (const std::string& line : outcome.lines) {
    // " A  =  x^2  +  y^2"
    const std::size_t plus = line.find("  +  ");
    const std::size_t equals = line.find("  =  ");
    if (plus == std::string::npos || equals == std::string::npos) {
      return "a line that is not a sum of two squares: " + line;
    }
    const std::string x_text = line.substr(equals + 6, line.find('^', equals) - equals - 6);
    const std::string y_text = line.substr(plus + 6, line.rfind('^') - plus - 6);
    const Natural x = Natural::FromDecimal(x_text);
    const Natural y = Natural::FromDecimal(y_text);
    if (x * x + y * y != a || x > y || x <= previous) {
      return "not a sum of two squares, or out of order: " + line;
    }
    previous = x;
  }
  return "";
}

}  // namespace

std::string BigProblem(std::string_view command, const Operands& operands, const Outcome& outcome) {
  const Natural a = operands.words ? Natural(operands.a) : operands.exact[0];
  if (outcome.lines.empty() || (outcome.lines.size() == 1 && outcome.stopped)) {
    return "";  // nothing claimed
  }
  if (command == "factors") {
    return FactorProblem(a, outcome);
  }
  if (command == "is-prime") {
    const std::string problem = VerdictProblem(a, outcome);
    return problem.empty() ? ProofProblem(a) : problem;
  }
  if (command == "primes" || command == "twin-primes" || command == "prime-count" ||
      command == "next-prime") {
    return ScanProblem(command, operands, outcome);
  }
  if (command == "power-mod" || command == "inverse" || command == "linear-congruence" ||
      command == "quadratic-congruence") {
    return outcome.stopped ? "" : ModularProblem(command, operands, outcome);
  }
  if (command == "fibonacci" || command == "collatz") {
    return SequenceProblem(command, operands, outcome);
  }
  if (command == "two-squares") {
    return SquaresProblem(a, outcome);
  }
  return "";
}

void CheckPlantedFactors(std::string_view bytes) {
  std::uint64_t seed = 14695981039346656037u;  // FNV-1a of the bytes
  for (const char byte : bytes) {
    seed = (seed ^ static_cast<unsigned char>(byte)) * 1099511628211u;
  }
  std::mt19937_64 random(seed);
  const int count = 2 + static_cast<int>(random() % 3);
  const int total = 20 + static_cast<int>(random() % 41);
  std::vector<Natural> planted;
  Natural n(1);
  for (int i = 0; i < count; ++i) {
    const int left = total - static_cast<int>(n.DecimalDigits()) + (i == 0 ? 1 : 0);
    const int share = std::clamp(left / (count - i), 6, 30);
    std::string digits(1, static_cast<char>('1' + random() % 9));
    while (static_cast<int>(digits.size()) < share) {
      digits += static_cast<char>('0' + random() % 10);
    }
    Natural prime;
    mpz_nextprime(prime.raw(), Natural::FromDecimal(digits).get());
    planted.push_back(prime);
    n *= prime;
  }
  std::sort(planted.begin(), planted.end());

  Work work;
  work.StopAt(Work::Clock::now() + std::chrono::seconds(1));
  const BigFactors factors = Factorise(n, work);
  Natural product(1);
  std::vector<Natural> found;
  for (const BigPrimePower& power : factors.primes) {
    for (int e = 0; e < power.exponent; ++e) {
      product *= power.prime;
      found.push_back(power.prime);
    }
  }
  for (const BigPrimePower& part : factors.unsplit) {
    product *= Power(part.prime, static_cast<unsigned>(part.exponent));
  }
  const auto fail = [&n](const char* what) {
    std::fprintf(stderr, "planted factors of %s: %s\n", n.ToDecimal().c_str(), what);
    std::abort();
  };
  if (product != n) {
    fail("the primes and the parts do not multiply to the product");
  }
  for (const Natural& prime : found) {
    if (!std::binary_search(planted.begin(), planted.end(), prime)) {
      fail("a prime found is not one of those planted");
    }
  }
  if (factors.complete && found != planted) {
    fail("a whole factorisation does not give the primes planted");
  }
}

}  // namespace brindaq::fuzz
