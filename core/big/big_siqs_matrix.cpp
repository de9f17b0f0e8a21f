// The self-initialising quadratic sieve: from relations to a factor. A product of relations whose
// every prime appears an even number of times is a square Y^2, and the product X of their y
// has X^2 = Y^2 modulo n; gcd(X - Y, n) is then a proper factor at least half of the time. Such
// products are the vectors of the kernel of the matrix over GF(2) of the exponents modulo 2.
// It is found by structured Gaussian elimination (as in A. M. Odlyzko, "Discrete logarithms in
// finite fields and their cryptographic significance", 1985, and C. Pomerance and J. W. Smith,
// "Reduction of huge, sparse matrices over finite fields via created catastrophes", 1992), in
// a simple form: a relation with a prime that no other relation has can be in no square and is
// dropped, over again until none is left; a prime that two relations alone have is removed by
// multiplying one into the other, which takes a row and a column from the matrix. The rest is
// eliminated densely, on rows of 64-bit words, each row carrying the set of relations that were
// added into it; the columns are taken from the sparsest, which keeps the rows sparse longest, 64
// at a time: the word that holds them is gathered from every row once, so that finding a pivot
// does not read rows far apart in memory (which took a minute for the 2 * 10^4 rows of 80
// digits). This always ends, in about r^3 / 64 word operations for r rows (two seconds for the
// 1.2 * 10^4 of 70 digits). A matrix of up to some 1500 relations (50 digits) is eliminated
// densely at once, its columns from the largest prime down, which costs less than the dropping
// and merging. Every product is
// checked to be a square, and its congruence, before its gcd is taken.

#include <algorithm>
#include <bit>
#include <iterator>
#include <limits>
#include <numeric>

#include "core/big/big_siqs.h"
#include "core/big/big_split.h"
#include "core/tuning.h"

namespace brindaq {

std::optional<std::pair<Natural, Natural>> SquaresOf(const std::vector<SiqsRelation>& relations,
                                                     const std::vector<std::size_t>& chosen,
                                                     const Natural& n) {
  Natural x(1);
  bool negative = false;
  std::size_t total = 0;
  for (const std::size_t i : chosen) {
    const SiqsRelation& relation = relations[i];
    mpz_mul(x.raw(), x.get(), relation.y.get());
    mpz_mod(x.raw(), x.get(), n.get());
    negative = negative != relation.negative;
    total += relation.primes.size();
  }
  if (negative) {
    return std::nullopt;
  }
  // The exponent of each prime, counted in a table open to linear probing (a prime and its count
  // in each slot, 0 when the slot is free): thousands of primes at 40 digits, which a sort took
  // a quarter of a millisecond to gather.
  const int bits = std::bit_width(2 * total + 15);
  std::vector<std::uint64_t> counts(std::size_t{1} << bits, 0);
  const std::size_t mask = counts.size() - 1;
  for (const std::size_t i : chosen) {
    for (const std::uint32_t p : relations[i].primes) {
      std::size_t slot = (std::uint64_t{p} * 0x9e3779b97f4a7c15u) >> (64 - bits);
      while (counts[slot] != 0 && (counts[slot] >> 32) != p) {
        slot = (slot + 1) & mask;
      }
      counts[slot] = (std::uint64_t{p} << 32) | ((counts[slot] & 0xffffffffu) + 1);
    }
  }
  // Y, the product of the primes to half their exponents: gathered in a word while it holds them.
  Natural y(1);
  unsigned long word = 1;  // GMP's word for mpz_mul_ui: 32 bits in WebAssembly
  const auto multiply = [&y, &word, &n](std::uint32_t p) {
    if (word > std::numeric_limits<unsigned long>::max() / p) {
      mpz_mul_ui(y.raw(), y.get(), word);
      mpz_mod(y.raw(), y.get(), n.get());
      word = 1;
    }
    word *= p;
  };
  for (const std::uint64_t entry : counts) {
    const auto count = static_cast<std::uint32_t>(entry);
    if (count % 2 != 0) {
      return std::nullopt;
    }
    for (std::uint32_t e = 0; e < count / 2; ++e) {
      multiply(static_cast<std::uint32_t>(entry >> 32));
    }
  }
  mpz_mul_ui(y.raw(), y.get(), word);
  mpz_mod(y.raw(), y.get(), n.get());
  if (x * x % n != y * y % n) {
    return std::nullopt;
  }
  return std::pair{std::move(x), std::move(y)};
}

namespace {

// The squares of a small matrix, eliminated densely at once: each relation a row of bits (its
// odd columns, then the relation itself), each column's pivot added into every other row that has
// the column. For the few hundred relations of 30 digits this takes some microseconds, where the
// sorting and merging of the sparse rows took tens.
std::vector<std::vector<std::size_t>> DenseSquareProducts(const SiqsRelations& gathered,
                                                          Work& work) {
  const std::vector<std::uint32_t>& base = gathered.factor_base;
  const std::vector<SiqsRelation>& relations = gathered.relations;
  const std::size_t width = base.size() + 1;  // the sign, then the primes
  const std::size_t column_words = (width + 63) / 64;
  const std::size_t row_words = (relations.size() + 63) / 64;
  const std::size_t stride = column_words + row_words;
  // The columns from the largest prime down to the sign, about the sparsest first: a column that
  // few rows have is eliminated by few additions, and they fill the denser ones in less.
  constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
  std::vector<std::uint32_t> column_of(base.empty() ? 1 : base.back() + 1, kNone);
  for (std::size_t j = 0; j < base.size(); ++j) {
    column_of[base[j]] = static_cast<std::uint32_t>(base.size() - 1 - j);
  }
  const std::size_t sign = width - 1;
  std::vector<std::uint64_t> matrix(relations.size() * stride, 0);
  for (std::size_t i = 0; i < relations.size(); ++i) {
    std::uint64_t* const row = &matrix[i * stride];
    if (relations[i].negative) {
      row[sign / 64] = std::uint64_t{1} << (sign % 64);
    }
    // The large primes of a cycle, above the factor base, appear twice and cancel.
    for (const std::uint32_t p : relations[i].primes) {
      if (p < column_of.size() && column_of[p] != kNone) {
        row[column_of[p] / 64] ^= std::uint64_t{1} << (column_of[p] % 64);
      }
    }
    row[column_words + i / 64] |= std::uint64_t{1} << (i % 64);
  }
  if (work.Stopped()) {
    return {};
  }
  // Rows [0, rank) hold the pivots found so far; the others are searched for the next.
  std::size_t rank = 0;
  for (std::size_t c = 0; c < width; ++c) {
    const std::size_t word = c / 64;
    const std::uint64_t bit = std::uint64_t{1} << (c % 64);
    std::size_t pivot = rank;
    while (pivot < relations.size() && (matrix[pivot * stride + word] & bit) == 0) {
      ++pivot;
    }
    if (pivot == relations.size()) {
      continue;
    }
    if (pivot != rank) {
      std::swap_ranges(&matrix[pivot * stride], &matrix[pivot * stride] + stride,
                       &matrix[rank * stride]);
    }
    const std::uint64_t* const from = &matrix[rank * stride];
    for (std::size_t r = rank + 1; r < relations.size(); ++r) {
      std::uint64_t* const to = &matrix[r * stride];
      if ((to[word] & bit) != 0) {
        for (std::size_t w = word; w < stride; ++w) {
          to[w] ^= from[w];
        }
      }
    }
    ++rank;
  }
  // The rows below the rank are zero in every column: their sets of relations are the squares.
  std::vector<std::vector<std::size_t>> products;
  for (std::size_t r = rank; r < relations.size() && products.size() < 64; ++r) {
    const std::uint64_t* const row = &matrix[r * stride + column_words];
    std::vector<std::size_t> chosen;
    for (std::size_t w = 0; w < row_words; ++w) {
      for (std::uint64_t bits = row[w]; bits != 0; bits &= bits - 1) {
        chosen.push_back(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
      }
    }
    products.push_back(std::move(chosen));
  }
  return products;
}

}  // namespace

std::vector<std::vector<std::size_t>> SquareProducts(const SiqsRelations& gathered, Work& work) {
  const std::vector<std::uint32_t>& base = gathered.factor_base;
  const std::vector<SiqsRelation>& relations = gathered.relations;
  if (relations.size() <= tuning::kSiqsDenseUpToRelations) {
    return DenseSquareProducts(gathered, work);
  }
  // The columns of odd exponent of each relation: 0 for the sign, 1 + j for the j-th prime;
  // the large primes of a cycle cancel.
  // The column of each prime up to the largest of the factor base (0 for the others), by
  // direct look-up.
  std::vector<std::uint32_t> column_of(base.empty() ? 1 : base.back() + 1, 0);
  for (std::size_t j = 0; j < base.size(); ++j) {
    column_of[base[j]] = static_cast<std::uint32_t>(1 + j);
  }
  std::vector<std::vector<std::uint32_t>> odd(relations.size());
  std::vector<std::uint32_t> columns;
  for (std::size_t i = 0; i < relations.size(); ++i) {
    columns.clear();
    if (relations[i].negative) {
      columns.push_back(0);
    }
    for (const std::uint32_t p : relations[i].primes) {
      if (p < column_of.size() && column_of[p] != 0) {
        columns.push_back(column_of[p]);
      }
    }
    std::sort(columns.begin(), columns.end());
    for (std::size_t a = 0; a < columns.size();) {
      std::size_t b = a;
      while (b < columns.size() && columns[b] == columns[a]) {
        ++b;
      }
      if ((b - a) % 2 != 0) {
        odd[i].push_back(columns[a]);
      }
      a = b;
    }
  }
  // Drops the relations with a column that no other relation has, until there are none; leaves
  // in `weight` how many relations have each column.
  const std::size_t width = base.size() + 1;
  std::vector<bool> alive(relations.size(), true);
  std::vector<std::uint32_t> weight(width);
  const auto drop_singletons = [&] {
    for (bool dropped = true; dropped;) {
      dropped = false;
      std::fill(weight.begin(), weight.end(), 0);
      for (std::size_t i = 0; i < relations.size(); ++i) {
        if (alive[i]) {
          for (const std::uint32_t c : odd[i]) {
            ++weight[c];
          }
        }
      }
      for (std::size_t i = 0; i < relations.size(); ++i) {
        if (alive[i] && std::any_of(odd[i].begin(), odd[i].end(),
                                    [&weight](std::uint32_t c) { return weight[c] == 1; })) {
          alive[i] = false;
          dropped = true;
        }
      }
    }
  };
  drop_singletons();
  // A column that two rows alone have goes when one of them is added into the other: each row is
  // then the product of the relations in `members`, its odd columns the sum of theirs. A few
  // rounds, each on the weights at its start, a row merged at most once in a round.
  std::vector<std::vector<std::size_t>> members(relations.size());
  for (std::size_t i = 0; i < relations.size(); ++i) {
    members[i].push_back(i);
  }
  std::vector<std::size_t> holder(2 * width);
  std::vector<bool> touched(relations.size());
  std::vector<std::uint32_t> sum;
  for (int round = 0; round < 16; ++round) {
    std::fill(weight.begin(), weight.end(), 0);
    for (std::size_t i = 0; i < relations.size(); ++i) {
      if (alive[i]) {
        for (const std::uint32_t c : odd[i]) {
          if (weight[c] < 2) {
            holder[2 * c + weight[c]] = i;
          }
          ++weight[c];
        }
      }
    }
    std::fill(touched.begin(), touched.end(), false);
    bool merged = false;
    for (std::size_t c = 0; c < width; ++c) {
      const std::size_t a = holder[2 * c];
      const std::size_t b = holder[2 * c + 1];
      if (weight[c] != 2 || touched[a] || touched[b]) {
        continue;
      }
      sum.clear();
      std::set_symmetric_difference(odd[a].begin(), odd[a].end(), odd[b].begin(), odd[b].end(),
                                    std::back_inserter(sum));
      odd[b] = sum;
      odd[a].clear();
      members[b].insert(members[b].end(), members[a].begin(), members[a].end());
      members[a].clear();
      alive[a] = false;
      touched[a] = touched[b] = true;
      merged = true;
    }
    drop_singletons();
    if (!merged) {
      break;
    }
  }
  // The columns left, sparsest first.
  std::vector<std::uint32_t> order;
  for (std::uint32_t c = 0; c < width; ++c) {
    if (weight[c] > 0) {
      order.push_back(c);
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [&weight](std::uint32_t a, std::uint32_t b) { return weight[a] < weight[b]; });
  std::vector<std::uint32_t> place(width, 0);
  for (std::size_t c = 0; c < order.size(); ++c) {
    place[order[c]] = static_cast<std::uint32_t>(c);
  }
  // As many rows as columns and 64 more: enough for 64 products.
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < relations.size() && rows.size() < order.size() + 64; ++i) {
    if (alive[i]) {
      rows.push_back(i);
    }
  }
  const std::size_t column_words = (order.size() + 63) / 64;
  const std::size_t row_words = (rows.size() + 63) / 64;
  const std::size_t stride = column_words + row_words;
  std::vector<std::uint64_t> matrix(rows.size() * stride, 0);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::uint64_t* row = &matrix[r * stride];
    for (const std::uint32_t c : odd[rows[r]]) {
      row[place[c] / 64] |= std::uint64_t{1} << (place[c] % 64);
    }
    row[column_words + r / 64] |= std::uint64_t{1} << (r % 64);
  }
  // The columns are taken 64 at a time, the word of each active row that holds them gathered
  // into `panel`, so that the search for a pivot and the test of each row read it there, not
  // through rows thousands of words apart. The work is asked whether to stop at each column.
  std::vector<std::size_t> active(rows.size());
  std::iota(active.begin(), active.end(), 0);
  std::vector<std::uint64_t> panel;
  for (std::size_t word = 0; word < column_words; ++word) {
    panel.resize(active.size());
    for (std::size_t a = 0; a < active.size(); ++a) {
      panel[a] = matrix[active[a] * stride + word];
    }
    const std::size_t last = std::min(order.size(), (word + 1) * 64);
    for (std::size_t c = word * 64; c < last; ++c) {
      if (work.Stopped()) {
        return {};
      }
      const std::uint64_t bit = std::uint64_t{1} << (c % 64);
      std::size_t pivot = 0;
      while (pivot < panel.size() && (panel[pivot] & bit) == 0) {
        ++pivot;
      }
      if (pivot == panel.size()) {
        continue;
      }
      const std::uint64_t* from = &matrix[active[pivot] * stride];
      const std::uint64_t pivot_word = panel[pivot];
      active[pivot] = active.back();
      active.pop_back();
      panel[pivot] = panel.back();
      panel.pop_back();
      for (std::size_t a = 0; a < active.size(); ++a) {
        if ((panel[a] & bit) != 0) {
          panel[a] ^= pivot_word;
          std::uint64_t* to = &matrix[active[a] * stride];
          for (std::size_t w = word; w < stride; ++w) {
            to[w] ^= from[w];
          }
        }
      }
    }
  }
  // The rows left are zero in every column: their sets of relations are the squares.
  std::vector<std::vector<std::size_t>> products;
  for (const std::size_t r : active) {
    if (products.size() == 64) {
      break;
    }
    const std::uint64_t* row = &matrix[r * stride + column_words];
    std::vector<std::size_t> chosen;
    for (std::size_t w = 0; w < row_words; ++w) {
      for (std::uint64_t bits = row[w]; bits != 0; bits &= bits - 1) {
        const std::vector<std::size_t>& product =
            members[rows[w * 64 + static_cast<std::size_t>(std::countr_zero(bits))]];
        chosen.insert(chosen.end(), product.begin(), product.end());
      }
    }
    products.push_back(std::move(chosen));
  }
  return products;
}

Natural SiqsFactor(const Natural& n, Work& work) {
  for (std::size_t extra = tuning::kSiqsExtraRelations;; extra *= 2) {
    const SiqsRelations gathered = GatherRelations(n, extra, work);
    if (gathered.relations.empty()) {
      return gathered.factor_base.size() == 1 ? Natural(gathered.factor_base.front()) : Natural(1);
    }
    const std::vector<std::vector<std::size_t>> products = SquareProducts(gathered, work);
    if (work.Stopped()) {
      return Natural(1);
    }
    for (const std::vector<std::size_t>& chosen : products) {
      const auto squares = SquaresOf(gathered.relations, chosen, n);
      if (!squares) {
        continue;
      }
      const Natural factor = Gcd(squares->first + n - squares->second, n);
      if (factor != 1 && factor != n) {
        return factor;
      }
    }
  }
}

}  // namespace brindaq
