#include "core/proof/ecpp.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/arithmetic/primality.h"
#include "core/big/big_montgomery.h"
#include "core/big/big_primality.h"
#include "core/big/pacing.h"
#include "core/big/small_primes.h"
#include "core/proof/class_polynomial.h"
#include "core/proof/curve_step.h"
#include "core/proof/genus_factor.h"
#include "core/proof/polynomial_roots.h"
#include "core/proof/smooth_parts.h"
#include "core/proof/two_word_proof.h"
#include "core/tuning.h"

// The curves are made beside the down-run, on a second thread, except in WebAssembly, which runs
// without threads.
#if !defined(__EMSCRIPTEN__)
#define BRINDAQ_PROOF_THREADS 1
#include <thread>
#endif

namespace brindaq {
namespace {

// A signed whole number: a trace t, with |t| < 2 sqrt(N).
struct Signed {
  Natural magnitude;
  bool negative = false;
};

// A step found by the down-run, before its curve: m = N + 1 - t = s q.
struct Candidate {
  std::int32_t d = 0;
  Signed trace;
  Natural s;
  Natural q;
  std::vector<Natural> roots;  // of D's prime discriminants modulo N, for its genus factor
};

// Cornacchia's algorithm as Cohen gives it (1.5.3), for 4N = t^2 + |D| v^2 with the square root
// r of D modulo N: Euclid's algorithm on 2N and r (of D's parity) down to below 2 sqrt(N).
std::optional<std::pair<Natural, Natural>> Cornacchia(const Natural& n, std::int32_t d,
                                                      Natural root) {
  const auto abs_d = static_cast<std::uint32_t>(-static_cast<std::int64_t>(d));
  if (root.IsOdd() != (abs_d % 2 == 1)) {
    root = n - root;
  }
  const Natural four_n = n << 2;
  const Natural limit = SquareRootFloor(four_n);
  const Natural b = FirstRemainderAtMost(n << 1, std::move(root), limit);
  const Natural b_squared = b * b;
  if (b_squared > four_n) {
    return std::nullopt;
  }
  Natural c = four_n - b_squared;
  if (c.Modulo(abs_d) != 0) {
    return std::nullopt;
  }
  c /= Natural(abs_d);
  if (!IsSquare(c)) {
    return std::nullopt;
  }
  return std::make_pair(std::move(b), SquareRootFloor(c));
}

// The traces of the curves with complex multiplication by D, from 4N = t^2 + |D| v^2.
std::vector<Signed> Traces(std::int32_t d, const Natural& t, const Natural& v) {
  std::vector<Natural> magnitudes{t};
  if (d == -4) {
    magnitudes.push_back(v << 1);
  } else if (d == -3) {
    const Natural three_v = Natural(3) * v;
    magnitudes.push_back((t + three_v) >> 1);
    magnitudes.push_back(t > three_v ? (t - three_v) >> 1 : (three_v - t) >> 1);
  }
  std::vector<Signed> traces;
  for (const Natural& magnitude : magnitudes) {
    traces.push_back({magnitude, false});
    if (!magnitude.IsZero()) {
      traces.push_back({magnitude, true});
    }
  }
  return traces;
}

// N + 1 - t.
Natural Order(const Natural& n, const Signed& t) {
  Natural m = n + Natural(1);
  return t.negative ? m + t.magnitude : m - t.magnitude;
}

// Whether q, with no prime factor below the search's bound, may be prime: exactly below 2^64,
// otherwise by the strong test to the base 2, which nearly every composite fails (a q that passes
// goes on to the whole test of Baillie and Pomerance).
bool PassesStrongBase2(const Natural& q) {
  if (q.FitsWord()) {
    return IsPrime(q.Word());
  }
  // A few milliseconds at most, on a work of its own that is never stopped.
  Work unstopped;
  return q.IsOdd() && IsStrongProbablePrimeToBase2(q, unstopped).value_or(false);
}

// The index of the first of the cofactors from `from` on that passes PassesStrongBase2, or their
// count. With a spare processor, two threads test them, each every second one in order: each
// stops once one before its next has passed, so that every one before the first that passed was
// tested, and the answer is the one that a single thread would give. At 1000 digits the tests are
// most of the search's time, a few milliseconds each.
std::size_t FirstStrong(const std::vector<std::pair<Natural, std::size_t>>& cofactors,
                        std::size_t from, bool spare_core) {
  const std::size_t count = cofactors.size();
#if defined(BRINDAQ_PROOF_THREADS)
  if (spare_core && count - from >= 2) {
    std::atomic<std::size_t> first = count;
    const auto run = [&](std::size_t start) {
      for (std::size_t k = start; k < count && k < first.load(); k += 2) {
        if (PassesStrongBase2(cofactors[k].first)) {
          std::size_t known = first.load();
          while (k < known && !first.compare_exchange_weak(known, k)) {
          }
          return;
        }
      }
    };
    std::thread other(run, from + 1);
    run(from);
    other.join();
    return first.load();
  }
#else
  (void)spare_core;
#endif
  for (std::size_t k = from; k < count; ++k) {
    if (PassesStrongBase2(cofactors[k].first)) {
      return k;
    }
  }
  return count;
}

// The square roots modulo N of the discriminants that may make a step: a discriminant's is the
// product of those of its prime discriminants, each made once and kept for every discriminant
// that has it. One whose (f / N) is -1 rules out every discriminant that has it: N is then in no
// principal genus there. Each root by Tonelli and Shanks (Cohen, 1.5.1) with one power of the
// square and the power of a non-residue made once for N. The search's thread and the curve's
// share them: the curve's, once its curve is found, makes ahead the roots that the search will
// want (Prepare).
class SquareRoots {
 public:
  explicit SquareRoots(const Natural& n) : n_(n) {
    const Natural n_minus_one = n - Natural(1);
    e_ = mpz_scan1(n_minus_one.get(), 0);
    const Natural d = n_minus_one >> static_cast<unsigned>(e_);
    half_ = (d - Natural(1)) >> 1;
    Natural z(2);
    while (mpz_jacobi(z.get(), n.get()) != -1) {
      z += Natural(1);
    }
    mpz_powm(z_power_.raw(), z.get(), d.get(), n.get());
  }

  // sqrt(D) modulo N; nothing when N is not in the principal genus of D.
  std::optional<Natural> Of(const Discriminant& discriminant) {
    if (!InPrincipalGenus(discriminant)) {
      return std::nullopt;
    }
    Natural product(1);
    for (const std::int32_t f : discriminant.prime_discriminants) {
      const Natural* root = RootOf(f);
      if (root == nullptr) {
        return std::nullopt;
      }
      product = (product * *root) % n_;
    }
    return product;
  }

  // The square roots of the discriminant's prime discriminants, once Of has made them.
  std::vector<Natural> RootsOf(const Discriminant& discriminant) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Natural> roots;
    for (const std::int32_t f : discriminant.prime_discriminants) {
      roots.push_back(root_.at(f));
    }
    return roots;
  }

  // The number whose roots these are.
  const Natural& Number() const { return n_; }

  // The search has come to the discriminant of this index in the first list.
  void Reached(std::size_t index) { reached_ = index; }

  // The search is over with the first list (and Prepare of no more use).
  void Finish() { finished_ = true; }

  // Whether the search may take a second processor for its tests (FirstStrong): none other is
  // at work for the proof, or the other thread has found its curve and only makes roots ahead,
  // which it leaves off while the search borrows the processor.
  bool SpareCore() const { return spare_core_; }
  void LendCore() { spare_core_ = true; }
  struct Borrowed {
    explicit Borrowed(SquareRoots& roots) : roots_(roots) { ++roots_.borrowed_; }
    ~Borrowed() { --roots_.borrowed_; }
    Borrowed(const Borrowed&) = delete;
    Borrowed& operator=(const Borrowed&) = delete;
    SquareRoots& roots_;
  };

#if defined(BRINDAQ_PROOF_THREADS)
  // Makes the roots that Of will want for the discriminants of the first list, in its order,
  // at most tuning::kProofRootsAhead discriminants ahead of the search, until it is finished: on
  // the thread that has found its curve while the other searches.
  void Prepare(const std::vector<Discriminant>& discriminants) {
    for (std::size_t i = 0; i < discriminants.size(); ++i) {
      while (!finished_ && (i > reached_ + tuning::kProofRootsAhead || borrowed_ > 0)) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
      if (finished_) {
        return;
      }
      // The discriminants that the search is about to reach are left to it: were this thread to
      // make their roots too, each would wait for the root that the other is making.
      if (i < reached_ + tuning::kProofRootsGap || !InPrincipalGenus(discriminants[i])) {
        continue;
      }
      for (const std::int32_t f : discriminants[i].prime_discriminants) {
        if (finished_ || RootOf(f) == nullptr) {
          return;
        }
      }
    }
  }

 private:
#endif

  // Whether (f / N) = 1 for each prime discriminant f of D.
  bool InPrincipalGenus(const Discriminant& discriminant) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const std::int32_t f : discriminant.prime_discriminants) {
      auto found = residue_.find(f);
      if (found == residue_.end()) {
        found = residue_.emplace(f, mpz_si_kronecker(f, n_.get()) == 1).first;
      }
      if (!found->second) {
        return false;
      }
    }
    return true;
  }

  // The root of f, made unless it is kept (the lock is not held while it is made); nothing when
  // N proves no prime. The other thread's root being made is waited for rather than made twice.
  const Natural* RootOf(std::int32_t f) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      made_.wait(lock, [&] { return making_.count(f) == 0; });
      const auto found = root_.find(f);
      if (found != root_.end()) {
        return &found->second;
      }
      if (no_root_) {
        return nullptr;
      }
      making_.insert(f);
    }
    std::optional<Natural> root = Root(f);
    const Natural* made = nullptr;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      making_.erase(f);
      if (root) {
        made = &root_.try_emplace(f, std::move(*root)).first->second;
      } else {
        no_root_ = true;
      }
    }
    made_.notify_all();
    return made;
  }

  // A square root of the residue f; nothing when the loop finds none (N then no prime).
  std::optional<Natural> Root(std::int32_t f) const {
    // a^((d - 1)/2) as the power of |f|, a word, and its sign.
    const auto magnitude = static_cast<std::uint32_t>(f < 0 ? -static_cast<std::int64_t>(f) : f);
    const BigMontgomery form(n_);
    Natural w = form.ValueOf(form.PowerOf(magnitude, half_));
    const Natural a = f < 0 ? n_ - Natural(magnitude) : Natural(magnitude);
    if (f < 0 && half_.IsOdd() && !w.IsZero()) {
      w = n_ - w;
    }
    Natural x = (a * w) % n_;  // a^((d + 1)/2)
    Natural b = (x * w) % n_;  // a^d
    Natural c = z_power_;
    mp_bitcnt_t m = e_;
    while (b != 1) {
      mp_bitcnt_t i = 0;
      Natural t = b;
      while (t != 1) {
        mpz_powm_ui(t.raw(), t.get(), 2, n_.get());
        if (++i == m) {
          return std::nullopt;
        }
      }
      t = c;
      for (mp_bitcnt_t k = i + 1; k < m; ++k) {
        mpz_powm_ui(t.raw(), t.get(), 2, n_.get());
      }
      x = (x * t) % n_;
      c = (t * t) % n_;
      b = (b * c) % n_;
      m = i;
    }
    return x;
  }

  const Natural n_;  // a copy: the thread that makes roots ahead may outlive the search's number
  mp_bitcnt_t e_ = 0;
  Natural half_;
  Natural z_power_;
  // For the two maps: the threads of the search and of the curve share them.
  mutable std::mutex mutex_;
  std::atomic<std::size_t> reached_ = 0;
  std::atomic<bool> finished_ = false;
  std::atomic<bool> spare_core_ = false;
  std::atomic<int> borrowed_ = 0;
  std::map<std::int32_t, bool> residue_;
  std::map<std::int32_t, Natural> root_;
  std::set<std::int32_t> making_;  // the roots being made, on either thread
  std::condition_variable made_;
  bool no_root_ = false;
};

// The lists of discriminants that the search from a number of so many bits tries, one after
// the other: for small numbers a shorter one first, quicker to make; then the first list, with
// the cheap large classes for numbers past the small ones (below, they cost more time than they
// saved: 200 and 300 digits took a fifth longer), richer still for the largest numbers; then,
// only when none of them gave a step (large numbers, whose orders are seldom a small part times a
// prime), the wider one; and for the first number of a proof, which has none before it to go back
// to, the last one.
std::vector<DiscriminantList> DiscriminantLists(std::size_t bits, bool first_number) {
  std::vector<DiscriminantList> lists;
  if (bits <= tuning::kProofSmallListToBits) {
    lists.push_back({tuning::kProofSmallDiscriminantBound, tuning::kProofLargestClass, 0});
  }
  const bool rich = bits > tuning::kProofRichListsFromBits;
  const int cheap_class = rich ? tuning::kProofRichLargestClass : tuning::kProofCheapLargestClass;
  const int cheap_degree = rich ? tuning::kProofRichDegree : tuning::kProofCheapDegree;
  lists.push_back(
      {tuning::kProofDiscriminantBound, tuning::kProofLargestClass, cheap_class, cheap_degree});
  lists.push_back({tuning::kProofWiderDiscriminantBound, tuning::kProofWiderLargestClass,
                   cheap_class, cheap_degree});
  if (first_number) {
    lists.push_back({tuning::kProofWiderDiscriminantBound, tuning::kProofWiderLargestClass,
                     tuning::kProofLastLargestClass, tuning::kProofLastDegree,
                     tuning::kProofLastDiscriminantBound});
  }
  return lists;
}

#if defined(BRINDAQ_PROOF_THREADS)
// The first list of discriminants that the search from a number of so many bits tries.
const std::vector<Discriminant>& FirstList(std::size_t bits) {
  return DiscriminantsByClassNumber(DiscriminantLists(bits, false).front());
}
#endif

// The search for a step down from a number, with its own pacer and progress text: one for each
// thread that searches.
class Searcher {
 public:
  explicit Searcher(Work& work) : work_(work), pacer_(work) {}

  // Whether the search was stopped.
  bool Stopped() const { return stopped_; }

  // Asks whether to stop, and reports "ECPP, 180 digits left, step 12"; the digits are counted
  // once for each number.
  void Progress(std::string_view step, std::uint64_t done, const Natural& number) {
    if (number != counted_) {
      counted_ = number;
      method_ = "ECPP, " + std::to_string(number.DecimalDigits()) + " digits left";
    }
    stopped_ = pacer_.Stopped({method_, step, done, 0});
  }

  // Where the search of a number ended: the list, and the index in it of the next discriminant.
  struct Place {
    std::size_t list = 0;
    std::size_t index = 0;
  };

  // Whether the last search ended at its largest degree, without a step.
  bool Capped() const { return capped_; }

  // The best step down from n among the first few found, the discriminants by degree from
  // `place` on (which is left where the search ended), with the square roots modulo n that
  // `roots` keeps; with a largest degree (not 0), nothing once the degrees pass it (Capped()).
  std::optional<Candidate> Search(const Natural& n, const std::set<std::int32_t>& failed,
                                  std::uint64_t step, SquareRoots& roots, int largest_degree,
                                  Place& place) {
    const bool first_number = step == 1;  // the chain is empty
    capped_ = false;
    // A power of two, so that few products of primes are made.
    const auto bound = static_cast<std::uint32_t>(std::bit_ceil(std::min<std::uint64_t>(
        std::uint64_t{1} << 20,
        std::max<std::uint64_t>(
            1024, (n.Bits() > tuning::kProofLargeTrialFromBits ? tuning::kProofTrialBoundPerBitLarge
                                                               : tuning::kProofTrialBoundPerBit) *
                      n.Bits()))));
    const std::vector<DiscriminantList> lists = DiscriminantLists(n.Bits(), first_number);
    for (; place.list < lists.size(); ++place.list, place.index = 0) {
      // Each list leaves out those of the list before it.
      const DiscriminantList before = place.list == 0 ? DiscriminantList{} : lists[place.list - 1];
      std::optional<Candidate> best =
          Search(n, DiscriminantsByClassNumber(lists[place.list]), failed, step, bound, roots,
                 before, largest_degree, place.index);
      roots.Finish();  // Prepare serves the first list only
      if (best || stopped_ || capped_) {
        return best;
      }
    }
    return std::nullopt;
  }

  // The best step down from n among the first few found in `discriminants` from `index` on,
  // leaving out those that `failed` and those of the list before, and none past the largest
  // degree (when not 0); `index` is left at the first discriminant not tried.
  std::optional<Candidate> Search(const Natural& n, const std::vector<Discriminant>& discriminants,
                                  const std::set<std::int32_t>& failed, std::uint64_t step,
                                  std::uint32_t bound, SquareRoots& roots,
                                  const DiscriminantList& before, int largest_degree,
                                  std::size_t& index) {
    std::optional<Candidate> best;
    int found = 0;
    int best_degree = 0;
    // The orders waiting for their division, a few at once (smooth_parts.h).
    struct Pending {
      const Discriminant* discriminant;
      Signed trace;
      Natural m;
    };
    std::vector<Pending> pending;
    // The pending orders' cofactors tested; true when the search is over: stopped, or a good drop
    // or a second choice found.
    const auto test = [&]() -> bool {
      std::vector<Natural> orders;
      for (const Pending& order : pending) {
        orders.push_back(order.m);
      }
      std::vector<Natural> parts = SmoothParts(orders, bound);
      // The cofactors tested smallest first: the first probable prime is the batch's best.
      std::vector<std::pair<Natural, std::size_t>> cofactors;
      for (std::size_t i = 0; i < pending.size(); ++i) {
        Natural q;
        mpz_divexact(q.raw(), pending[i].m.get(), parts[i].get());
        if (q.Bits() + tuning::kProofLeastDropBits > n.Bits() || !ExceedsBound(q, n) ||
            (best && q >= best->q)) {
          continue;
        }
        cofactors.emplace_back(std::move(q), i);
      }
      std::sort(cofactors.begin(), cofactors.end(),
                [](const auto& x, const auto& y) { return x.first < y.first; });
      for (std::size_t k = 0; k < cofactors.size(); ++k) {
        {
          const bool spare = roots.SpareCore();
          std::optional<SquareRoots::Borrowed> borrowed;
          if (spare) {
            borrowed.emplace(roots);
          }
          k = FirstStrong(cofactors, k, spare);
        }
        if (k == cofactors.size()) {
          break;
        }
        auto& [q, i] = cofactors[k];
        const std::optional<bool> prime =
            q.FitsWord() ? std::optional<bool>(true) : PassesBailliePsw(q, work_);
        if (!prime) {
          stopped_ = true;
          return true;
        }
        if (!*prime) {
          continue;
        }
        const Discriminant& discriminant = *pending[i].discriminant;
        best = Candidate{discriminant.d, std::move(pending[i].trace), std::move(parts[i]),
                         std::move(q), roots.RootsOf(discriminant)};
        best_degree = discriminant.degree;
        ++found;
        break;
      }
      pending.clear();
      return best && (found >= tuning::kProofCandidates ||
                      best->q.Bits() + tuning::kProofGoodDropBits <= n.Bits());
    };
    // The orders of a discriminant in the principal genus, tested once enough are pending; true
    // when the search is over.
    const auto consider = [&](const Discriminant& discriminant) -> bool {
      std::optional<Natural> root = roots.Of(discriminant);
      if (!root) {
        return false;
      }
      const std::optional<std::pair<Natural, Natural>> tv =
          Cornacchia(n, discriminant.d, std::move(*root));
      if (!tv) {
        return false;
      }
      for (Signed& trace : Traces(discriminant.d, tv->first, tv->second)) {
        Natural m = Order(n, trace);
        pending.push_back({&discriminant, std::move(trace), std::move(m)});
      }
      return pending.size() >= tuning::kProofOrdersAtOnce && test();
    };
    for (; index < discriminants.size(); ++index) {
      const Discriminant& discriminant = discriminants[index];
      if (before.bound == 0) {
        roots.Reached(index);
      }
      Progress("step", step, n);
      if (stopped_) {
        return std::nullopt;
      }
      const std::int32_t d = discriminant.d;
      // Once a step is found, larger degrees are not worth their roots.
      if (best && discriminant.degree > best_degree + tuning::kProofClassSlack) {
        break;
      }
      if (!best && largest_degree != 0 && discriminant.degree > largest_degree) {
        capped_ = true;
        break;
      }
      if (failed.count(d) != 0 ||
          before.Admits(d, discriminant.class_number, discriminant.degree)) {
        continue;
      }
      if (consider(discriminant)) {
        ++index;
        return stopped_ ? std::nullopt : best;
      }
    }
    if (!pending.empty() && test() && stopped_) {
      return std::nullopt;
    }
    if (best) {
      capped_ = false;
    }
    return best;
  }

 private:
  Work& work_;
  ClockPacer pacer_;
  Natural counted_;
  std::string method_;
  bool stopped_ = false;
  bool capped_ = false;
};

// The curve of the candidate's order and its point, as a certificate step.
StepCheck Curve(const Natural& n, const Candidate& candidate, std::optional<CertificateStep>& step,
                Work& work) {
  const std::int32_t d = candidate.d;
  Natural a4;
  Natural a6;
  if (d != -3 && d != -4) {
    // A root of the genus factor of H_D where D has two prime discriminants or more, of the
    // whole H_D otherwise.
    std::vector<Natural> h;
    const GenusFactor* factor = candidate.roots.size() >= 2 ? GenusClassFactor(d, work) : nullptr;
    if (factor != nullptr) {
      h = GenusFactorModulo(*factor, candidate.roots, n);
    } else {
      const std::vector<SignedCoefficient>* polynomial = HilbertClassPolynomial(d, work);
      if (polynomial == nullptr) {
        return StepCheck::kFails;
      }
      for (const SignedCoefficient& c : *polynomial) {
        Natural r = c.magnitude % n;
        if (c.negative && !r.IsZero()) {
          r = n - r;
        }
        h.push_back(std::move(r));
      }
    }
    const std::optional<Natural> j = RootModulo(h, n, work);
    if (!j) {
      return StepCheck::kFails;
    }
    // y^2 = x^3 + 3k x + 2k with k = j / (1728 - j) has the invariant j.
    const Natural big_1728(1728);
    Natural denominator = (big_1728 % n) + n - *j;
    denominator %= n;
    Natural k;
    if (mpz_invert(k.raw(), denominator.get(), n.get()) == 0) {
      return StepCheck::kFails;
    }
    k = (k * *j) % n;
    a4 = (Natural(3) * k) % n;
    a6 = (Natural(2) * k) % n;
  }
  // For D < -4 the curve is E or its quadratic twist, as (r / N) is 1 or -1; for D = -3 one of
  // the six twists y^2 = x^3 + b, by the class of b among the sixth powers, b^((N - 1)/6); for
  // D = -4 one of the four y^2 = x^3 + a x, by a^((N - 1)/4). A class that failed is not tried
  // again.
  const unsigned twists = d == -3 ? 6 : d == -4 ? 4 : 2;
  const Natural twist_power = (n - Natural(1)) / Natural(twists);
  std::vector<Natural> failed_classes;
  for (std::uint64_t attempt = 0; attempt < tuning::kProofCurveAttempts; ++attempt) {
    if (work.Stopped()) {
      return StepCheck::kFails;
    }
    // j = 0: y^2 = x^3 + b, j = 1728: y^2 = x^3 + a x, their twists by the coefficient.
    if (d == -3) {
      a4 = Natural(0);
      a6 = Natural(attempt / 4 + 1);
    } else if (d == -4) {
      a4 = Natural(attempt / 4 + 1);
      a6 = Natural(0);
    }
    // A point on the twist by r = x^3 + a x + b: (x r, r^2) on y^2 = x^3 + a r^2 x + b r^3.
    const Natural x(attempt + 2);
    const Natural r = (x * x * x + a4 * x + a6) % n;
    if (r.IsZero()) {
      continue;
    }
    const Natural r2 = (r * r) % n;
    const CurvePoint point{(a4 * r2) % n, (x * r) % n, r2};
    Natural twist;
    if (d == -3) {
      mpz_powm(twist.raw(), ((a6 * r2) % n * r % n).get(), twist_power.get(), n.get());
    } else if (d == -4) {
      mpz_powm(twist.raw(), point.a.get(), twist_power.get(), n.get());
    } else {
      twist = Natural(mpz_jacobi(r.get(), n.get()) == 1 ? 1 : 0);
    }
    if (std::find(failed_classes.begin(), failed_classes.end(), twist) != failed_classes.end()) {
      continue;
    }
    const StepCheck check = CheckCurveStep(n, point, candidate.s, candidate.q);
    if (check == StepCheck::kComposite) {
      return check;
    }
    if (check == StepCheck::kFails) {
      failed_classes.push_back(std::move(twist));
    }
    if (check == StepCheck::kHolds) {
      step = CertificateStep{n,
                             candidate.trace.magnitude,
                             candidate.trace.negative,
                             candidate.s,
                             point.a,
                             point.x,
                             point.y};
      return check;
    }
  }
  return StepCheck::kFails;
}

// The curves of the steps that the down-run has found, each handed over once its step is found.
// With a second processor, a thread of its own makes them while the down-run goes on: the
// down-run is most of the work (at 1000 digits a step's search takes about twice its curve), and
// a curve of a large degree can take seconds. When it has no curve to make, the thread makes the
// square roots that the search in progress will want and lends it its processor for the strong
// tests; once the down-run is over, both threads make the curves left. Without the thread, each
// curve is made as it is handed over.
class Curves {
 public:
  enum class State { kWaiting, kHolds, kFails, kComposite };

  Curves(Work& work, bool threaded) : work_(work), share_(work, false) {
#if defined(BRINDAQ_PROOF_THREADS)
    if (threaded) {
      thread_ = std::thread([this] { Serve(); });
    }
#else
    (void)threaded;
    (void)share_;
#endif
  }

  ~Curves() {
#if defined(BRINDAQ_PROOF_THREADS)
    if (thread_.joinable()) {
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        if (searching_) {
          searching_->Finish();
        }
      }
      share_.Stop();
      changed_.notify_all();
      thread_.join();
    }
#endif
  }

  Curves(const Curves&) = delete;
  Curves& operator=(const Curves&) = delete;

  // Hands over the curve of the candidate for n; the ticket to ask for it by.
  std::uint64_t Add(const Natural& n, const Candidate& candidate) {
    const std::uint64_t ticket = next_ticket_++;
#if defined(BRINDAQ_PROOF_THREADS)
    if (thread_.joinable()) {
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        waiting_.push_back({ticket, n, candidate});
      }
      changed_.notify_all();
      return ticket;
    }
#endif
    made_[ticket] = Make(n, candidate, work_);
    return ticket;
  }

  // The step is out of the chain: its curve is not wanted any more.
  void Drop(std::uint64_t ticket) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto waiting = std::find_if(waiting_.begin(), waiting_.end(),
                                      [&](const Job& job) { return job.ticket == ticket; });
    if (waiting != waiting_.end()) {
      waiting_.erase(waiting);
    } else if (made_.erase(ticket) == 0) {
      dropped_.insert(ticket);  // being made
    }
  }

  State StateOf(std::uint64_t ticket) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = made_.find(ticket);
    if (found == made_.end()) {
      return State::kWaiting;
    }
    if (found->second.check == StepCheck::kComposite) {
      return State::kComposite;
    }
    return found->second.step ? State::kHolds : State::kFails;
  }

  // Makes the curves still waiting on this thread too, and waits for those being made.
  void AwaitAll() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!waiting_.empty() || !making_.empty()) {
      if (waiting_.empty()) {
        changed_.wait(lock);
        continue;
      }
      MakeFirst(lock, work_);
    }
  }

  // The step of a curve that holds.
  CertificateStep Take(std::uint64_t ticket) {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::move(*made_.at(ticket).step);
  }

  // The search in progress, whose roots the thread makes ahead when it has no curve to make.
  void Searching(std::shared_ptr<SquareRoots> roots) {
#if defined(BRINDAQ_PROOF_THREADS)
    if (thread_.joinable()) {
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        searching_ = std::move(roots);
      }
      changed_.notify_all();
    }
#else
    (void)roots;
#endif
  }

 private:
  struct Job {
    std::uint64_t ticket;
    Natural n;
    Candidate candidate;
  };
  struct Made {
    StepCheck check = StepCheck::kFails;
    std::optional<CertificateStep> step;
  };

  static Made Make(const Natural& n, const Candidate& candidate, Work& work) {
    Made made;
    made.check = Curve(n, candidate, made.step, work);
    return made;
  }

  // Makes the first curve waiting, with the lock released meanwhile.
  void MakeFirst(std::unique_lock<std::mutex>& lock, Work& work) {
    Job job = std::move(waiting_.front());
    waiting_.pop_front();
    making_.insert(job.ticket);
    lock.unlock();
    Made made = Make(job.n, job.candidate, work);
    lock.lock();
    making_.erase(job.ticket);
    if (dropped_.erase(job.ticket) == 0) {
      made_[job.ticket] = std::move(made);
    }
    changed_.notify_all();
  }

#if defined(BRINDAQ_PROOF_THREADS)
  // The thread: the curves first, else the roots of the search in progress.
  void Serve() {
    std::shared_ptr<SquareRoots> prepared;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
      if (!waiting_.empty()) {
        MakeFirst(lock, share_);
        continue;
      }
      if (searching_ && searching_ != prepared) {
        prepared = searching_;
        lock.unlock();
        if (prepared->Number().Bits() > tuning::kProofThreadsFromBits) {
          prepared->LendCore();
        }
        prepared->Prepare(FirstList(prepared->Number().Bits()));
        lock.lock();
        continue;
      }
      changed_.wait(lock);
    }
  }

  std::thread thread_;
  bool quit_ = false;
  std::shared_ptr<SquareRoots> searching_;
#endif
  Work& work_;
  WorkShare share_;  // the thread's
  std::uint64_t next_ticket_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> waiting_;
  std::set<std::uint64_t> making_;
  std::set<std::uint64_t> dropped_;
  std::map<std::uint64_t, Made> made_;
};

class Prover {
 public:
  Prover(Work& work, const ProofOptions& options) : work_(work), options_(options) {}

  // The proof of the probable prime n > 2^64: the down-run finds the chain of steps, each from
  // a number to a smaller probable prime q, and Curves makes each step's curve beside it.
  Proof Run(const Natural& n, Certificate* certificate) {
    bool threaded = false;
#if defined(BRINDAQ_PROOF_THREADS)
    threaded = n.Bits() > tuning::kProofThreadsFromBits && std::thread::hardware_concurrency() >= 2;
#endif
    Curves curves(work_, threaded);
    Searcher searcher(work_);
    // The chain: each step's number, discriminant and curve, and the number's roots and where
    // its search ended, for a search that goes on from there.
    struct Link {
      Natural n;
      std::int32_t d;
      std::uint64_t ticket;
      std::shared_ptr<SquareRoots> roots;
      Searcher::Place place;
      bool resumed;  // the search went on once already
    };
    std::vector<Link> chain;
    // A search that goes on: the number's roots and place, when the loop comes back to it.
    std::optional<std::pair<std::shared_ptr<SquareRoots>, Searcher::Place>> resume;
    // For each number of the chain, the discriminants that gave it no step: their curve was not
    // found, or the number after them had no step of its own.
    std::vector<std::set<std::int32_t>> failed(1);
    Natural number = n;
    bool tail_tried = false;
    // Back to the number of the link at `index`, which takes another discriminant.
    const auto back_to = [&](std::size_t index) {
      failed.resize(index + 1);
      failed[index].insert(chain[index].d);
      for (std::size_t k = index; k < chain.size(); ++k) {
        curves.Drop(chain[k].ticket);
      }
      number = chain[index].n;
      chain.resize(index);
      tail_tried = false;
      resume.reset();
    };
    // The first link whose curve was not found, if any; n is composite when its own was not.
    const auto first_failed = [&](bool& composite) -> std::optional<std::size_t> {
      for (std::size_t k = 0; k < chain.size(); ++k) {
        const Curves::State state = curves.StateOf(chain[k].ticket);
        if (state == Curves::State::kComposite || state == Curves::State::kFails) {
          composite = k == 0 && state == Curves::State::kComposite;
          return k;
        }
      }
      return std::nullopt;
    };
    while (true) {
      bool composite = false;
      if (const std::optional<std::size_t> index = first_failed(composite)) {
        if (composite) {
          return Proof::kComposite;
        }
        back_to(*index);
        continue;
      }
      // Without a certificate to write, the chain ends at the first number of two words that
      // n - 1 proves (two_word_proof.h), a few steps sooner.
      bool end = number.FitsWord();
      if (!end && certificate == nullptr && !tail_tried && !chain.empty() &&
          number.FitsTwoWords()) {
        tail_tried = true;
        end = ProveTwoWordPrime(number, work_) == Proof::kProven;
      }
      if (work_.Stopped()) {
        return Proof::kProbable;
      }
      if (end) {
        curves.AwaitAll();
        if (work_.Stopped()) {
          return Proof::kProbable;
        }
        if (first_failed(composite)) {
          continue;
        }
        if (number.FitsWord() && !IsPrime(number.Word())) {
          return Proof::kProbable;  // never: every q below 2^64 was tested exactly
        }
        if (certificate != nullptr) {
          certificate->number = n;
          certificate->steps.clear();
          for (const Link& link : chain) {
            certificate->steps.push_back(curves.Take(link.ticket));
          }
        }
        return Proof::kProven;
      }
      const bool resumed = resume.has_value();
      const std::shared_ptr<SquareRoots> roots =
          resumed ? resume->first : std::make_shared<SquareRoots>(number);
      Searcher::Place place = resumed ? resume->second : Searcher::Place{};
      resume.reset();
      curves.Searching(roots);
      searcher.Progress("step", chain.size() + 1, number);
      // Past the largest degree, the search's roots and its curve cost more than going back to
      // the number before, whose search goes on from where it found this number (once).
      const int largest_degree =
          !resumed && number.Bits() > options_.search_degree_from_bits ? options_.search_degree : 0;
      std::optional<Candidate> candidate =
          searcher.Search(number, failed.back(), chain.size() + 1, *roots, largest_degree, place);
      if (!candidate && searcher.Capped() && !work_.Stopped()) {
        if (!chain.empty() && !chain.back().resumed) {
          curves.Drop(chain.back().ticket);
          number = chain.back().n;
          resume.emplace(chain.back().roots, chain.back().place);
          chain.pop_back();
          failed.pop_back();
          tail_tried = false;
          continue;
        }
        candidate = searcher.Search(number, failed.back(), chain.size() + 1, *roots, 0, place);
      }
      roots->Finish();
      if (searcher.Stopped() || work_.Stopped()) {
        return Proof::kProbable;
      }
      if (!candidate) {
        // No discriminant gives this number a step: back to the number before it, which takes
        // another one. The first number has none before it.
        if (chain.empty()) {
          return Proof::kProbable;
        }
        back_to(chain.size() - 1);
        continue;
      }
      chain.push_back(
          {number, candidate->d, curves.Add(number, *candidate), roots, place, resumed});
      failed.emplace_back();
      number = std::move(candidate->q);
      tail_tried = false;
    }
  }

 private:
  Work& work_;
  const ProofOptions& options_;
};

}  // namespace

Proof ProvePrime(const Natural& n, Work& work, Certificate* certificate) {
  if (n.FitsWord()) {
    const bool prime = IsPrime(n.Word());
    if (prime && certificate != nullptr) {
      certificate->number = n;
      certificate->steps.clear();
    }
    return prime ? Proof::kProven : Proof::kComposite;
  }
  const std::optional<bool> probable = IsProbablePrime(n, work);
  if (!probable) {
    return Proof::kUnknown;
  }
  if (!*probable) {
    return Proof::kComposite;
  }
  return ProveProbablePrime(n, work, certificate);
}

Proof ProveProbablePrime(const Natural& n, Work& work, Certificate* certificate) {
  return ProveProbablePrime(n, work, certificate, ProofOptions{});
}

Proof ProveProbablePrime(const Natural& n, Work& work, Certificate* certificate,
                         const ProofOptions& options) {
  if (certificate == nullptr && n.FitsTwoWords()) {
    if (const std::optional<Proof> proof = ProveTwoWordPrime(n, work)) {
      return *proof;
    }
  }
  if (n.Bits() > tuning::kProofLargestBits) {
    return Proof::kProbable;  // past the sizes that the discriminants' lists can carry
  }
  return Prover(work, options).Run(n, certificate);
}

}  // namespace brindaq
