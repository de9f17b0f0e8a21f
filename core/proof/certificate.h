#pragma once

// The certificate of an elliptic-curve primality proof, in the form that PARI/GP's primecert()
// writes and primecertisvalid() reads: a prime below 2^64 stands for itself; above, a vector of
// steps [N, t, s, a, [x, y]], N the first step's number, with E: y^2 = x^3 + a x + b modulo N
// (b = y^2 - x^3 - a x, from the point), m = N + 1 - t its order, q = m / s the next step's N;
// the last q is a prime below 2^64. The text is gp's own syntax, so that gp can check it; the
// verifier here checks it without gp, step by step (curve_step.h), and the last q by the exact
// word-sized test.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/big/natural.h"

namespace brindaq {

struct CertificateStep {
  Natural n;
  Natural t;  // |t|
  bool t_negative = false;
  Natural s;
  Natural a;
  Natural x;
  Natural y;
};

struct Certificate {
  Natural number;                      // the prime that the certificate proves
  std::vector<CertificateStep> steps;  // none for a prime below 2^64
};

// gp's text: the number itself for a prime below 2^64, else [[N, t, s, a, [x, y]], ...].
std::string CertificateText(const Certificate& certificate);

// The certificate that a text of that form stands for (spaces and line breaks anywhere between
// the parts); nothing when it is not of that form.
std::optional<Certificate> ParseCertificate(std::string_view text);

// Whether the certificate proves its number prime: every step holds (N prime to 6, t^2 < 4N,
// s divides N + 1 - t, q > (N^(1/4) + 1)^2, the point's multiples as curve_step.h checks them),
// each q is the next step's N, and the last q is a prime below 2^64.
bool VerifyCertificate(const Certificate& certificate);

}  // namespace brindaq
