// The full range at its heaviest questions: one click each (reading the operands, computing,
// writing the lines), and the factors of 1000 products of two primes near 2^32, each timed alone.
//   brindaq_bench --benchmark_filter=Full --benchmark_repetitions=5
//                 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/arithmetic/primality.h"
#include "core/big/natural.h"
#include "core/operations.h"

namespace brindaq {
namespace {

struct FullClick {
  const char* name;
  const char* command;
  OperandTexts texts;
};

// clang-format off
const FullClick kFullClicks[] = {
    {"IsPrime/largest-prime",          "is-prime",    {"18446744073709551557", "", ""}},
    // The smallest strong pseudoprime to the first nine prime bases: it passes most of them.
    {"IsPrime/pseudoprime-to-9-bases", "is-prime",    {"3825123056546413051", "", ""}},
    {"Factors/two-primes-near-2^32",   "factors",     {"18446743979220271189", "", ""}},
    {"Factors/2^64-1",                 "factors",     {"18446744073709551615", "", ""}},
    {"Factors/largest-prime",          "factors",     {"18446744073709551557", "", ""}},
    {"NextPrime/10^18",                "next-prime",  {"1000000000000000000", "", ""}},
    {"Primes/width-10^4-near-2^64",    "primes",      {"18446744073709541615", "18446744073709551615", ""}},
    {"PrimeCount/width-10^5-near-2^64", "prime-count", {"18446744073709451615", "18446744073709551615", ""}},
    {"TwoSquares/2048-lines",          "two-squares", {"10003628061488344205", "", ""}},
    {"Goldbach/9699690",               "goldbach",    {"9699690", "", ""}},
    {"Collatz/10^18",                  "collatz",     {"1000000000000000000", "", ""}},
    {"Divisors/2^64-1",                "divisors",    {"18446744073709551615", "", ""}},
    {"PowerMod/top",                   "power-mod",   {"18446744073709551614", "18446744073709551615", "18446744073709551557"}},
    {"QuadraticCongruence/C=100000",   "quadratic-congruence", {"18446744073709551615", "1", "100000"}},
};
// clang-format on

// Past 2^64, one click each as well; bench/pari-side-by-side.sh asks PARI/GP the same. The
// operands of 1000 digits are 7...7, 3...3 and 10^999 + 9; the fourth product is
// 100000000000031 * (10^59 + 19).
struct BigClick {
  const char* name;
  const char* command;
  std::string a, b, c;
};

std::string Factorial(unsigned n) {
  Natural product(1);
  for (unsigned k = 2; k <= n; ++k) {
    product *= Natural(k);
  }
  return product.ToDecimal();
}

constexpr const char* kCofactor74 =
    "32825080251773280621874666548134377266294650164668892700047276428417793991";

const std::vector<BigClick>& BigClicks() {
  static const std::vector<BigClick> clicks{
      {"PowerMod/1000-digits", "power-mod", std::string(1000, '7'), std::string(1000, '3'),
       "1" + std::string(996, '0') + "009"},
      {"NextPrime/10^100", "next-prime", "1E100", "", ""},
      // A verdict of prime past 2^64 is proven by elliptic curves: primes of 100, 200, 300 digits.
      {"IsPrime/10^99+289", "is-prime", "10^99+289", "", ""},
      {"IsPrime/10^199+153", "is-prime", "10^199+153", "", ""},
      {"IsPrime/10^299+669", "is-prime", "10^299+669", "", ""},
      {"NextPrime/10^300", "next-prime", "1E300", "", ""},
      {"Primes/10^50-width-10^4", "primes", "1E50", "1" + std::string(45, '0') + "10000", ""},
      // Every prime counted is proven: primes of two words by n - 1.
      {"PrimeCount/10^30-width-10^5", "prime-count", "1E30", "1" + std::string(24, '0') + "100000",
       ""},
      {"Fibonacci/10000", "fibonacci", "10000", "", ""},
      {"Factors/2^67-1", "factors", "147573952589676412927", "", ""},
      {"Factors/2^128+1", "factors", "340282366920938463463374607431768211457", "", ""},
      {"Factors/100!", "factors", Factorial(100), "", ""},
      {"Factors/10^14-prime-times-60-digit-prime", "factors",
       (Natural(100000000000031U) * (Natural::TenToThe(59) + Natural(19))).ToDecimal(), "", ""},
      // A 26-digit prime times a 74-digit prime (PARI/GP, setrand(7)): the curves find the first,
      // and the proof of the second is a share of the whole. The product is made here, so that
      // it cannot differ from its factors (a digit written wrong once gave a number of small
      // factors, factored in 9 ms).
      {"Factors/100-digit-with-26-digit-factor", "factors",
       (Natural::FromDecimal("59756389622855749962983333") * Natural::FromDecimal(kCofactor74))
           .ToDecimal(),
       "", ""},
      {"IsPrime/its-74-digit-cofactor", "is-prime", kCofactor74, "", ""},
      // Products of two primes of half their size, for the curves on two words: three of 20
      // digits and three of 30 (random primes drawn by PARI/GP), whose median the side-by-side
      // takes, the time of one depending on the luck of the curves.
      {"Factors/20-digit-product-of-two-primes-1", "factors", "27865957416710588083", "", ""},
      {"Factors/20-digit-product-of-two-primes-2", "factors", "32714707538353474241", "", ""},
      {"Factors/20-digit-product-of-two-primes-3", "factors", "13656349377253593757", "", ""},
      {"Factors/30-digit-product-of-two-primes-1", "factors", "253312612843842342889299310807", "",
       ""},
      {"Factors/30-digit-product-of-two-primes-2", "factors", "314509968862147462669073750593", "",
       ""},
      {"Factors/30-digit-product-of-two-primes-3", "factors", "376366260430606676875459409611", "",
       ""},
      // Products of two primes of equal size, for the quadratic sieve, three of each size
      // (computed with PARI/GP): bench/pari-side-by-side.sh gives the median of the three.
      {"Factors/40-digit-product-of-two-primes/1", "factors",
       "4278484053548966982705268613062104274903", "", ""},
      {"Factors/40-digit-product-of-two-primes/2", "factors",
       "4430737545133829232591598225519455157309", "", ""},
      {"Factors/40-digit-product-of-two-primes/3", "factors",
       "3266482672531416632548767544303395457811", "", ""},
      {"Factors/50-digit-product-of-two-primes/1", "factors",
       "62924296960111234602037698215072334534677192767403", "", ""},
      {"Factors/50-digit-product-of-two-primes/2", "factors",
       "10847861078086849683205561925329381305720712643147", "", ""},
      {"Factors/50-digit-product-of-two-primes/3", "factors",
       "42840324155787983147408226754069500032847487258021", "", ""},
      {"Factors/60-digit-product-of-two-primes/1", "factors",
       "127653816205143915034695743603339855500713239972805441432851", "", ""},
      {"Factors/60-digit-product-of-two-primes/2", "factors",
       "551846539610563635363274057043014614514003853271797996788547", "", ""},
      {"Factors/60-digit-product-of-two-primes/3", "factors",
       "579948391707226293102021932728170177230345219659488247312513", "", ""},
      {"Factors/70-digit-product-of-two-primes/1", "factors",
       "9518497475181926275674443883116975784664318858362522401863023088993061", "", ""},
      {"Factors/70-digit-product-of-two-primes/2", "factors",
       "1652886311372055427028456915889589199362992494412785963750798308313933", "", ""},
      {"Factors/70-digit-product-of-two-primes/3", "factors",
       "2348550333620589994805440565799335571041799589671716286184504579840223", "", ""},
  };
  return clicks;
}

void RunBigClick(benchmark::State& state, const BigClick& click) {
  const OperationRow& operation = *FindCommand(click.command);
  const OperandTexts texts{click.a, click.b, click.c};
  for (auto _ : state) {
    Outcome outcome = RunOperation(operation, texts, Range::kFull);
    benchmark::DoNotOptimize(outcome);
  }
}

// The k-th "random" prime of `digits` digits that bench/pari-side-by-side.sh gives PARI/GP too:
// the first prime from 10^(d-1) + (7^(3 d k + 11) mod 9 10^(d-1)), as gp's
// nextprime(10^(d-1) + lift(Mod(7, 9*10^(d-1))^(3*d*k+11))).
std::string RandomPrime(unsigned digits, unsigned k) {
  const Natural low = Natural::TenToThe(digits - 1);
  Natural n = low + PowerModulo(Natural(7), Natural(3 * digits * k + 11), Natural(9) * low);
  n -= Natural(1);
  mpz_nextprime(n.raw(), n.get());
  return n.ToDecimal();
}

// The proof of one of them, the prime made before the clock starts.
void RunRandomPrime(benchmark::State& state, unsigned digits, unsigned k) {
  const OperationRow& operation = *FindCommand("is-prime");
  const OperandTexts texts{RandomPrime(digits, k), "", ""};
  for (auto _ : state) {
    Outcome outcome = RunOperation(operation, texts, Range::kFull);
    benchmark::DoNotOptimize(outcome);
  }
}

void RunFullClick(benchmark::State& state, const FullClick& click) {
  const OperationRow& operation = *FindCommand(click.command);
  for (auto _ : state) {
    Outcome outcome = RunOperation(operation, click.texts, Range::kFull);
    benchmark::DoNotOptimize(outcome);
  }
}

// 1000 products of two primes between 2^31 and 2^32: for k = 0 to 999, the largest primes not
// above 2^31 + (k * 2654435761 mod 2^31) and 2^31 + ((40503k + 12345) * 2246822519 mod 2^31).
// bench/pari-side-by-side.sh gives PARI/GP the same numbers.
std::vector<std::string> SemiprimesNear2To32() {
  const auto prime_at_most = [](std::uint64_t n) {
    while (!IsPrime(n)) {
      --n;
    }
    return n;
  };
  constexpr std::uint64_t kHalf = std::uint64_t{1} << 31;
  std::vector<std::string> texts;
  for (std::uint64_t k = 0; k < 1000; ++k) {
    const std::uint64_t p = prime_at_most(kHalf + k * 2654435761 % kHalf);
    const std::uint64_t q = prime_at_most(kHalf + (40503 * k + 12345) * 2246822519 % kHalf);
    texts.push_back(std::to_string(p * q));
  }
  return texts;
}

// The next prime after 1000 numbers near 2^64, one click each in turn: 2^64 - 10^6 k for k = 1 to
// 1000, so that long and short gaps come in their usual mix. The time is that of one click.
void NextPrimesNear2To64(benchmark::State& state) {
  const OperationRow& operation = *FindCommand("next-prime");
  std::vector<std::string> texts;
  for (std::uint64_t k = 1; k <= 1000; ++k) {
    texts.push_back(std::to_string(kLargestWhole - 1000000 * k));
  }
  std::size_t next = 0;
  for (auto _ : state) {
    Outcome outcome = RunOperation(operation, {texts[next], "", ""}, Range::kFull);
    benchmark::DoNotOptimize(outcome);
    next = next + 1 == texts.size() ? 0 : next + 1;
  }
}

// The verdict alone, without the smallest factor that the operation shows for a composite.
void PrimalityVerdict(benchmark::State& state, std::uint64_t n) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(IsPrime(n));
  }
}

// Each product factored alone, so that the median and the slowest can be told (in microseconds).
void FactorSemiprimes(benchmark::State& state) {
  const OperationRow& operation = *FindCommand("factors");
  const std::vector<std::string> texts = SemiprimesNear2To32();
  std::vector<double> times;
  for (auto _ : state) {
    times.clear();
    for (const std::string& text : texts) {
      const auto start = std::chrono::steady_clock::now();
      Outcome outcome = RunOperation(operation, {text, "", ""}, Range::kFull);
      benchmark::DoNotOptimize(outcome);
      times.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  std::sort(times.begin(), times.end());
  state.counters["median_us"] = times[times.size() / 2];
  state.counters["slowest_us"] = times.back();
}

const bool kRegistered = [] {
  for (const FullClick& click : kFullClicks) {
    benchmark::RegisterBenchmark((std::string("Full/") + click.name).c_str(), RunFullClick, click)
        ->Unit(benchmark::kMicrosecond);
  }
  for (const BigClick& click : BigClicks()) {
    benchmark::RegisterBenchmark((std::string("Full/Big/") + click.name).c_str(), RunBigClick,
                                 click)
        ->Unit(benchmark::kMicrosecond);
  }
  // Three random primes of each size, for the median of their proofs, and one of 1000 digits.
  for (const unsigned digits : {100U, 200U, 300U, 500U, 1000U}) {
    for (unsigned k = 1; k <= (digits == 1000 ? 1U : 3U); ++k) {
      benchmark::RegisterBenchmark(
          ("Full/Big/IsPrime/random-" + std::to_string(digits) + "-digits-" + std::to_string(k))
              .c_str(),
          RunRandomPrime, digits, k)
          ->Unit(benchmark::kMillisecond);
    }
  }
  // Minutes, not seconds: outside the filters that take every Full/Big row, asked for by name.
  static const BigClick eighty{"Factors/80-digit-product-of-two-primes", "factors",
                               "247867140868339194466453803692380624404913524349957553119073238"
                               "78367158623283203",
                               "", ""};
  benchmark::RegisterBenchmark("Full/Big80/Factors/80-digit-product-of-two-primes", RunBigClick,
                               eighty)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);
  benchmark::RegisterBenchmark("Full/Verdict/pseudoprime-to-9-bases", PrimalityVerdict,
                               std::uint64_t{3825123056546413051})
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Full/Verdict/largest-prime", PrimalityVerdict,
                               std::uint64_t{18446744073709551557U})
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Full/NextPrime/near-2^64", NextPrimesNear2To64)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Full/Factors/1000-products-of-two-primes-near-2^32",
                               FactorSemiprimes)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  return true;
}();

}  // namespace
}  // namespace brindaq
