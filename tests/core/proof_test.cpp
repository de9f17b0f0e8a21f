// The elliptic-curve primality proofs: the class polynomials against their known values, proofs
// of known primes checked by the certificate's own verifier, certificates that PARI/GP wrote,
// faults planted in a certificate, a stopped proof, and the proof against the probable-prime test
// on numbers drawn at random.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/arithmetic/primality.h"
#include "core/big/big_congruence.h"
#include "core/big/big_primality.h"
#include "core/frame/lines.h"
#include "core/operations.h"
#include "core/proof/certificate.h"
#include "core/proof/class_polynomial.h"
#include "core/proof/curve_step.h"
#include "core/proof/ecpp.h"
#include "core/proof/genus_factor.h"
#include "core/proof/polynomial_roots.h"
#include "core/proof/smooth_parts.h"
#include "core/proof/two_word_proof.h"

namespace brindaq {
namespace {

// H_D's coefficients as signed decimal texts, the constant first.
std::vector<std::string> Coefficients(std::int32_t d) {
  std::vector<std::string> texts;
  Work work;
  for (const SignedCoefficient& c : *HilbertClassPolynomial(d, work)) {
    texts.push_back((c.negative ? "-" : "") + c.magnitude.ToDecimal());
  }
  return texts;
}

TEST(Proof, ClassPolynomialsHaveTheirKnownCoefficients) {
  // The nine fundamental discriminants of class number 1, and their j-invariants.
  const std::pair<std::int32_t, const char*> kClassNumberOne[] = {
      {-3, "0"},          {-4, "-1728"},         {-7, "3375"},
      {-8, "-8000"},      {-11, "32768"},        {-19, "884736"},
      {-43, "884736000"}, {-67, "147197952000"}, {-163, "262537412640768000"}};
  for (const auto& [d, minus_j] : kClassNumberOne) {
    EXPECT_EQ(Coefficients(d), (std::vector<std::string>{minus_j, "1"})) << d;
  }
  EXPECT_EQ(Coefficients(-15), (std::vector<std::string>{"-121287375", "191025", "1"}));
  EXPECT_EQ(Coefficients(-23),
            (std::vector<std::string>{"12771880859375", "-5151296875", "3491750", "1"}));
}

// The remainder of a modulo the monic b, coefficients modulo p, the constant first.
std::vector<Natural> RemainderModulo(std::vector<Natural> a, const std::vector<Natural>& b,
                                     const Natural& p) {
  const std::size_t h = b.size() - 1;
  for (std::size_t k = a.size(); k-- > h;) {
    const Natural c = a[k] % p;
    for (std::size_t j = 0; j <= h; ++j) {
      a[k - h + j] = (a[k - h + j] + (p - c) * b[j]) % p;
    }
  }
  a.resize(h);
  return a;
}

TEST(Proof, GenusFactorsDivideTheHilbertClassPolynomial) {
  // Two to four prime discriminants, some with two or three of them negative.
  for (const std::int32_t d : {-15, -195, -420, -4123, -7755, -15640, -26427}) {
    // A prime N = t^2 + |D| v^2 of some 100 bits, which splits completely.
    Natural n;
    for (std::uint64_t t = std::uint64_t{1} << 50;; ++t) {
      const std::uint64_t v = 0x9e3779b97f4a7;
      n = Natural(t) * Natural(t) +
          Natural(static_cast<std::uint64_t>(-d)) * Natural(v) * Natural(v);
      Work work;
      if (n.IsOdd() && IsProbablePrime(n, work) == true) {
        break;
      }
    }
    Work work;
    const GenusFactor* factor = GenusClassFactor(d, work);
    ASSERT_NE(factor, nullptr) << d;
    std::vector<Natural> hilbert;
    for (const SignedCoefficient& c : *HilbertClassPolynomial(d, work)) {
      const Natural r = c.magnitude % n;
      hilbert.push_back(c.negative && !r.IsZero() ? n - r : r);
    }
    std::vector<Natural> roots;
    for (const std::int32_t f : factor->prime_discriminants) {
      const Natural magnitude(static_cast<std::uint64_t>(f < 0 ? -f : f));
      const std::optional<Natural> root =
          SquareRootModuloPrime(f < 0 ? n - magnitude : magnitude, n, work);
      ASSERT_TRUE(root.has_value()) << d << " " << f;
      roots.push_back(*root);
    }
    // Every choice of the roots' signs gives a factor: here the first two.
    for (int sign = 0; sign < 2; ++sign) {
      roots[0] = n - roots[0];
      const std::vector<Natural> genus = GenusFactorModulo(*factor, roots, n);
      EXPECT_EQ(genus.size() - 1, (hilbert.size() - 1) >> (roots.size() - 1)) << d;
      const std::vector<Natural> rest = RemainderModulo(hilbert, genus, n);
      EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](const Natural& c) {
        return c.IsZero();
      })) << d;
    }
  }
}

// The lists count the classes of all discriminants at once: against the reduced forms of each,
// the cheap classes taken further than the others.
TEST(Proof, DiscriminantListsAgreeWithTheReducedFormsOfEachDiscriminant) {
  const DiscriminantList list{5000, 8, 128, 8, 20000};
  std::vector<std::int32_t> expected;
  for (std::int32_t m = 3; m <= list.Largest(); ++m) {
    const std::int32_t odd = m % 4 == 0 ? m / 4 : m;
    const bool shape = m % 4 == 3 || (m % 4 == 0 && (odd % 4 == 1 || odd % 4 == 2));
    bool squarefree = true;
    for (std::int32_t p = 2; p * p <= odd; ++p) {
      squarefree = squarefree && odd % (p * p) != 0;
    }
    if (!shape || !squarefree) {
      continue;
    }
    const auto h = static_cast<int>(ReducedForms(-m).size());
    const int degree = h >> (PrimeDiscriminants(-m).size() - 1);
    if (list.Admits(-m, h, degree)) {
      expected.push_back(-m);
    }
  }
  std::vector<std::int32_t> listed;
  int degree_before = 0;
  for (const Discriminant& discriminant : DiscriminantsByClassNumber(list)) {
    listed.push_back(discriminant.d);
    EXPECT_EQ(discriminant.class_number, static_cast<int>(ReducedForms(discriminant.d).size()))
        << discriminant.d;
    EXPECT_LE(degree_before, discriminant.degree) << discriminant.d;
    degree_before = discriminant.degree;
  }
  std::sort(listed.begin(), listed.end(), std::greater<>());
  EXPECT_EQ(listed, expected);
}

TEST(Proof, RoundsRealsToWholeCoefficientsOnlyWhenClose) {
  const struct {
    double x;
    std::uint64_t magnitude;
    bool negative;
    bool clear;
  } cases[] = {{2.2, 2, false, true},  {-2.8, 3, true, true},
               {-0.1, 0, false, true}, {2.4, 2, false, false},
               {-5.6, 6, true, false}, {1e15 + 0.125, 1000000000000000, false, true}};
  for (const auto& c : cases) {
    mpf_t x;
    mpf_init2(x, 128);
    mpf_set_d(x, c.x);
    SignedCoefficient out;
    EXPECT_EQ(RoundToCoefficient(x, out), c.clear) << c.x;
    EXPECT_EQ(out.magnitude, Natural(c.magnitude)) << c.x;
    EXPECT_EQ(out.negative, c.negative) << c.x;
    mpf_clear(x);
  }
}

TEST(Proof, SmoothPartsAgreeWithDivisionByEachPrime) {
  std::mt19937_64 random(2004);
  std::vector<Natural> numbers;
  for (int i = 0; i < 21; ++i) {
    // Small primes, some to high powers, times a large random part.
    Natural m = Natural(random()) * Natural(random()) * Natural(random());
    m *= Natural::TwoToThe(static_cast<unsigned>(random() % 40));
    for (const std::uint64_t p : {3, 5, 4093, 65521, 65537}) {
      for (std::uint64_t k = random() % 4; k > 0; --k) {
        m *= Natural(p);
      }
    }
    numbers.push_back(std::move(m));
  }
  numbers.push_back(Natural(1));
  const std::uint32_t bound = 1 << 16;
  const std::vector<Natural> parts = SmoothParts(numbers, bound);
  ASSERT_EQ(parts.size(), numbers.size());
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    Natural rest = numbers[i];
    for (std::uint64_t p = 2; p <= bound; ++p) {
      while ((rest % Natural(p)).IsZero()) {
        rest /= Natural(p);
      }
    }
    EXPECT_EQ(parts[i] * rest, numbers[i]) << numbers[i];
  }
}

Natural Mersenne(unsigned p) {
  return Natural::TwoToThe(p) - Natural(1);
}

TEST(Proof, ProvesKnownPrimesWithCertificatesThatHold) {
  for (const Natural& n :
       {Mersenne(127), Mersenne(521), Mersenne(607), Natural::TenToThe(100) + Natural(267)}) {
    Work work;
    Certificate certificate;
    ASSERT_EQ(ProvePrime(n, work, &certificate), Proof::kProven) << n;
    EXPECT_EQ(certificate.number, n);
    EXPECT_TRUE(VerifyCertificate(certificate)) << n;
    // The text reads back as the same certificate.
    const std::string text = CertificateText(certificate);
    const std::optional<Certificate> read = ParseCertificate(text);
    ASSERT_TRUE(read.has_value()) << text;
    EXPECT_EQ(CertificateText(*read), text);
    EXPECT_TRUE(VerifyCertificate(*read)) << text;
  }
}

// From 400 bits the search tests its cofactors on two threads whenever the other is free, which
// depends on the timing: the chain, and so the certificate, must not.
TEST(Proof, TheCertificateIsTheSameWhateverTheThreadsTiming) {
  std::string first;
  for (int run = 0; run < 3; ++run) {
    Work work;
    Certificate certificate;
    ASSERT_EQ(ProvePrime(Mersenne(607), work, &certificate), Proof::kProven);
    const std::string text = CertificateText(certificate);
    if (run == 0) {
      first = text;
    }
    EXPECT_EQ(text, first);
  }
}

// Searches cut at the smallest degree send the down-run back to the number before again and
// again (and on past the cut where it has gone back once): the chain that is left must still hold
// step for step, whatever curves were made and dropped on the way, and differ from the usual one.
TEST(Proof, ChainsThatWentBackStillHold) {
  Work work;
  Certificate usual;
  ASSERT_EQ(ProvePrime(Mersenne(607), work, &usual), Proof::kProven);
  for (const int degree : {1, 2}) {
    Certificate certificate;
    ASSERT_EQ(ProveProbablePrime(Mersenne(607), work, &certificate, ProofOptions{0, degree}),
              Proof::kProven);
    EXPECT_TRUE(VerifyCertificate(certificate)) << degree;
    EXPECT_NE(CertificateText(certificate), CertificateText(usual)) << degree;
  }
}

// Written by PARI/GP 2.15: primecert(10^35 + 69) and primecert(2^64 + 13).
constexpr const char* kGpCertificates[] = {
    "[[100000000000000000000000000000000069, 546867911035452074, 2963504668391148, 0, "
    "[60737979324046450274283740674208692, 24368673584839493121227731392450025]],\n"
    " [33743830764501150277, -11610830419, 734208843, 0, [562706585515371056, "
    "7584644385934002041]]]",
    "[[18446744073709551629, -8423788454, 160388, 1, [10598342506117936052, "
    "2225259013356795550]]]"};

TEST(Proof, AcceptsGpsCertificatesAndRejectsPlantedFaults) {
  for (const char* text : kGpCertificates) {
    const std::optional<Certificate> certificate = ParseCertificate(text);
    ASSERT_TRUE(certificate.has_value()) << text;
    EXPECT_TRUE(VerifyCertificate(*certificate)) << text;
  }
  Work work;
  Certificate good;
  ASSERT_EQ(ProvePrime(Mersenne(127), work, &good), Proof::kProven);
  ASSERT_TRUE(VerifyCertificate(good));
  // A point moved off its place.
  Certificate fault = good;
  fault.steps[0].x += Natural(1);
  EXPECT_FALSE(VerifyCertificate(fault));
  // A wrong order: t one more, so that m is no longer s q.
  fault = good;
  fault.steps[0].t += Natural(1);
  EXPECT_FALSE(VerifyCertificate(fault));
  // A last q that is not prime: a small prime p of the last s moved into q, so that the point
  // still checks (q (s P) = m P = O) and only q's primality fails. On the first prime past 2^100
  // whose last q times p is still below 2^64.
  Certificate planted;
  Natural composite_q;
  for (Natural n = Natural::TwoToThe(100) + Natural(1);; n += Natural(2)) {
    if (IsProbablePrime(n, work) != true) {
      continue;
    }
    ASSERT_EQ(ProvePrime(n, work, &planted), Proof::kProven);
    CertificateStep& last = planted.steps.back();
    std::uint64_t p = 2;
    while (!(last.s % Natural(p)).IsZero()) {
      ++p;
    }
    const Natural m = last.n + Natural(1) + (last.t_negative ? last.t : Natural(0)) -
                      (last.t_negative ? Natural(0) : last.t);
    composite_q = m / (last.s / Natural(p));
    if (composite_q.FitsWord()) {
      last.s /= Natural(p);
      break;
    }
  }
  const CertificateStep& last = planted.steps.back();
  ASSERT_EQ(CheckCurveStep(last.n, {last.a, last.x, last.y}, last.s, composite_q),
            StepCheck::kHolds);
  EXPECT_FALSE(VerifyCertificate(planted));
  // A last q past 2^64: s taken as 1, q then m itself.
  fault = good;
  fault.steps.back().s = Natural(1);
  EXPECT_FALSE(VerifyCertificate(fault));
  // A composite N with the same steps after it.
  fault = good;
  fault.number += Natural(2);
  fault.steps[0].n = fault.number;
  EXPECT_FALSE(VerifyCertificate(fault));
  // A chain that does not follow on.
  fault = good;
  fault.steps.erase(fault.steps.begin() + 1);
  EXPECT_FALSE(VerifyCertificate(fault));
  EXPECT_FALSE(ParseCertificate("[[1, 2, 3]]").has_value());
}

// Stops the work as soon as the proof itself reports, after the probable-prime test has passed.
class StopAtTheProof final : public Work {
 public:
  void Report(const Progress& progress) override {
    if (std::string_view(progress.method).starts_with("ECPP")) {
      Stop();
    }
  }
};

// A root of products of x - r for random r modulo 2^127 - 1, of every degree that a way of
// reduction serves (the formula of a quadratic, division, the powers of x, Barrett's), is one
// of the r.
TEST(Proof, FindsARootOfAPolynomialOfKnownRoots) {
  std::mt19937_64 random(127);
  const Natural p = Natural::TwoToThe(127) - Natural(1);
  for (const std::size_t degree : {2, 3, 5, 7, 16, 24, 25, 33}) {
    std::vector<Natural> roots;
    std::vector<Natural> f{Natural(1)};  // the constant first
    for (std::size_t i = 0; i < degree; ++i) {
      const Natural r = (Natural(random()) * Natural(random()) + Natural(random())) % p;
      roots.push_back(r);
      // f times (x - r)
      std::vector<Natural> next(f.size() + 1);
      for (std::size_t k = 0; k < f.size(); ++k) {
        next[k + 1] = (next[k + 1] + f[k]) % p;
        next[k] = (next[k] + (p - r) * f[k]) % p;
      }
      f = std::move(next);
    }
    Work work;
    const std::optional<Natural> root = RootModulo(f, p, work);
    ASSERT_TRUE(root.has_value()) << degree;
    EXPECT_NE(std::find(roots.begin(), roots.end(), *root), roots.end()) << degree;
  }
}

TEST(Proof, AStoppedProofClaimsOnlyTheProbablePrime) {
  StopAtTheProof stop;
  EXPECT_EQ(ProvePrime(Mersenne(607), stop), Proof::kProbable);
  Work past;
  past.StopAt(Work::Clock::now() - std::chrono::seconds(1));
  // Stopped in the probable-prime test, or at once after it (where limbs are of 32 bits, the
  // test asks sooner): never proven.
  const Proof stopped = ProvePrime(Mersenne(607), past);
  EXPECT_TRUE(stopped == Proof::kProbable || stopped == Proof::kUnknown);
}

TEST(Proof, AgreesWithTheProbablePrimeTestOnRandomNumbers) {
  std::mt19937_64 random(2026);
  struct Interval {
    Natural first;
    unsigned width_bits;
    int count;
  };
  const Interval intervals[] = {{Natural::TwoToThe(64), 20, 300},
                                {Natural::TenToThe(30), 40, 200},
                                {Natural::TwoToThe(200), 64, 100}};
  int proven = 0;
  for (const Interval& interval : intervals) {
    for (int i = 0; i < interval.count; ++i) {
      const Natural n = interval.first +
                        Natural(random() >> (64 - interval.width_bits)) * Natural(2) + Natural(1);
      Work work;
      Certificate certificate;
      const Proof proof = ProvePrime(n, work, &certificate);
      const bool probable = IsProbablePrime(n, work) == true;
      ASSERT_EQ(proof, probable ? Proof::kProven : Proof::kComposite) << n;
      if (probable) {
        ++proven;
        ASSERT_TRUE(VerifyCertificate(certificate)) << n;
      }
    }
  }
  EXPECT_GT(proven, 10);
}

// Primes of two words are proven without a certificate by n - 1 (or the curves where it does not
// split): every probable prime comes out proven, and no composite ever does, not even a
// Carmichael number, which passes Fermat's test to every base, nor psi_12, which passes the strong
// tests to the first twelve primes.
TEST(Proof, ProvesTwoWordPrimesAndNoTwoWordComposite) {
  std::mt19937_64 random(64);
  for (const unsigned bits : {70U, 82U, 100U, 127U}) {
    for (int found = 0; found < 40;) {
      const Natural n = Natural::TwoToThe(bits - 1) +
                        Natural(random() >> 1) * Natural::TwoToThe(bits - 64) + Natural(1);
      Work work;
      if (IsProbablePrime(n, work) == true) {
        ASSERT_EQ(ProvePrime(n, work), Proof::kProven) << n;
        ++found;
      }
    }
  }
  std::vector<Natural> composites{Natural::FromDecimal("3317044064679887385961981")};
  for (std::uint64_t k = std::uint64_t{1} << 26; composites.size() < 6; ++k) {
    const std::uint64_t p = 6 * k + 1;  // Chernick's (6k+1)(12k+1)(18k+1)
    if (IsPrime(p) && IsPrime(12 * k + 1) && IsPrime(18 * k + 1)) {
      composites.push_back(Natural(p) * Natural(12 * k + 1) * Natural(18 * k + 1));
    }
  }
  for (int i = 0; i < 20; ++i) {
    const std::uint64_t p = FirstPrimeAbove(random() >> 20);
    composites.push_back(Natural(p) * Natural(FirstPrimeAbove(p + (random() >> 40))));
  }
  for (const Natural& n : composites) {
    Work work;
    ASSERT_NE(ProveTwoWordPrime(n, work), std::optional<Proof>(Proof::kProven)) << n;
  }
}

// The lines of `command` in the full range, asked with `work` (the stopped line last, when it
// stopped).
std::vector<std::string> Asked(std::string_view command, const OperandTexts& texts, Work& work) {
  std::vector<std::string> lines;
  GatheredLines sink(lines);
  RunOperation(*FindCommand(command), texts, Range::kFull, sink, work);
  return lines;
}

// An answer stopped in the proof of a prime names it only as not yet proven, in its place.
TEST(Proof, AnswersStoppedInAProofClaimOnlyTheProbablePrime) {
  const std::string q = "1" + std::string(96, '0') + "289";  // 10^99 + 289
  const std::string unproven = std::string(kNotYetProvenPrime) + " " + q;
  const std::string three_q = (Natural(3) * Natural::FromDecimal(q)).ToDecimal();
  const std::string before = (Natural::FromDecimal(q) - Natural(1)).ToDecimal();
  const std::string after = (Natural::FromDecimal(q) + Natural(1)).ToDecimal();
  const struct {
    std::string_view command;
    OperandTexts texts;
    std::vector<std::string> lines;
  } cases[] = {
      {"factors", {three_q, "", ""}, {"    3", unproven, kStoppedLine}},
      {"divisors", {three_q, "", ""}, {kStoppedLine}},
      {"next-prime", {before, "", ""}, {unproven, kStoppedLine}},
      {"primes", {before, after, ""}, {unproven, kStoppedLine}},
      {"prime-count", {before, after, ""}, {kStoppedLine}},
  };
  for (const auto& c : cases) {
    StopAtTheProof stop;
    EXPECT_EQ(Asked(c.command, c.texts, stop), c.lines) << c.command;
  }
}

// The scans name prime exactly the numbers that pass the probable-prime test, each proven: a
// proof that failed on one of them would be a fault of one of the two.
TEST(Proof, ScansAgreeWithTheProbablePrimeTest) {
  std::mt19937_64 random(31);
  for (const Natural& start : {Natural::TwoToThe(64), Natural::TenToThe(25), Natural::TenToThe(30),
                               Natural::TwoToThe(127), Natural::TenToThe(45)}) {
    const Natural first = start + Natural(random() >> 24);
    const Natural last = first + Natural(600);
    std::vector<std::string> expected;
    Work work;
    for (Natural n = first + Natural(1); n < last; n += Natural(1)) {
      if (IsProbablePrime(n, work) == true) {
        expected.push_back("    " + n.ToDecimal());
      }
    }
    EXPECT_EQ(Asked("primes", {first.ToDecimal(), last.ToDecimal(), ""}, work), expected) << first;
  }
}

}  // namespace
}  // namespace brindaq
