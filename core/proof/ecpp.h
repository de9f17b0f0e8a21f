#pragma once

// Primality proofs past 2^64 by elliptic curves with complex multiplication: the method of A. O.
// L. Atkin and F. Morain, "Elliptic curves and primality proving", Math. Comp. 61 (1993), as in
// H. Cohen, "A Course in Computational Algebraic Number Theory", 9.2, and F. Morain,
// "Implementing the asymptotically fast version of the elliptic curve primality proving
// algorithm", Math. Comp. 76 (2007).
//
// The down-run: for a probable prime N, a fundamental discriminant D < 0 with (D / N) = 1 (small
// class numbers first) gives, by Cornacchia's algorithm on 4N = t^2 + |D| v^2, the orders
// m = N + 1 -+ t of the curves with complex multiplication by D modulo N (six for D = -3, four for
// D = -4). An m = s q, s made of small primes and q a probable prime above (N^(1/4) + 1)^2, makes a
// step, and q is proven in turn, down to a q below 2^64, which the exact word-sized test decides.
// A number that no discriminant of the lists gives a step sends the run back to the number
// before it, which takes another step. Past 1024 bits a number first searches the small degrees
// only; when they give no step, the search of the number before goes on from where it stopped,
// for another step, as the deep discriminants cost the most (tuning.h).
// Each step's curve has for j-invariant a root modulo N of the Hilbert class polynomial H_D
// (class_polynomial.h, polynomial_roots.h), taken from its factor for one genus, of degree
// h / 2^(g - 1) (genus_factor.h); of it and its twists, the one of order m is found by a point P
// with s P != O and q (s P) = O (curve_step.h), which is the step of the certificate. The orders
// are divided by the small primes several at once (smooth_parts.h).
// Where there are threads, and from some 400 bits, the curves are made on a second thread while
// the down-run goes on; between curves that thread makes the square roots that the search will
// want and tests cofactors beside it.

#include <cstddef>

#include "core/big/natural.h"
#include "core/proof/certificate.h"
#include "core/tuning.h"
#include "core/work.h"

namespace brindaq {

enum class Proof {
  kComposite,  // n is composite
  kUnknown,    // stopped before even the probable-prime test ended
  kProbable,   // n passed the probable-prime test; stopped before the proof ended (or n is
               // past tuning::kProofLargestBits, or no discriminant of the lists gave it a step)
  kProven      // n is prime, and the certificate shows it
};

// Proves n >= 1 prime or composite; below 2^64 the word-sized test answers at once. Reports
// "ECPP, 180 digits left, step 12" to the work as it goes, and stops when it asks.
Proof ProvePrime(const Natural& n, Work& work, Certificate* certificate = nullptr);

// The same for an n past 2^64 that has passed the probable-prime test (never kUnknown). Without
// a certificate to write, a number of two words is proven by the factors of n - 1 where they come
// quickly (two_word_proof.h).
Proof ProveProbablePrime(const Natural& n, Work& work, Certificate* certificate = nullptr);

// How far a number's first search goes (tuning.h): other values are for tests, which make the
// down-run go back to the numbers before more often.
struct ProofOptions {
  std::size_t search_degree_from_bits = tuning::kProofSearchDegreeFromBits;
  int search_degree = tuning::kProofSearchDegree;
};
Proof ProveProbablePrime(const Natural& n, Work& work, Certificate* certificate,
                         const ProofOptions& options);

}  // namespace brindaq
