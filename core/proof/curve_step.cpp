#include "core/proof/curve_step.h"

#include <cstddef>

#include "core/big/big_montgomery.h"

namespace brindaq {
namespace {

struct Jacobian {
  Residue x;
  Residue y;
  Residue z;
};

class Curve {
 public:
  Curve(const BigMontgomery& m, const Residue& a) : m_(m), a_(a) {
    for (Residue* r : {&xx_, &yy_, &yyyy_, &zz_, &s_, &t_, &mm_, &h_, &i_, &j_, &r_, &v_}) {
      *r = m.Zero();
    }
  }

  // p = 2p
  void Double(Jacobian& p) {
    m_.Square(xx_, p.x);
    m_.Square(yy_, p.y);
    m_.Square(yyyy_, yy_);
    m_.Square(zz_, p.z);
    // S = 4 X YY
    m_.Multiply(s_, p.x, yy_);
    m_.Add(s_, s_, s_);
    m_.Add(s_, s_, s_);
    // M = 3 XX + a ZZ^2
    m_.Square(t_, zz_);
    m_.Multiply(t_, t_, a_);
    m_.Add(mm_, xx_, xx_);
    m_.Add(mm_, mm_, xx_);
    m_.Add(mm_, mm_, t_);
    // Z3 = 2 Y Z
    m_.Multiply(p.z, p.y, p.z);
    m_.Add(p.z, p.z, p.z);
    // X3 = M^2 - 2S
    m_.Square(p.x, mm_);
    m_.Subtract(p.x, p.x, s_);
    m_.Subtract(p.x, p.x, s_);
    // Y3 = M (S - X3) - 8 YYYY
    m_.Subtract(t_, s_, p.x);
    m_.Multiply(p.y, mm_, t_);
    m_.Add(yyyy_, yyyy_, yyyy_);
    m_.Add(yyyy_, yyyy_, yyyy_);
    m_.Add(yyyy_, yyyy_, yyyy_);
    m_.Subtract(p.y, p.y, yyyy_);
  }

  // p = p + (x2, y2)
  void AddAffine(Jacobian& p, const Residue& x2, const Residue& y2) {
    m_.Square(zz_, p.z);
    m_.Multiply(t_, x2, zz_);  // U2
    m_.Multiply(s_, y2, p.z);
    m_.Multiply(s_, s_, zz_);  // S2
    m_.Subtract(h_, t_, p.x);  // H
    m_.Square(xx_, h_);        // HH
    m_.Add(i_, xx_, xx_);
    m_.Add(i_, i_, i_);       // I = 4 HH
    m_.Multiply(j_, h_, i_);  // J
    m_.Subtract(r_, s_, p.y);
    m_.Add(r_, r_, r_);        // r
    m_.Multiply(v_, p.x, i_);  // V
    // Z3 = 2 Z1 H
    m_.Multiply(p.z, p.z, h_);
    m_.Add(p.z, p.z, p.z);
    // X3 = r^2 - J - 2V
    m_.Square(p.x, r_);
    m_.Subtract(p.x, p.x, j_);
    m_.Subtract(p.x, p.x, v_);
    m_.Subtract(p.x, p.x, v_);
    // Y3 = r (V - X3) - 2 Y1 J
    m_.Multiply(yy_, p.y, j_);
    m_.Add(yy_, yy_, yy_);
    m_.Subtract(t_, v_, p.x);
    m_.Multiply(p.y, r_, t_);
    m_.Subtract(p.y, p.y, yy_);
  }

  // k (x, y) for k >= 1, left to right.
  Jacobian Multiple(const Residue& x, const Residue& y, const Natural& k) {
    Jacobian p{x, y, m_.One()};
    for (std::size_t i = k.Bits() - 1; i-- > 0;) {
      Double(p);
      if (mpz_tstbit(k.get(), i) != 0) {
        AddAffine(p, x, y);
      }
    }
    return p;
  }

 private:
  const BigMontgomery& m_;
  const Residue& a_;
  Residue xx_, yy_, yyyy_, zz_, s_, t_, mm_, h_, i_, j_, r_, v_;
};

// The gcd of the number that a residue stands for with n: 1 when it is a unit.
Natural GcdWith(const BigMontgomery& m, const Residue& z) {
  return Gcd(m.RawValue(z), m.Modulus());
}

}  // namespace

StepCheck CheckCurveStep(const Natural& n, const CurvePoint& point, const Natural& s,
                         const Natural& q) {
  const BigMontgomery m(n);
  const Residue a = m.Of(point.a);
  Residue x = m.Of(point.x);
  Residue y = m.Of(point.y);
  // b = y^2 - x^3 - a x; the curve is singular where 4a^3 + 27b^2 = 0.
  {
    Residue b = m.Zero();
    Residue t = m.Zero();
    m.Square(b, y);
    m.Square(t, x);
    m.Add(t, t, a);
    m.Multiply(t, t, x);
    m.Subtract(b, b, t);
    Residue disc = m.Zero();
    m.Square(t, a);
    m.Multiply(t, t, a);
    const Residue four = m.Of(Natural(4));
    const Residue twenty_seven = m.Of(Natural(27));
    m.Multiply(disc, t, four);
    m.Square(t, b);
    m.Multiply(t, t, twenty_seven);
    m.Add(disc, disc, t);
    const Natural common = GcdWith(m, disc);
    if (common == n || common.IsZero()) {
      return StepCheck::kFails;
    }
    if (common != 1) {
      return StepCheck::kComposite;
    }
  }
  Curve curve(m, a);
  if (s != 1) {
    const Jacobian p = curve.Multiple(x, y, s);
    const Natural common = GcdWith(m, p.z);
    if (common == n) {
      return StepCheck::kFails;
    }
    if (common != 1) {
      return StepCheck::kComposite;
    }
    // To affine: x = X / Z^2, y = Y / Z^3.
    Natural inverse;
    mpz_invert(inverse.raw(), m.ValueOf(p.z).get(), n.get());
    const Residue z_inverse = m.Of(inverse);
    Residue zz = m.Zero();
    m.Square(zz, z_inverse);
    m.Multiply(x, p.x, zz);
    m.Multiply(zz, zz, z_inverse);
    m.Multiply(y, p.y, zz);
  }
  const Jacobian r = curve.Multiple(x, y, q - Natural(1));
  const Natural common = GcdWith(m, r.z);
  if (common == n) {
    return StepCheck::kFails;
  }
  if (common != 1) {
    return StepCheck::kComposite;
  }
  // (q - 1) Q = -Q: X = x Z^2, Y = -y Z^3.
  Residue zz = m.Zero();
  Residue t = m.Zero();
  m.Square(zz, r.z);
  m.Multiply(t, x, zz);
  if (t != r.x) {
    return StepCheck::kFails;
  }
  m.Multiply(zz, zz, r.z);
  m.Multiply(t, y, zz);
  m.Add(t, t, r.y);
  return m.IsZero(t) ? StepCheck::kHolds : StepCheck::kFails;
}

bool ExceedsBound(const Natural& q, const Natural& n) {
  // With u = N^(1/4) between B / 2^k and (B + 1) / 2^k, B = floor((N 2^(4k))^(1/4)), k = 64:
  // q > ((B + 1) / 2^k + 1)^2 is enough, and q <= (B / 2^k + 1)^2 rules it out; between the two
  // (a width of about 2^-60 q^(1/2)) the answer is taken as no.
  constexpr unsigned k = 64;
  Natural b = n << (4 * k);
  mpz_root(b.raw(), b.get(), 4);
  const Natural scaled_q = q << (2 * k);
  Natural upper = b + Natural(1) + Natural::TwoToThe(k);
  upper *= upper;
  return scaled_q > upper;
}

}  // namespace brindaq
