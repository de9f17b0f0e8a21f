#include "core/proof/complex_float.h"

#include <algorithm>

namespace brindaq {
namespace {

// A temporary mpf_t of the given precision.
class Float {
 public:
  explicit Float(std::size_t bits) { mpf_init2(value_, bits); }
  Float(const Float&) = delete;
  Float& operator=(const Float&) = delete;
  ~Float() { mpf_clear(value_); }
  mpf_ptr get() { return value_; }

 private:
  mpf_t value_;
};

// arctan(1/k) = sum of (-1)^i / ((2i + 1) k^(2i + 1)), into `out`.
void ArcTanOfInverse(mpf_ptr out, unsigned long k, std::size_t bits) {
  Float power(bits);  // 1 / k^(2i + 1)
  Float term(bits);
  mpf_set_ui(power.get(), 1);
  mpf_div_ui(power.get(), power.get(), k);
  mpf_set(out, power.get());
  const unsigned long k2 = k * k;
  for (unsigned long i = 1;; ++i) {
    mpf_div_ui(power.get(), power.get(), k2);
    long exponent = 0;
    mpf_get_d_2exp(&exponent, power.get());
    if (mpf_sgn(power.get()) == 0 || exponent < -static_cast<long>(bits) - 8) {
      break;
    }
    mpf_div_ui(term.get(), power.get(), 2 * i + 1);
    if (i % 2 == 1) {
      mpf_sub(out, out, term.get());
    } else {
      mpf_add(out, out, term.get());
    }
  }
}

}  // namespace

Complex& Complex::operator*=(const Complex& b) {
  const std::size_t bits = Bits();
  Float ac(bits);
  Float bd(bits);
  Float ad(bits);
  mpf_mul(ac.get(), re_, b.re_);
  mpf_mul(bd.get(), im_, b.im_);
  mpf_mul(ad.get(), re_, b.im_);
  mpf_mul(im_, im_, b.re_);
  mpf_add(im_, im_, ad.get());
  mpf_sub(re_, ac.get(), bd.get());
  return *this;
}

Complex& Complex::operator/=(const Complex& b) {
  const std::size_t bits = Bits();
  Float norm(bits);
  Float t(bits);
  mpf_mul(norm.get(), b.re_, b.re_);
  mpf_mul(t.get(), b.im_, b.im_);
  mpf_add(norm.get(), norm.get(), t.get());
  Complex conjugate(b);
  mpf_neg(conjugate.im_, conjugate.im_);
  *this *= conjugate;
  mpf_div(re_, re_, norm.get());
  mpf_div(im_, im_, norm.get());
  return *this;
}

void Pi(mpf_ptr out, std::size_t bits) {
  Float a(bits + 16);
  Float b(bits + 16);
  ArcTanOfInverse(a.get(), 5, bits + 16);
  ArcTanOfInverse(b.get(), 239, bits + 16);
  mpf_mul_ui(a.get(), a.get(), 16);
  mpf_mul_ui(b.get(), b.get(), 4);
  mpf_sub(out, a.get(), b.get());
}

Complex Exp(const Complex& z) {
  // z / 2^k below 2^-8 in size: the series gains 8 bits a term, and each of the k squarings
  // loses about a bit, which the guard bits make up.
  const std::size_t bits = z.Bits();
  long re_exponent = 0;
  long im_exponent = 0;
  mpf_get_d_2exp(&re_exponent, z.re());
  mpf_get_d_2exp(&im_exponent, z.im());
  long k = std::max(re_exponent, im_exponent) + 8;
  if (k < 0) {
    k = 0;
  }
  const std::size_t work_bits = bits + static_cast<std::size_t>(k) + 32;
  Complex small(work_bits);
  mpf_set(small.re(), z.re());
  mpf_set(small.im(), z.im());
  mpf_div_2exp(small.re(), small.re(), static_cast<mp_bitcnt_t>(k));
  mpf_div_2exp(small.im(), small.im(), static_cast<mp_bitcnt_t>(k));
  Complex sum(work_bits);
  Complex term(work_bits);
  mpf_set_ui(sum.re(), 1);
  mpf_set_ui(term.re(), 1);
  for (unsigned long i = 1;; ++i) {
    term *= small;
    mpf_div_ui(term.re(), term.re(), i);
    mpf_div_ui(term.im(), term.im(), i);
    long re_size = 0;
    long im_size = 0;
    const bool re_zero = mpf_sgn(term.re()) == 0;
    const bool im_zero = mpf_sgn(term.im()) == 0;
    mpf_get_d_2exp(&re_size, term.re());
    mpf_get_d_2exp(&im_size, term.im());
    sum += term;
    const long limit = -static_cast<long>(work_bits) - 4;
    if ((re_zero || re_size < limit) && (im_zero || im_size < limit)) {
      break;
    }
  }
  for (long i = 0; i < k; ++i) {
    Complex copy(sum);
    sum *= copy;
  }
  Complex result(bits);
  mpf_set(result.re(), sum.re());
  mpf_set(result.im(), sum.im());
  return result;
}

void MultiplyByLinear(std::vector<Complex>& product, const Complex& root) {
  // new[i] = old[i - 1] - root old[i]; the new leading coefficient is the old one.
  product.emplace_back(root.Bits());
  for (std::size_t i = product.size() - 1; i > 0; --i) {
    Complex t(product[i]);
    t *= root;
    product[i] = product[i - 1];
    product[i] -= t;
  }
  product[0] *= root;
  mpf_neg(product[0].re(), product[0].re());
  mpf_neg(product[0].im(), product[0].im());
}

}  // namespace brindaq
