#pragma once

// The partial relations of the quadratic sieve, those left with one or two large primes above the
// factor base, as the edges of a graph whose vertices are the large primes and 1 (A. K. Lenstra
// and M. S. Manasse, "Factoring with two large primes", Math. Comp. 63, 1994): a relation with one
// large prime p is the edge 1 - p, one with two, p and q, the edge p - q. Along a cycle every
// large prime meets two of its edges, so the product of the cycle's relations has each large
// prime squared, and is one relation for the matrix; the independent cycles number the edges
// less the vertices plus the components, counted as the edges come by a union-find. Two
// relations with the same single large prime are the shortest such cycle, 1 - p - 1.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/big/big_siqs.h"
#include "core/big/natural.h"

namespace brindaq {

class SiqsPartials {
 public:
  // Adds a relation whose primes end with its large primes `first` and, unless it is 1,
  // `second`; nothing when the same relation came before.
  void Add(SiqsRelation relation, std::uint32_t first, std::uint32_t second);

  // The independent cycles of the graph so far: the relations that combining would give.
  std::size_t Cycles() const { return cycles_; }
  std::size_t Edges() const { return edges_.size(); }

  // One relation (y^2 = (-1)^negative * its primes, modulo n) for each independent cycle: the
  // cycles that the edges outside a spanning forest close, the forest found breadth first.
  // Returns how many of them hold a relation with two large primes.
  std::size_t Combine(const Natural& n, std::vector<SiqsRelation>& into) const;

 private:
  std::uint32_t Vertex(std::uint32_t prime);
  std::uint32_t Root(std::uint32_t vertex);

  std::vector<SiqsRelation> relations_;
  struct Edge {
    std::uint32_t from, to;
  };
  std::vector<Edge> edges_;  // the vertices of each relation's edge
  std::unordered_map<std::uint32_t, std::uint32_t> vertex_of_;
  std::vector<std::uint32_t> parent_{0};  // the union-find's; vertex 0 is 1
  std::unordered_set<std::uint64_t> seen_;
  std::size_t cycles_ = 0;
};

}  // namespace brindaq
