#pragma once

// The rows of a Montgomery reduction: the loop where a proof at 1000 digits spends half its time.
// Each row adds m * n to the product so that its lowest limb left becomes 0, with m = t[i] * (-1/n)
// modulo the limb base. GMP's mpn_addmul_1 does a row in the build that Debian ships for any
// x86-64 (about 1.9 cycles a limb on a Zen 3); processors with the ADX and BMI2 extensions (Intel
// since 2014, AMD since 2017) add two chains of carries at once with mulx, adcx and adox, and a
// row of our own takes 1.4 cycles a limb: one squaring and its reduction at 3322 bits (52 limbs)
// 2.35 against 2.98 us. Elsewhere (WebAssembly, other processors) the rows are GMP's.

#include <gmp.h>

#include <cstddef>

namespace brindaq {

// Makes the lowest `size` limbs of t (of 2 * size limbs) 0 by adding multiples of n, row by row;
// each row's carry is left in the limb that it made 0, to be added to the upper half after.
void ReductionRows(mp_limb_t* t, const mp_limb_t* n, std::size_t size, mp_limb_t minus_inverse);

// Whether the rows are our own, with ADX, rather than GMP's.
bool OwnReductionRows();

}  // namespace brindaq
