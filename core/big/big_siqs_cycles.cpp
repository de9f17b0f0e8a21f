// The graph of the quadratic sieve's partial relations and its cycles (see big_siqs_cycles.h).

#include "core/big/big_siqs_cycles.h"

#include <gmp.h>

#include <algorithm>
#include <utility>

namespace brindaq {

std::uint32_t SiqsPartials::Vertex(std::uint32_t prime) {
  if (prime == 1) {
    return 0;
  }
  const auto [it, added] =
      vertex_of_.try_emplace(prime, static_cast<std::uint32_t>(parent_.size()));
  if (added) {
    parent_.push_back(it->second);
  }
  return it->second;
}

std::uint32_t SiqsPartials::Root(std::uint32_t vertex) {
  while (parent_[vertex] != vertex) {
    parent_[vertex] = parent_[parent_[vertex]];  // halving the path
    vertex = parent_[vertex];
  }
  return vertex;
}

void SiqsPartials::Add(SiqsRelation relation, std::uint32_t first, std::uint32_t second) {
  // The same value found twice would close a cycle whose product is a square already: useless.
  const std::uint64_t key =
      (mpz_size(relation.y.get()) == 0 ? 0 : mpz_getlimbn(relation.y.get(), 0)) ^
      std::uint64_t{first} * 0x9e3779b97f4a7c15u ^ std::uint64_t{second} * 0xc2b2ae3d27d4eb4fu;
  if (!seen_.insert(key).second) {
    return;
  }
  const std::uint32_t from = Vertex(first);
  const std::uint32_t to = Vertex(second);
  const std::uint32_t a = Root(from);
  const std::uint32_t b = Root(to);
  if (a == b) {
    ++cycles_;
  } else {
    parent_[a] = b;
  }
  edges_.push_back({from, to});
  relations_.push_back(std::move(relation));
}

std::size_t SiqsPartials::Combine(const Natural& n, std::vector<SiqsRelation>& into) const {
  const std::size_t vertices = parent_.size();
  // The edges at each vertex, gathered by their counts.
  std::vector<std::uint32_t> start(vertices + 1, 0);
  for (const Edge& edge : edges_) {
    ++start[edge.from + 1];
    ++start[edge.to + 1];
  }
  for (std::size_t v = 0; v < vertices; ++v) {
    start[v + 1] += start[v];
  }
  std::vector<std::uint32_t> at(start.begin(), start.end() - 1);
  std::vector<std::uint32_t> incident(start.back());
  for (std::uint32_t e = 0; e < edges_.size(); ++e) {
    incident[at[edges_[e].from]++] = e;
    incident[at[edges_[e].to]++] = e;
  }
  // The spanning forest, breadth first from 1 and then from each vertex not yet reached: each
  // vertex's edge to its parent, and its depth.
  constexpr std::uint32_t kNone = 0xffffffff;
  std::vector<std::uint32_t> up(vertices, kNone);
  std::vector<std::uint32_t> depth(vertices, kNone);
  std::vector<bool> in_tree(edges_.size(), false);
  std::vector<std::uint32_t> queue;
  queue.reserve(vertices);
  for (std::uint32_t root = 0; root < vertices; ++root) {
    if (depth[root] != kNone) {
      continue;
    }
    depth[root] = 0;
    queue.assign(1, root);
    for (std::size_t q = 0; q < queue.size(); ++q) {
      const std::uint32_t v = queue[q];
      for (std::uint32_t i = start[v]; i < start[v + 1]; ++i) {
        const std::uint32_t e = incident[i];
        const std::uint32_t w = edges_[e].from == v ? edges_[e].to : edges_[e].from;
        if (depth[w] == kNone) {
          depth[w] = depth[v] + 1;
          up[w] = e;
          in_tree[e] = true;
          queue.push_back(w);
        }
      }
    }
  }
  const auto parent = [this, &up](std::uint32_t v) {
    const Edge& edge = edges_[up[v]];
    return edge.from == v ? edge.to : edge.from;
  };
  // Each edge outside the forest closes one cycle with the paths of the forest from its ends up
  // to where they meet.
  std::size_t with_two = 0;
  std::vector<std::uint32_t> cycle;
  for (std::uint32_t e = 0; e < edges_.size(); ++e) {
    if (in_tree[e]) {
      continue;
    }
    cycle.assign(1, e);
    std::uint32_t a = edges_[e].from;
    std::uint32_t b = edges_[e].to;
    while (a != b) {
      if (depth[a] < depth[b]) {
        std::swap(a, b);
      }
      cycle.push_back(up[a]);
      a = parent(a);
    }
    SiqsRelation combined = relations_[cycle.front()];
    bool two = edges_[cycle.front()].to != 0;
    for (std::size_t i = 1; i < cycle.size(); ++i) {
      const SiqsRelation& relation = relations_[cycle[i]];
      mpz_mul(combined.y.raw(), combined.y.get(), relation.y.get());
      mpz_mod(combined.y.raw(), combined.y.get(), n.get());
      combined.negative = combined.negative != relation.negative;
      combined.primes.insert(combined.primes.end(), relation.primes.begin(), relation.primes.end());
      two = two || edges_[cycle[i]].to != 0;
    }
    into.push_back(std::move(combined));
    with_two += two ? 1 : 0;
  }
  return with_two;
}

}  // namespace brindaq
