#pragma once

// Primes of two words, from 2^64 to 2^128, proven fast when no certificate is asked: the scans of
// an interval near 10^30 prove a prime every 70 numbers, and an elliptic-curve proof would cost
// each of them a millisecond.
//
// Below psi_12 = 3317044064679887385961981 the strong probable-prime tests to the first twelve
// primes tell every prime from every composite (J. Sorenson and J. Webster, "Strong pseudoprimes
// to twelve prime bases", Math. Comp. 86 (2017)). Above it, n - 1 = F R is factored in part: the
// primes below 10^4, then rho on what is left, each part told prime
// by Baillie-PSW and proven in turn. Once F, the part of n - 1 made of proven primes, is large
// enough, n is proven by J. Brillhart, D. H. Lehmer and J. L. Selfridge, "New primality criteria
// and factorizations of 2^m +- 1", Math. Comp. 29 (1975): with, for each prime q of F, a base a
// with a^(n-1) = 1 and gcd(a^((n-1)/q) - 1, n) = 1, n is prime when F^2 > n (Pocklington's
// theorem, their Theorem 4), or when F^3 >= n and, with n = c2 F^2 + c1 F + 1 in base F,
// c1^2 - 4 c2 is not a square (their Theorem 5), which asks only F of a third of n's bits. When n -
// 1 does not split that far quickly, or no base is found among the first primes, the proof is left
// to the elliptic curves (ecpp.h), which also write certificates.

#include <optional>

#include "core/big/natural.h"
#include "core/proof/ecpp.h"
#include "core/work.h"

namespace brindaq {

// The proof of a probable prime n with 2^64 < n < 2^128 (no prime below 10^4 divides it):
// kProven, kComposite, or kProbable when the work was stopped; nothing when this way found no
// proof and the curves must try.
std::optional<Proof> ProveTwoWordPrime(const Natural& n, Work& work);

}  // namespace brindaq
