#pragma once

// The numbers that decide how the arithmetic goes about its work, not what it computes: where one
// method hands over to another, how far trial division goes, the bounds of the elliptic curves,
// the sizes of blocks, windows and batches. Each has a line on why it has its value; changing one
// changes the time an answer takes, never the answer. The facts that the methods rest on (the
// primes of the table and 10007^2, the largest modulus of the 32-bit Montgomery form, the
// bound below which a test is proven exact) stay beside the code that relies on them, which
// checks at compile time, where it can, that these numbers keep within them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace brindaq::tuning {

// ---- Primality

// Below this, the primality test runs in 32-bit Montgomery arithmetic, which is quicker than the
// 64-bit one: it is the largest modulus that the 32-bit form takes.
inline constexpr std::uint64_t kThirtyTwoBitBelow = std::uint64_t{1} << 30;

// Below this, the strong test to the bases 2, 7 and 61, their powers raised side by side, decides
// a number that trial division left: about 2100 instructions for a prime near 2^32 against 2500
// for the Baillie-PSW test. It may be lowered but never raised: the three bases tell every prime
// from every composite only below 4759123141 (Jaeschke, 1993).
inline constexpr std::uint64_t kThreeBasesBelow = 4759123141;

// The odd primes that the test of one number tries first, 3 to 53: they take out about 73% of
// the odd numbers, at a multiplication each, and the prime that is so often the number asked
// about pays for every one tried. The factorisation asks the primality test about what is left
// once these primes are out.
inline constexpr std::size_t kQuickTrialPrimes = 15;

// The odd primes that the search for the next prime above 10^9 tries on every candidate, 3 to
// 251: one odd number in five is left for the probable-prime tests. The strong test to the base
// 2 costs some 1500 instructions a number, four at once, so a further prime p, which saves it
// for one candidate in p at a multiplication for each, stops paying at a few hundred.
inline constexpr std::size_t kNextPrimeTrialPrimes = 53;

// Below this, the next prime is searched in windows of odd numbers in 32-bit arithmetic: as far
// as every candidate stays below kThirtyTwoBitBelow, with room to spare.
inline constexpr std::uint64_t kNextPrimeWindowsBelow = 1000000000;

// The odd numbers in one such window: near 10^9 a prime comes every 21 numbers on average, so
// 256 numbers hold about a dozen and a window seldom comes up empty, while the striking, once
// for each sieving prime, is not repeated too often.
inline constexpr std::size_t kNextPrimeWindow = 128;

// The odd primes that strike a window, 3 to 997: about 16% of the odd numbers are left for
// Fermat's test, which only a few composites pass.
inline constexpr std::size_t kNextPrimeSievingPrimes = 167;

// The bits of an exponent taken at a time when raising a power to a base: 64 bits take 16
// multiplications by a table of 16 powers. The base 2 makes its table by doublings, which cost
// little, where 3-bit windows would take 21 multiplications; for 7 and 61 the table's 14
// multiplications make 3 and 4 bits about even.
inline constexpr int kPowerWindowBits = 4;

// ---- The sieve of a segment

// The odd numbers struck at a time, one byte each: a block of 32 KB stays in the level-1 data
// cache while every sieving prime strikes it. For the sieve up to 9699690, 2^14 is about as
// quick and 2^16 takes half as long again.
inline constexpr std::size_t kSieveBlock = std::size_t{1} << 15;

// The odd primes whose multiples a segment starts without, copied from a pattern of 3 * 5 * 7 *
// 11 = 1155 bytes: these four strike the most numbers. With 13 the pattern would be 15015 bytes
// and take out only 1 of 13 of the numbers that remain.
inline constexpr std::size_t kPatternPrimes = 4;

// ---- Factorisation

// The curves tried on a composite before Pollard's rho method: of 1000 products of two primes
// each of 20, 22, 26, 29 and 32 bits, none needed more than 35 (one in a hundred more than 19);
// rho behind them always ends with a factor.
inline constexpr int kCurves = 400;

// The bounds of the two stages of the elliptic-curve method for a composite n of up to `bits`
// bits, whose smallest factor has at most half of them. Larger factors need larger bounds: each
// B1 is the one that factored products of two primes of bits / 2 bits each in the fewest
// instructions (500 products of each size, B1 tried in steps of about a quarter); B2 = 50 B1. A
// smaller factor pays for the larger bound: 2^64 - 1, whose rest after trial division is 65537 *
// 6700417, takes 16400 instructions of curves where B1 = 27 took 14500.
struct CurveBounds {
  int bits;
  std::uint32_t b1;
  std::uint32_t b2;
};
inline constexpr std::array<CurveBounds, 6> kCurveBounds{{
    {36, 27, 27 * 50},
    {40, 35, 35 * 50},
    {44, 50, 50 * 50},
    {52, 100, 100 * 50},
    {58, 160, 160 * 50},
    {64, 200, 200 * 50},
}};

// The levels of the elliptic curves on a number of two words (65 to 128 bits), tried in turn, the
// last again and again, each aimed at factors of up to `factor_bits` bits. B2 = 50 B1, as for
// one word. Once the primes below 10^4 are out, half of the random numbers of 128 bits have a
// second largest prime factor of 26 bits or less, so the first levels decide the typical time:
// over 1000 such numbers (the bench's BigFactoriseRandom128), first levels of B1 = 100, 200 and
// 400 with no rho before them took a median of some 95 microseconds of one core, against 100 to
// 125 for B1 = 60 to 150 first, B2 = 25 to 200 B1, or 256 and 512 steps of rho before them. The
// last levels are GMP-ECM's for 15 and 20 digits: on products of two primes of 15 digits, B1 =
// 2000 or a B2 of 100 B1 for them did no better.
struct CurveLevel {
  int factor_bits;
  std::uint32_t b1;
  std::uint32_t b2;
  int curves;
};
inline constexpr std::array<CurveLevel, 6> kTwoWordCurveLevels{{
    {28, 100, 100 * 50, 6},
    {32, 200, 200 * 50, 12},
    {40, 400, 400 * 50, 20},
    {48, 1000, 1000 * 50, 30},
    {56, 3000, 3000 * 50, 50},
    {64, 11000, 11000 * 50, 74},
}};

// Pollard's p - 1 method on a number of two words, once, before the curves: B1 and B2 (bits
// unused; B1 = 0 for none). Its stage 1 costs a square a bit against some ten products for a
// curve, so that it reaches five times a first curve's B1 for a fraction of the cost; over the
// 1000 numbers of BigFactoriseRandom128 it took the median from some 97 microseconds of one core
// to 71. B1 = 300 to 800 and B2 = 5000 to 12000 gave 71 to 81, B1 = 1000 and B2 = 50000, or any
// B2 of 25000 and more, 85 to 92; with it, first levels of curves of B1 = 70, 150 or 200 did worse.
inline constexpr CurveBounds kTwoWordPMinusOne{0, 500, 5000};

// Steps of Pollard's rho method on a number of two words before the curves: none. A step costs
// about a tenth of a microsecond, and the first level of curves finds the factors of up to 20
// bits that some hundreds of steps would find, in one or two curves of some 10 microseconds.
inline constexpr std::uint64_t kTwoWordRhoSteps = 0;

// The giant step of the second stage, 2 * 3 * 5 * 7: its 24 baby steps (the j < D/2 prime to D)
// pair every prime of the stage with few pairs left over, and 2310 would need 240 baby steps for
// a stage that ends at 10000.
inline constexpr std::uint32_t kGiantStep = 210;

// The steps of Pollard's rho method whose differences are multiplied together before one
// greatest common divisor: the gcd, which costs some dozens of multiplications, is paid once in
// 128 steps, and a batch that overshoots is taken again one step at a time, 128 at most.
inline constexpr std::uint64_t kRhoBatch = 128;

// ---- Sums of two squares

// Below this, trying every x up to the square root of n / 2 is quicker than factoring n and
// multiplying out its Gaussian primes: the two take about as long from 3000 to 5000 (some 100 to
// 150 ns a number), and at 20000 trying takes twice as long.
inline constexpr std::uint64_t kSquaresTriedBelow = 4000;

// ---- Primality proofs by elliptic curves

// The discriminants that the proof tries: |D| up to this bound and class number up to the next,
// the smallest class numbers first. Those with class number 1 to 8 below 10^4 already give a step
// down from a 100-digit prime after a few dozen tries; the larger classes are for the numbers
// where the small ones give no order with a large prime factor.
inline constexpr std::int32_t kProofDiscriminantBound = 100000;
inline constexpr int kProofLargestClass = 40;

// Past the small numbers, discriminants of class numbers above those bounds, up to this one, are
// in the lists when the factors of their genera are of this degree or less: their roots cost as
// little as those of the small classes, and some 1100 of them below 10^5 join the 2600 of degree 8
// or less. On the three primes of 500 digits of the bench, three runs each, medians of 2.9, 3.1
// and 4.9 to 5.4 s where they took 3.4, 2.9 and 5.0 to 5.3 s, and 4.0 to 4.9 s of processor time
// against 4.2 to 5.5 s for the first two; class numbers up to 256, or degrees up to 12, gave
// about the same. For 200 and 300 digits they cost a fifth more time than they saved.
inline constexpr int kProofCheapLargestClass = 128;
inline constexpr int kProofCheapDegree = 8;

// Past this many bits (some 620 digits) the lists take in class numbers up to 256 whose genus
// factors are of degree 20 or less. The more discriminants each square root serves, the fewer
// searches run through a whole list without a step, each of which cost some 450 square roots at
// 1000 digits and sent the down-run back a number. Five primes of 1000 digits took 54, 65, 61,
// 57 and 70 s (533 s of processor time in all) where they took 57, 90, 66, 82 and 76 s (650 s);
// degree 16 gave a median of 63 s, degree 12 of 73 s, class numbers up to 512 the same as 256.
// Three primes of 700 digits took about as long either way, four of 500 digits 3 % longer.
inline constexpr std::size_t kProofRichListsFromBits = 2048;
inline constexpr int kProofRichLargestClass = 256;
inline constexpr int kProofRichDegree = 20;

// Numbers of at most this many bits try first the discriminants down to the smaller bound: they
// find their steps among the small degrees there, and the list takes a tenth of the time to make
// (some 2 ms of the 17 of a proof of 100 digits).
inline constexpr std::size_t kProofSmallListToBits = 512;
inline constexpr std::int32_t kProofSmallDiscriminantBound = 20000;

// When none of those gives a step (numbers of some 1000 digits, whose orders are seldom a small
// part times a prime), the wider list: class numbers up to 100, |D| up to 4 10^5.
inline constexpr std::int32_t kProofWiderDiscriminantBound = 400000;
inline constexpr int kProofWiderLargestClass = 100;

// The first number has no number before it to go back to: when no list above gives it a step, a
// last one takes in the classes up to 1024 whose genus factors are of degree 40 or less, for |D|
// up to 2 10^6: 121000 discriminants against the wider list's 44000, more than half of them
// products of prime discriminants below 1000, whose roots are soon made. 10^999 + 7 is such a
// number: no prime order among the 262 of the lists above (nor, by PARI/GP, among the 116 of the
// class numbers up to 40 and |D| up to 10^5); the last list gave it a step at its 1740th
// discriminant, and the proof took 59 s. Made only for a number that needs it (0.5 s).
inline constexpr std::int32_t kProofLastDiscriminantBound = 2000000;
inline constexpr int kProofLastLargestClass = 1024;
inline constexpr int kProofLastDegree = 40;

// A prime of two words past psi_12 is proven by the part of n - 1 that trial division and these
// steps of rho take apart, when it is a third of n's bits; otherwise by the curves. On 2000
// primes near 3 10^29: 2^10 steps left 51 % to the curves (0.40 ms a prime), 2^12 steps 38 %
// (0.37 ms), 2^14 steps 26 % but 0.42 ms; the first level of the curves besides cost more than
// it saved.
inline constexpr std::uint64_t kTwoWordProofRhoSteps = 1 << 12;

// Past this many bits (about 1020 digits) no proof is tried, and a probable prime stays one. At
// 1000 digits the first lists give most numbers their steps (the wider one is seldom needed), and
// the time goes to the strong tests of the orders' cofactors (some 30 %), the square roots of the
// prime discriminants modulo each number (35 %) and the roots of the genus factors (25 %, a few
// of degree 10 to 30 taking 1 to 4 s). Three primes of 1000 digits took 64, 108 and 121 s (95,
// 136 and 161 s of processor time) on a quiet machine, and 53, 62 and 88 s once the curves were
// made beside the down-run and the searches cut at degree 20 (five primes: median 74 s); the
// first took 80 to 100 s (112 to 117 s of processor time) before the search tested its cofactors
// on both processors and divided by the primes up to 2^20. A prime of 800 digits took 22.7 s (37 s
// of processor time). On a slower host, where mpz_powm at 3322 bits took 12 to 13.6 ms instead of
// 10, five primes took a median of 89 s, and 62 s (52 to 73 s) once the powers were raised in
// Montgomery form and the lists were richer; 53 s (43 to 60 s) with reduction rows of our own, by
// ADX (reduction_rows.h).
inline constexpr std::size_t kProofLargestBits = 3400;

// The primes divided out of a curve's order go up to this many times the number's bits (at most
// 2^20): a larger bound takes more out of each order, so that fewer orders are tried and the
// steps are fewer, at the cost of the division of each order. On three primes of 281 digits, 256
// took 0.68 to 0.77 s where 64 took 0.95 to 1.35 s.
inline constexpr std::uint64_t kProofTrialBoundPerBit = 256;

// The same for numbers of more than kProofLargeTrialFromBits bits, which thus divide by all the
// primes up to 2^20: three primes of 500 digits took 16.2 and 16.7 s of processor time in all
// (two runs) where 256 took 19.6 and 20.4 s (fewer orders tested, larger drops), and a chain
// down from 1000 digits took 113 steps instead of 127. Below, the larger bound cost more than it
// saved: three primes of 200 digits took medians of 119, 90 and 96 ms where 256 took 76, 88 and
// 55, three of 300 digits 419 to 643 ms against 432 to 444.
inline constexpr std::uint64_t kProofTrialBoundPerBitLarge = 1024;
inline constexpr std::size_t kProofLargeTrialFromBits = 1024;

// The curves are made on a second thread beside the down-run only for a number of more than
// this many bits: below, a step takes a millisecond or less, and a thread handed each step waits
// for a processor on a busy machine. A prime of 100 digits took 13 ms where it took 28 to 36 ms
// with a thread at every step; three of 300 digits took 0.29 to 0.47 s either way.
inline constexpr std::size_t kProofThreadsFromBits = 400;

// A number of more than so many bits searches its step first among the discriminants of degree
// up to kProofSearchDegree only. When none of them gives one, the search of the number before goes
// on from where it found this one, for another step (once for each number), and the number after
// that searches anew. Deep searches cost the most: each discriminant past the small degrees needs
// a square root of its own for one chance in its degree, and the curve of a degree of 30 or 40
// took 5 to 14 s at 1000 digits. Ten primes of 600 digits, one run each, on a busy machine: 94 s
// of processor time with degree 20, 99 s with 12, 96 s with 20 and a search cut after 160 roots
// as well, 100 s without the cut; a prime of 1000 digits, 106 s with degree 20 where it took 152
// to 157 s, another 95 s where it took 98 to 101 s, a third 147 s where it took 133 to 135 s.
inline constexpr std::size_t kProofSearchDegreeFromBits = 1024;
inline constexpr int kProofSearchDegree = 20;

// The orders that are divided by the small primes at once (smooth_parts.h): more make each
// division cheaper, but the search may then go on a few discriminants past its end. Past 1024
// bits, 16, 32 or 64 at once changed nothing on ten primes of 600 digits: the strong tests and
// square roots, weighed by their sizes, came to within 3 % of those with 8, and the times varied
// more from run to run (10 to 15 % on a busy host) than between the settings.
inline constexpr std::size_t kProofOrdersAtOnce = 8;

// Between curves, their thread makes the square roots that the search in progress (on the other
// thread) will want, at most this many discriminants of the list ahead of it, so that few are
// made for nothing. On a quiet machine a prime of 500 digits took 2.4 to
// 2.7 s with it and 2.7 to 3.1 s without, three of 300 digits 0.24 to 0.41 s against 0.26 to
// 0.51 s; on a busy one it costs some 5 % more processor time. With these roots made ahead, a
// search that tried first the discriminants of the same degree, 32 or 64 ahead, whose roots were
// already made saved nothing (ten primes of 600 digits, the work weighed as above).
inline constexpr std::size_t kProofRootsAhead = 128;

// The thread that makes the roots ahead leaves the next so many discriminants of the list to the
// search: where most discriminants want new roots, the two would otherwise take turns, each
// waiting for the root that the other is making. Ten primes of 600 digits, quiet: 50.2 s in all
// with 12, 53.7 s with none, 53.5 s with 24 (and 51.3 s with 12 and 64 ahead); three of 1000
// digits took 53, 62 and 88 s with 12 where they took 59, 63 and 98 s with none.
inline constexpr std::size_t kProofRootsGap = 12;

// The search for a step ends with the smallest q of this many found, or at once with a q this
// many bits smaller than N. With the genus factors' cheap roots, steps cost less than the
// search for a larger drop: on eight primes of 300 digits and two of 450, 16 bits (and a slack
// of one below) took 4.2 to 4.7 s and 4.9 to 5.4 s of processor time where 24 (and two) took
// 4.4 s and 8.2 s.
inline constexpr int kProofCandidates = 2;
inline constexpr std::size_t kProofGoodDropBits = 16;

// A step must take at least this many bits off: one that takes off less costs a curve for
// nothing.
inline constexpr std::size_t kProofLeastDropBits = 4;

// Once a step is found, the search goes on only through degrees (of the genus factors) at most
// this much larger: the root of a larger factor costs more than the better drop saves.
inline constexpr int kProofClassSlack = 1;

// From this degree on, a polynomial is reduced modulo a class polynomial by two products
// (Barrett's method) rather than h^2 multiplications of coefficients.
inline constexpr std::size_t kProofBarrettFromDegree = 6;

// Up to this degree, the coefficients of x^h to x^(2h - 2) are folded in by the powers of x
// modulo the class polynomial, made once: h (h - 1) products of coefficients and h divisions
// instead of Barrett's two products of polynomials and their 3h divisions.
inline constexpr std::size_t kProofPowerTableToDegree = 24;

// The points and twists tried before a curve of the order sought is given up: each has about
// even odds (one in six for D = -3, one in four for D = -4).
inline constexpr std::uint64_t kProofCurveAttempts = 96;

// ---- The self-initialising quadratic sieve

// A composite part of this many digits or more, with no small factor, goes to the quadratic
// sieve once rho and the elliptic curves have looked for factors of up to kCurvesShareBeforeSiqs
// of its digits: the sieve takes about as long whatever the factors, the curves longer for larger
// factors. Below 48 digits the curves are not tried at all: their first level took a seventh of
// the time that the sieve takes on 40 digits. On products of two primes of equal size, from 26
// digits the sieve alone (some 1 ms of one core at 26 to 30 digits) beat the curves for two words
// (medians of 1 to 4 ms, of 0.3 to 0.5 ms at 24 digits). With the sieve's interval of 20 KiB,
// its small matrices and its test in lanes of 16 bits, on eight such products of each size the
// sieve alone took medians of 0.36 ms at 24 digits and 0.39 at 25, the curves 1.0 and 1.0 (up to
// 2 to 4 ms); at 23 digits 0.44 against 0.29 (but up to 1.7), at 20 to 22 the curves did better.
inline constexpr std::size_t kSiqsFromDigits = 24;
inline constexpr double kCurvesShareBeforeSiqs = 0.25;

// Past this many digits the sieve is not tried: at 80 digits it takes 290 seconds of one core
// with one large prime, some 210 with two (about half of that on two cores), and every 5 digits
// more take some three times as long, while the curves find a factor of 25 digits of a number of
// 100 digits in seconds. A larger part goes on with the curves alone, their levels rising, as it
// did before the sieve.
inline constexpr std::size_t kSiqsUpToDigits = 80;

// A part of two words of kSiqsFromDigits digits or more (up to 39) goes through the first level of
// the curves for two words, factors of up to this many bits (kTwoWordFirstCurvesBeforeSiqs of its
// curves, that find the small factors of most numbers), and the next levels up to
// kCurvesShareBeforeSiqs of its digits, before the sieve. Going on to 40 bits cost 2.8 ms on
// products of two primes of 30 digits, where the sieve takes about 1.2 ms.
inline constexpr int kTwoWordCurvesBeforeSiqsBits = 28;

// Of the first level's curves, only this many before the sieve: a curve of B1 = 100 costs some
// 25 microseconds, a sixth of the six, where the sieve takes 0.7 to 1 ms at 30 digits. On products
// of two primes of 15 digits, three curves instead of six took 0.07 ms off; on three products of a
// prime of 8 digits and one of 22, three curves (and p - 1) still found every factor, where two
// left one of them to the sieve.
inline constexpr int kTwoWordFirstCurvesBeforeSiqs = 3;

// The bytes of the sieve struck at a time: a block of 32 KiB stays in the level-1 data cache
// while every prime of the factor base strikes it.
inline constexpr std::size_t kSiqsBlock = std::size_t{1} << 15;

// The primes from this one on are sieved from buckets, their hits sorted by block once for each
// polynomial, rather than each visited in every block: those above the block strike it at most
// once for each root, and those a little below it only a few times, for the same cost of a visit.
// From 2^13 instead of the block: 15 % slower at 50 digits (an interval of one block), no faster
// at 60 (two blocks).
inline constexpr std::uint32_t kSiqsBucketedFrom = kSiqsBlock;

// For a number of `digits` digits: the primes of the factor base, the KiB of the interval (both
// sides of 0 together, sieved in blocks of kSiqsBlock bytes, the last one perhaps shorter), the
// large prime bound as a multiple of the largest prime of the factor base, and the threshold: a
// value of the interval is tried by division when the logarithms that struck it come within
// `threshold` times the bits of the largest prime of the factor base of the bits of the largest
// value of the polynomial. Between two rows the values are interpolated. Measured on products of
// two primes of equal size (three of each size, the polynomials sieved and the CPU time taken,
// on one core): from 26 to 50 digits an interval of one block, with a factor base of 60 primes
// at 20 digits and 130 at 30 (the time nearly flat from 100 to 150 and from 16 to 32 KiB), did
// best; with the primes above the block in buckets a larger factor base costs little, and from
// 60 digits a factor base larger than msieve's table for one large prime, over
// an interval of only 2 to 8 blocks, sieved the fewest seconds. At 70 digits factor bases of
// 9000 to 16000 primes sieved as fast; at 80 digits 20000 primes took 270 seconds of sieving and
// 22 of matrix (merged, on a loaded machine), 15000 took 350 and 3 (both with one large prime;
// the thresholds from 65 digits are those for two, see kSiqsTwoLargePrimesFromDigits).
// At 26 to 30 digits an interval of 20 KiB gathered the relations in 5 % less time than 32 (the
// least of 100 runs of each of six products of two primes of 15 digits, one stream): 16, 18, 24
// and 28 KiB were in between; the row at 35 digits is the interpolation that was there before.
struct SiqsSize {
  int digits;
  std::uint32_t primes;
  std::uint32_t kib;
  std::uint32_t large_multiplier;
  double threshold;
};
inline constexpr std::array<SiqsSize, 12> kSiqsSizes{{
    {20, 60, 16, 30, 2.0},
    {30, 130, 20, 30, 1.95},
    {35, 315, 32, 35, 1.975},
    {40, 500, 32, 40, 2.0},
    {45, 800, 32, 40, 2.0},
    {50, 1300, 32, 60, 2.0},
    {55, 2400, 64, 70, 2.1},
    {60, 4000, 64, 70, 2.2},
    {65, 7000, 128, 100, 2.6},
    {70, 12000, 192, 150, 2.6},
    {75, 16000, 192, 150, 2.6},
    {80, 20000, 256, 200, 2.6},
}};

// From this many digits on, the sieve keeps the values left with two large primes (each below the
// large prime bound, their product below that bound to the power kSiqsTwoLargePrimesExponent) as
// well as those left with one, and combines the cycles that their large primes make; the rows of
// kSiqsSizes from 65 digits have the threshold that suits it, higher by 0.1 to 0.3 than with one
// large prime. Measured on one stream, the CPU time of the gathering and the matrix together, on
// a loaded machine (noise some 5 %), two products of two primes of each size, with one large
// prime at the row's threshold against two at the best threshold: at 60 digits 5.2 to 5.4 s
// against 5.1 to 5.3 (no gain, threshold 2.5), at 62 digits 6.3 to 6.6 against 6.0 (2.5), at
// 65 digits 12.5 to 13.0 against 10.9 (2.6; 11.5 at 2.4, 11.2 at 2.5), at 70 digits 33.1 against
// 28.5 (2.6; 28.7 at 2.5, 30.4 at 2.4, 29.5 at 2.7 with a large prime bound twice as large), at
// 75 digits (one product) 77.8 against 50.5 (2.6; 59.8 to 62.6 at 2.7 and 2.8, their matrix
// three times as long) and at 80 digits (one product) 301 against 214 (2.6). The bound for the
// product of two: at 65 digits the exponent 1.7 took 11.6 s, 1.8 10.9 to 11.2, 1.9 11.9. At 70
// digits, factor bases of 9000 and 15000 primes took 31.2 and 30.5 s against 29.9 for 12000.
inline constexpr std::size_t kSiqsTwoLargePrimesFromDigits = 62;
inline constexpr double kSiqsTwoLargePrimesExponent = 1.8;

// From this many digits on, the sieve runs two streams of polynomials on two threads (where
// there are two cores); below, one. At every size: the second stream costs the first only its
// start (a copy of the factor base and a thread, some 30 to 50 microseconds at 30 digits, where
// the sieve takes about 1 ms of one core), and the first no longer waits for it at the end.
inline constexpr std::size_t kSiqsTwoStreamsFromDigits = 0;

// The relations gathered beyond the size of the factor base: each is one more product that is a
// square, each of which splits n with odds of one half at least, so that 10 fail together about
// once in 1000 (the sieve then gathers again, twice as many). At 30 digits 16 instead of 64 took
// 10 % off the time, and 10 instead of 16 spares 6 of some 145 relations, about 4 %.
inline constexpr std::size_t kSiqsExtraRelations = 10;

// Up to this many relations (factor bases of up to some 50 digits) the matrix is eliminated
// densely at once, its columns taken from the largest prime down, without first dropping and
// merging sparse rows. The medians of the matrix, dense against dropped and merged: at 30 digits
// (150 relations) 15 against 70 microseconds, at 34 digits (300) 47 against 250, at 40 digits
// (520) 0.26 against 0.69 ms, at 50 digits (1300) 1.9 against 3.2 ms.
inline constexpr std::size_t kSiqsDenseUpToRelations = 1500;

// The primes below this are not sieved with: they strike the most bytes for the least logarithm.
// What they would add is made up for by a threshold lower by kSiqsSmallPrimeBits.
inline constexpr std::uint32_t kSiqsSmallestSieved = 30;
inline constexpr double kSiqsSmallPrimeBits = 4.0;

// The bits of the primes whose product makes the leading coefficient A of the polynomials: a few
// thousand, so that A has enough of them for many polynomials, none too small to sieve with.
inline constexpr double kSiqsFactorBitsOfA = 11.0;

}  // namespace brindaq::tuning
