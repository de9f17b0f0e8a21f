#include "core/big/big_two_squares.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "core/big/big_congruence.h"
#include "core/big/pacing.h"

namespace brindaq {
namespace {

// A Gaussian integer re + im i; its parts may be negative, so it holds two signed mpz_t.
class Gaussian {
 public:
  Gaussian(const Natural& re, const Natural& im) {
    mpz_init_set(re_, re.get());
    mpz_init_set(im_, im.get());
  }
  Gaussian(const Gaussian& other) {
    mpz_init_set(re_, other.re_);
    mpz_init_set(im_, other.im_);
  }
  Gaussian& operator=(const Gaussian& other) {
    mpz_set(re_, other.re_);
    mpz_set(im_, other.im_);
    return *this;
  }
  ~Gaussian() {
    mpz_clear(re_);
    mpz_clear(im_);
  }

  Gaussian Conjugate() const {
    Gaussian result = *this;
    mpz_neg(result.im_, result.im_);
    return result;
  }

  Gaussian operator*(const Gaussian& other) const {
    Gaussian result(Natural(0), Natural(0));
    mpz_t t;
    mpz_init(t);
    mpz_mul(result.re_, re_, other.re_);
    mpz_mul(t, im_, other.im_);
    mpz_sub(result.re_, result.re_, t);
    mpz_mul(result.im_, re_, other.im_);
    mpz_mul(t, im_, other.re_);
    mpz_add(result.im_, result.im_, t);
    mpz_clear(t);
    return result;
  }

  // The pair |re| <= |im| (or the other way round), when neither part is 0.
  std::optional<BigSquarePair> Pair() const {
    if (mpz_sgn(re_) == 0 || mpz_sgn(im_) == 0) {
      return std::nullopt;
    }
    BigSquarePair pair;
    mpz_abs(pair.x.raw(), re_);
    mpz_abs(pair.y.raw(), im_);
    if (pair.y < pair.x) {
      std::swap(pair.x, pair.y);
    }
    return pair;
  }

 private:
  mpz_t re_;
  mpz_t im_;
};

Gaussian Power(const Gaussian& g, int e) {
  Gaussian result(Natural(1), Natural(0));
  for (int k = 0; k < e; ++k) {
    result = result * g;
  }
  return result;
}

// a + bi with a^2 + b^2 = p, for a prime p = 1 (mod 4); nothing when the work was stopped.
std::optional<Gaussian> GaussianPrimeOver(const Natural& p, Work& work) {
  // A square root t of -1: c^((p - 1) / 4) for any c that is not a square modulo p.
  Natural c(2);
  while (mpz_jacobi(c.get(), p.get()) != -1) {
    c += Natural(1);
  }
  std::optional<Natural> t = PowerModulo(c, (p - Natural(1)) >> 2, p, work);
  if (!t) {
    return std::nullopt;
  }
  // Euclid's algorithm on p and t: the first remainder below the square root of p is a.
  const Natural a = FirstRemainderAtMost(p, std::move(*t), SquareRootFloor(p));
  return Gaussian(a, SquareRootFloor(p - a * a));
}

}  // namespace

Natural CountSumsOfTwoSquares(const std::vector<BigPrimePower>& factors) {
  // The product B of e + 1 over the primes 1 (mod 4) counts x > 0, y >= 0. Of these, (sqrt(n), 0)
  // has y = 0 when n is a square; the others come in pairs (x, y), (y, x), but for x = y when n is
  // twice a square.
  Natural product(1);
  bool square = true;
  bool odd_primes_even = true;
  bool two_odd = false;
  for (const BigPrimePower& power : factors) {
    const bool even = power.exponent % 2 == 0;
    square = square && even;
    if (power.prime == 2) {
      two_odd = !even;
    } else {
      odd_primes_even = odd_primes_even && even;
    }
    const std::uint32_t residue = power.prime.Modulo(4);
    if (residue == 3 && !even) {
      return Natural(0);
    }
    if (residue == 1) {
      product *= Natural(static_cast<std::uint64_t>(power.exponent) + 1);
    }
  }
  if (square) {
    product -= Natural(1);
  }
  if (two_odd && odd_primes_even) {
    product += Natural(1);
  }
  return product >> 1;
}

std::optional<std::vector<BigSquarePair>> SumsOfTwoSquares(
    const std::vector<BigPrimePower>& factors, Work& work) {
  std::vector<BigSquarePair> pairs;
  // What every product has in common, and for each prime 1 (mod 4) the choices of its power.
  Gaussian common(Natural(1), Natural(0));
  std::vector<std::vector<Gaussian>> choices;
  for (const BigPrimePower& power : factors) {
    const std::uint32_t residue = power.prime.Modulo(4);
    if (power.prime == 2) {
      common = common * Power(Gaussian(Natural(1), Natural(1)), power.exponent);
    } else if (residue == 3) {
      if (power.exponent % 2 == 1) {
        return pairs;
      }
      common = common * Power(Gaussian(power.prime, Natural(0)), power.exponent / 2);
    } else {
      const std::optional<Gaussian> pi = GaussianPrimeOver(power.prime, work);
      if (!pi) {
        return std::nullopt;
      }
      std::vector<Gaussian>& options = choices.emplace_back();
      for (int k = 0; k <= power.exponent; ++k) {
        options.push_back(Power(*pi, k) * Power(pi->Conjugate(), power.exponent - k));
      }
    }
  }
  // Every product of one choice for each prime, depth first.
  ClockPacer pacer(work);
  bool stopped = false;
  const auto visit = [&](const auto& self, std::size_t depth, const Gaussian& product) -> void {
    if (stopped || (stopped = pacer.Stopped({"two squares", "product", pairs.size(), 0}))) {
      return;
    }
    if (depth == choices.size()) {
      if (std::optional<BigSquarePair> pair = product.Pair()) {
        pairs.push_back(std::move(*pair));
      }
      return;
    }
    for (const Gaussian& option : choices[depth]) {
      self(self, depth + 1, product * option);
    }
  };
  visit(visit, 0, common);
  if (stopped) {
    return std::nullopt;
  }
  // A product and its conjugate, and the same one times a unit, give the same pair.
  std::sort(pairs.begin(), pairs.end(),
            [](const BigSquarePair& u, const BigSquarePair& v) { return u.x < v.x; });
  pairs.erase(
      std::unique(pairs.begin(), pairs.end(),
                  [](const BigSquarePair& u, const BigSquarePair& v) { return u.x == v.x; }),
      pairs.end());
  return pairs;
}

}  // namespace brindaq
