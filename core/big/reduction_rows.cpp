#include "core/big/reduction_rows.h"

#include "core/arithmetic/wide.h"

#if defined(__x86_64__) && defined(__GNUC__) && GMP_LIMB_BITS == 64
#define BRINDAQ_ADX_ROWS 1
#include <cpuid.h>
#endif

namespace brindaq {
namespace {

#if defined(BRINDAQ_ADX_ROWS)
// rows[0..size) += n[0..size) * m, its carry returned: the first size % 4 limbs in plain C++, the
// rest four at a time with two carry chains: adcx adds each product's high limb to the next low
// one (CF), adox adds the row's limb (OF). lea and jrcxz count the blocks of four without touching
// either flag.
mp_limb_t AddRowAdx(mp_limb_t* rows, const mp_limb_t* n, std::size_t size, mp_limb_t m) {
  mp_limb_t high = 0;
  const std::size_t head = size % 4;
  for (std::size_t j = 0; j < head; ++j) {
    const Uint128 sum = Uint128{n[j]} * m + rows[j] + high;
    rows[j] = static_cast<mp_limb_t>(sum);
    high = static_cast<mp_limb_t>(sum >> 64);
  }
  std::size_t blocks = size / 4;
  if (blocks == 0) {
    return high;
  }
  rows += head;
  n += head;
  mp_limb_t low_a;
  mp_limb_t high_b;
  mp_limb_t low_c;
  __asm__ volatile(
      "xor %k[a], %k[a]\n\t"  // CF = OF = 0
      "1:\n\t"
      "mulx (%[n]), %[a], %[b]\n\t"
      "adcx %[high], %[a]\n\t"
      "adox (%[rows]), %[a]\n\t"
      "mov %[a], (%[rows])\n\t"
      "mulx 8(%[n]), %[c], %[high]\n\t"
      "adcx %[b], %[c]\n\t"
      "adox 8(%[rows]), %[c]\n\t"
      "mov %[c], 8(%[rows])\n\t"
      "mulx 16(%[n]), %[a], %[b]\n\t"
      "adcx %[high], %[a]\n\t"
      "adox 16(%[rows]), %[a]\n\t"
      "mov %[a], 16(%[rows])\n\t"
      "mulx 24(%[n]), %[c], %[high]\n\t"
      "adcx %[b], %[c]\n\t"
      "adox 24(%[rows]), %[c]\n\t"
      "mov %[c], 24(%[rows])\n\t"
      "lea 32(%[n]), %[n]\n\t"
      "lea 32(%[rows]), %[rows]\n\t"
      "lea -1(%[blocks]), %[blocks]\n\t"
      "jrcxz 2f\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "adcx %[blocks], %[high]\n\t"  // blocks is 0: the last carries of both chains
      "adox %[blocks], %[high]\n\t"
      : [n] "+&r"(n), [rows] "+&r"(rows), [blocks] "+&c"(blocks), [high] "+&r"(high),
        [a] "=&r"(low_a), [b] "=&r"(high_b), [c] "=&r"(low_c)
      : "d"(m)
      : "cc", "memory");
  return high;
}

// CPUID leaf 7: BMI2 (mulx) is bit 8 of EBX, ADX (adcx, adox) bit 19. Asked once, at the first
// reduction (not at start-up, where a form made by another file's initialiser could come first).
bool AskAdx() {
  unsigned eax = 0;
  unsigned ebx = 0;
  unsigned ecx = 0;
  unsigned edx = 0;
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) {
    return false;
  }
  return (ebx >> 8 & 1) != 0 && (ebx >> 19 & 1) != 0;
}

#endif

}  // namespace

void ReductionRows(mp_limb_t* t, const mp_limb_t* n, std::size_t size, mp_limb_t minus_inverse) {
#if defined(BRINDAQ_ADX_ROWS)
  if (OwnReductionRows()) {
    for (std::size_t i = 0; i < size; ++i) {
      t[i] = AddRowAdx(t + i, n, size, t[i] * minus_inverse);
    }
    return;
  }
#endif
  for (std::size_t i = 0; i < size; ++i) {
    t[i] = mpn_addmul_1(t + i, n, static_cast<mp_size_t>(size), t[i] * minus_inverse);
  }
}

bool OwnReductionRows() {
#if defined(BRINDAQ_ADX_ROWS)
  static const bool adx = AskAdx();
  return adx;
#else
  return false;
#endif
}

}  // namespace brindaq
