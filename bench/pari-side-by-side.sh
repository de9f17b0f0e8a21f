#!/usr/bin/env bash
# QUARVEL beside PARI/GP on the heaviest inputs of the four operations that PARI/GP also has, in
# one run, so that both meet the same load on the machine. PARI/GP is a yardstick only: install
# it by hand (Debian package pari-gp) to run this; nothing of the project needs it.
#
#   bash bench/pari-side-by-side.sh        after cmake --workflow --preset default
#
# Both sides give the median of five rounds. QUARVEL: brindaq_bench, one click (reading the
# operand, computing, writing the lines). PARI/GP: the same work in gp, the time of an empty call
# taken away: nextprime(A + 1), isprime(A), factor(A), and for Goldbach the lines built as strings
# by a forprime loop.
set -euo pipefail
cd "$(dirname "$0")/.."

bench=build/default/bench/brindaq_bench
if ! command -v gp >/dev/null; then
  echo "$0: needs gp (Debian package pari-gp)" >&2
  exit 2
fi
if [ ! -x "$bench" ]; then
  echo "$0: build first: cmake --workflow --preset default" >&2
  exit 2
fi

# Milliseconds per call, one line per operation: "name time".
pari="$(gp -q -f <<'GP'
median(v) = vecsort(v)[(#v + 1) \ 2];
timed(f, n) = my(t = vector(5)); for (r = 1, 5, my(s = getabstime()); for (i = 1, n, f()); t[r] = (getabstime() - s) / n); median(t);
goldbach(a) = my(v = List()); forprime(p = 3, a / 2, if (isprime(a - p), listput(v, Str("  ", a, "  =   ", p, "  +   ", a - p)))); Vec(v);
empty = timed(() -> 0, 200000);
printf("NextPrime %.6f\n", timed(() -> nextprime(47326693 + 1), 20000) - empty);
printf("PrimalityTest %.6f\n", timed(() -> isprime(99999989), 200000) - empty);
printf("PrimeFactors %.6f\n", timed(() -> factor(9999991), 100000) - empty);
printf("GoldbachDecomposition %.6f\n", timed(() -> goldbach(99330), 100) - empty);
GP
)"

# The median wall time of each click, in milliseconds: "name time".
quarvel="$("$bench" --benchmark_filter='^(NextPrime|PrimalityTest|PrimeFactors|GoldbachDecomposition)/heaviest$' \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"/, "", name); sub(/\/heaviest_median$/, "", name); print name, $3 }')"

pari_version="$(echo 'print(Strprintf("%d.%d.%d", version()[1], version()[2], version()[3]))' | gp -q -f)"
echo "| Operation, heaviest input | QUARVEL | PARI/GP $pari_version | PARI/GP time / QUARVEL time |"
echo "|---|---|---|---|"
while read -r name label; do
  q="$(awk -v n="$name" '$1 == n { print $2 }' <<<"$quarvel")"
  p="$(awk -v n="$name" '$1 == n { print $2 }' <<<"$pari")"
  awk -v label="$label" -v q="$q" -v p="$p" \
    'BEGIN { printf "| %s | %.2f µs | %.2f µs | %.1f |\n", label, 1000 * q, 1000 * p, p / q }'
done <<'ROWS'
NextPrime NEXTPRIME(A), 47326693
PrimalityTest TEST IF A IS A PRIME NUMBER, 99999989
PrimeFactors PRIME FACTORS OF A, 9999991
GoldbachDecomposition GOLDBACH (A), 99330
ROWS
