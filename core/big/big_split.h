#pragma once

// The methods that split a composite number with no small factor, each in its own file, for
// big_factorisation.cpp: a perfect power by its root, Pollard's rho method (big_rho.cpp), the
// elliptic-curve method (big_ecm.cpp), the self-initialising quadratic sieve (big_siqs.cpp). Each
// returns a factor f with 1 < f < n, or 1 when it found none, or was stopped (Work::Stopped() then
// stays true).

#include <cstdint>
#include <vector>

#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// The smallest k > 1 and its r with n = r^k, for an n with no prime factor below 10^4; k = 1
// when n is no perfect power.
struct PerfectPower {
  Natural root;
  int exponent;
};
PerfectPower AsPerfectPower(const Natural& n);

// Pollard's rho method in Brent's form with x -> x^2 + c, for at most `steps` steps, on an odd
// composite n.
Natural RhoFactor(const Natural& n, std::uint64_t c, std::uint64_t steps, Work& work);

// One level of the elliptic-curve method: a bound B1, and how many curves to try with it.
struct EcmLevel {
  int digits;  // the size of factor that the level is meant to find
  std::uint64_t b1;
  std::uint64_t curves;
};

// The levels in the order they are tried.
const std::vector<EcmLevel>& EcmLevels();

// Which of a level's curves one thread takes: the first, and every so many after it.
struct CurveShare {
  std::uint64_t first = 0;
  std::uint64_t every = 1;
};

// The elliptic-curve method with `level`, on curves with Suyama's parameters sigma = first_sigma,
// first_sigma + 1, ... (those of `share`); for an odd composite n that is no perfect power.
Natural EcmFactor(const Natural& n, const EcmLevel& level, std::uint64_t first_sigma, Work& work,
                  CurveShare share = {});

// The same with the curves shared out between the processor's cores (two at most), each thread
// on its own curves, all stopped as soon as one finds a factor. Where there are no threads (in
// WebAssembly) or one core, on this thread alone.
Natural EcmFactorOnEveryCore(const Natural& n, const EcmLevel& level, std::uint64_t first_sigma,
                             Work& work);

// The self-initialising quadratic sieve, for an odd composite n with no prime factor below 10^4
// that is no perfect power: it always ends with a factor, unless stopped.
Natural SiqsFactor(const Natural& n, Work& work);

}  // namespace brindaq
