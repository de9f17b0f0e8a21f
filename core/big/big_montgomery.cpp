#include "core/big/big_montgomery.h"

#include <algorithm>
#include <cstdint>

#include "core/arithmetic/wide.h"
#include "core/big/reduction_rows.h"

namespace brindaq {
namespace {

static_assert(GMP_NAIL_BITS == 0, "limbs are whole words");

// Up to this many limbs (384 bits on x86-64) the reduction is a loop of our own, unrolled for each
// size: there the calls of mpn_addmul_1 cost more than their work (measured, a product and its
// reduction: 23 against 36 ns at 3 limbs, 59 against 70 at 6, even at 7).
constexpr std::size_t kFixedLimbsUpTo = 6;

#if GMP_LIMB_BITS == 64
using DoubleLimb = Uint128;
#else
using DoubleLimb = std::uint64_t;
#endif
constexpr int kLimbBits = GMP_LIMB_BITS;

// x * y / R modulo n for K limbs: the product by GMP, then for each limb from the lowest, m n added
// so that the limb becomes 0, its carry running up into the limbs above (the product was below
// n R, the sum is below 2 n R). out may be x or y.
template <std::size_t K>
void MultiplyFixed(mp_limb_t* out, const mp_limb_t* x, const mp_limb_t* y, const mp_limb_t* n,
                   mp_limb_t minus_inverse) {
  mp_limb_t t[2 * K];
  if (x == y) {
    mpn_sqr(t, x, K);
  } else {
    mpn_mul_n(t, x, y, K);
  }
  mp_limb_t high = 0;  // the carry out of limb i + K - 1, which belongs to limb i + K
#pragma GCC unroll 8
  for (std::size_t i = 0; i < K; ++i) {
    const mp_limb_t m = t[i] * minus_inverse;
    DoubleLimb carry = (DoubleLimb{m} * n[0] + t[i]) >> kLimbBits;
#pragma GCC unroll 8
    for (std::size_t j = 1; j < K; ++j) {
      carry += DoubleLimb{m} * n[j] + t[i + j];
      t[i + j] = static_cast<mp_limb_t>(carry);
      carry >>= kLimbBits;
    }
    carry += DoubleLimb{t[i + K]} + high;
    t[i + K] = static_cast<mp_limb_t>(carry);
    high = static_cast<mp_limb_t>(carry >> kLimbBits);
  }
  if (high != 0 || mpn_cmp(t + K, n, K) >= 0) {
    mpn_sub_n(out, t + K, n, K);
  } else {
    std::copy_n(t + K, K, out);
  }
}

using FixedMultiply = void (*)(mp_limb_t*, const mp_limb_t*, const mp_limb_t*, const mp_limb_t*,
                               mp_limb_t);

constexpr FixedMultiply kFixedMultiply[kFixedLimbsUpTo + 1] = {
    nullptr,          MultiplyFixed<1>, MultiplyFixed<2>, MultiplyFixed<3>,
    MultiplyFixed<4>, MultiplyFixed<5>, MultiplyFixed<6>};

// From this many limbs on, the reduction by two whole products (each of GMP's subquadratic
// multiplication) is quicker than size_ rows (measured on x86-64, one squaring and its reduction).
// GMP's rows: 2.0 against 2.1 us at 40 limbs, 17.1 against 16.7 at 128, 252 against 128 at 519
// limbs, 10000 digits. Our own rows with ADX: 25.6 against 26.9 us at 184 limbs, 29.7 against 30.2
// at 200, 38.8 against 37.8 at 232.
std::size_t WholeProductReductionFrom() {
  return OwnReductionRows() ? 224 : 120;
}

// The inverse of an odd limb modulo the limb base, by Newton's iteration.
mp_limb_t LimbInverse(mp_limb_t n) {
  mp_limb_t inverse = n;  // right in 3 bits
  for (int i = 0; i < 6; ++i) {
    inverse *= 2 - n * inverse;
  }
  return inverse;
}

// The first `size` limbs of z into `out`, zeros above its own.
void CopyLimbs(mpz_srcptr z, std::size_t size, mp_limb_t* out) {
  const std::size_t own = std::min(mpz_size(z), size);
  std::copy_n(mpz_limbs_read(z), own, out);
  std::fill(out + own, out + size, mp_limb_t{0});
}

}  // namespace

BigMontgomery::BigMontgomery(const Natural& n)
    : n_(n),
      size_(mpz_size(n.get())),
      limbs_(size_),
      one_(size_),
      r_squared_(size_),
      product_(2 * size_ + 1),
      whole_products_(size_ >= WholeProductReductionFrom()),
      quotient_(whole_products_ ? 4 * size_ : 0) {
  CopyLimbs(n_.get(), size_, limbs_.data());
  minus_inverse_ = 0 - LimbInverse(limbs_[0]);
  Natural r = Natural::TwoToThe(static_cast<unsigned>(size_ * GMP_NUMB_BITS));
  CopyLimbs((r % n_).get(), size_, one_.data());
  CopyLimbs((r * r % n_).get(), size_, r_squared_.data());
  if (whole_products_) {
    Natural inverse;
    mpz_invert(inverse.raw(), n_.get(), r.get());
    minus_inverse_r_.resize(size_);
    CopyLimbs((r - inverse).get(), size_, minus_inverse_r_.data());
  }
}

Residue BigMontgomery::Of(const Natural& x) const {
  Residue form(size_);
  CopyLimbs((x % n_).get(), size_, form.data());
  Multiply(form, form, r_squared_);
  return form;
}

Natural BigMontgomery::ValueOf(const Residue& x) const {
  Residue one(size_, 0);
  one[0] = 1;
  Residue value(size_);
  Multiply(value, x, one);
  return RawValue(value);
}

Natural BigMontgomery::RawValue(const Residue& x) const {
  Natural value;
  std::copy(x.begin(), x.end(), mpz_limbs_write(value.raw(), static_cast<mp_size_t>(size_)));
  mpz_limbs_finish(value.raw(), static_cast<mp_size_t>(size_));
  return value;
}

void BigMontgomery::Multiply(Residue& out, const Residue& x, const Residue& y) const {
  if (size_ <= kFixedLimbsUpTo) {
    kFixedMultiply[size_](out.data(), x.data(), y.data(), limbs_.data(), minus_inverse_);
    return;
  }
  const auto size = static_cast<mp_size_t>(size_);
  if (&x == &y) {
    mpn_sqr(product_.data(), x.data(), size);
  } else {
    mpn_mul_n(product_.data(), x.data(), y.data(), size);
  }
  Reduce(out.data());
}

void BigMontgomery::Square(Residue& out, const Residue& x) const {
  if (size_ <= kFixedLimbsUpTo) {
    kFixedMultiply[size_](out.data(), x.data(), x.data(), limbs_.data(), minus_inverse_);
    return;
  }
  mpn_sqr(product_.data(), x.data(), static_cast<mp_size_t>(size_));
  Reduce(out.data());
}

void BigMontgomery::Reduce(mp_limb_t* out) const {
  const auto size = static_cast<mp_size_t>(size_);
  mp_limb_t* t = product_.data();
  mp_limb_t carry = 0;
  if (!whole_products_) {
    // Each pass makes the lowest limb left 0 by adding a multiple of n; its carry is kept in that
    // limb, and all of them are added to the upper half at the end.
    ReductionRows(t, limbs_.data(), size_, minus_inverse_);
    carry = mpn_add_n(out, t + size, t, size);
  } else {
    mp_limb_t* q = quotient_.data();
    mp_limb_t* qn = q + 2 * size_;
    mpn_mul_n(q, t, minus_inverse_r_.data(), size);  // its lower half is q
    mpn_mul_n(qn, q, limbs_.data(), size);
    carry = mpn_add_n(qn, qn, t, 2 * size);  // the lower half is now 0
    std::copy_n(qn + size, size, out);
  }
  if (carry != 0 || mpn_cmp(out, limbs_.data(), size) >= 0) {
    mpn_sub_n(out, out, limbs_.data(), size);
  }
}

void BigMontgomery::MultiplyBy(Residue& out, const Residue& x, mp_limb_t c) const {
  const auto size = static_cast<mp_size_t>(size_);
  mp_limb_t* t = product_.data();
  t[size_] = mpn_mul_1(t, x.data(), size, c);
  mp_limb_t quotient[2];
  mpn_tdiv_qr(quotient, out.data(), 0, t, size + 1, limbs_.data(), size);
}

Residue BigMontgomery::PowerOf(mp_limb_t base, const Natural& exponent) const {
  if (exponent.IsZero()) {
    return one_;
  }
  Residue x = Of(Natural(static_cast<std::uint64_t>(base)));
  for (std::size_t i = exponent.Bits() - 1; i-- > 0;) {
    Square(x, x);
    if (mpz_tstbit(exponent.get(), i) != 0) {
      MultiplyBy(x, x, base);
    }
  }
  return x;
}

void BigMontgomery::Add(Residue& out, const Residue& x, const Residue& y) const {
  const auto size = static_cast<mp_size_t>(size_);
  const mp_limb_t carry = mpn_add_n(out.data(), x.data(), y.data(), size);
  if (carry != 0 || mpn_cmp(out.data(), limbs_.data(), size) >= 0) {
    mpn_sub_n(out.data(), out.data(), limbs_.data(), size);
  }
}

void BigMontgomery::Subtract(Residue& out, const Residue& x, const Residue& y) const {
  const auto size = static_cast<mp_size_t>(size_);
  if (mpn_sub_n(out.data(), x.data(), y.data(), size) != 0) {
    mpn_add_n(out.data(), out.data(), limbs_.data(), size);
  }
}

bool BigMontgomery::IsZero(const Residue& x) const {
  return std::all_of(x.begin(), x.end(), [](mp_limb_t limb) { return limb == 0; });
}

}  // namespace brindaq
