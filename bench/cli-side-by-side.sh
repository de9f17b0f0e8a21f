#!/usr/bin/env bash
# brindaq-cli beside PARI/GP, in one run, on two questions of the full range that both answer
# line by line: the verdict on 1000 primes below 2^64, each asked 100 times in one batch, and the
# Goldbach decomposition of 9699690 (124180 lines). Each side is timed as a whole process, its
# output sent to /dev/null, and the time of the same process with nothing to do (an empty batch,
# a gp script without the loop) is taken away, so that what is left is the questions and the
# writing of their lines. The rounds of the two sides alternate, so that both meet the same load
# on the machine, and each time is the median of the rounds. PARI/GP is a yardstick only: install
# it by hand (Debian package pari-gp) to run this; nothing of the project needs it.
#
#   bash bench/cli-side-by-side.sh [ROUNDS]    after cmake --workflow --preset default
#
# The 1000 primes are PARI/GP's: setrand(1), then randomprime([2^60, 2^64 - 1]) a thousand times.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds="${1:-9}"
cli=build/default/cli/brindaq-cli
if ! command -v gp >/dev/null; then
  echo "$0: needs gp (Debian package pari-gp)" >&2
  exit 2
fi
if [ ! -x "$cli" ]; then
  echo "$0: build first: cmake --workflow --preset default" >&2
  exit 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The questions, as a batch for brindaq-cli and as gp scripts.
gp -q -f <<'GP' >"$work/primes.txt"
setrand(1); for (i = 1, 1000, print(randomprime([2^60, 2^64 - 1])));
GP
for _ in $(seq 100); do sed 's/^/is-prime /' "$work/primes.txt"; done >"$work/is-prime.batch"
echo 'goldbach 9699690' >"$work/goldbach.batch"
: >"$work/empty.batch"
{
  echo "v = [$(paste -sd, "$work/primes.txt")];"
  echo 'for (r = 1, 100, for (i = 1, 1000, print(if (isprime(v[i]), "A IS A PRIME NUMBER!", "A IS NOT A PRIME NUMBER"))));'
} >"$work/is-prime.gp"
head -1 "$work/is-prime.gp" >"$work/is-prime-empty.gp"
echo 'a = 9699690; forprime(p = 3, a / 2, if (isprime(a - p), print(a, "  =  ", p, "  +  ", a - p)));' \
  >"$work/goldbach.gp"
echo 'a = 9699690;' >"$work/goldbach-empty.gp"

# Nanoseconds that a command takes, its output thrown away.
elapsed() {
  local start end
  start="$(date +%s%N)"
  "$@" >/dev/null
  end="$(date +%s%N)"
  echo $((end - start))
}
quarvel() { "$cli" --full-range - <"$1"; }
pari() { gp -q -f -s 1G "$1" </dev/null; }

# One line per round and measure: "name nanoseconds".
for _ in $(seq "$rounds"); do
  echo "q-is-prime $(elapsed quarvel "$work/is-prime.batch")"
  echo "q-goldbach $(elapsed quarvel "$work/goldbach.batch")"
  echo "q-empty $(elapsed quarvel "$work/empty.batch")"
  echo "p-is-prime $(elapsed pari "$work/is-prime.gp")"
  echo "p-is-prime-empty $(elapsed pari "$work/is-prime-empty.gp")"
  echo "p-goldbach $(elapsed pari "$work/goldbach.gp")"
  echo "p-goldbach-empty $(elapsed pari "$work/goldbach-empty.gp")"
done >"$work/times.txt"

median() {
  awk -v n="$1" '$1 == n { print $2 }' "$work/times.txt" | sort -n |
    awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}
q_is_prime="$(median q-is-prime)"
q_goldbach="$(median q-goldbach)"
q_empty="$(median q-empty)"
p_is_prime="$(median p-is-prime)"
p_is_prime_empty="$(median p-is-prime-empty)"
p_goldbach="$(median p-goldbach)"
p_goldbach_empty="$(median p-goldbach-empty)"

pari_version="$(echo 'print(Strprintf("%d.%d.%d", version()[1], version()[2], version()[3]))' | gp -q -f)"
echo "Median of $rounds rounds, the empty run taken away."
echo
echo "| Question | QUARVEL (brindaq-cli) | PARI/GP $pari_version | QUARVEL / PARI/GP |"
echo "|---|---|---|---|"
awk -v q="$(((q_is_prime - q_empty)))" -v p="$(((p_is_prime - p_is_prime_empty)))" 'BEGIN {
  q /= 100000 * 1000; p /= 100000 * 1000
  printf "| is-prime, 1000 primes in [2^60, 2^64) asked 100 times: one question | %.3f µs | %.3f µs | %.2f |\n", q, p, q / p }'
awk -v q="$(((q_goldbach - q_empty)))" -v p="$(((p_goldbach - p_goldbach_empty)))" 'BEGIN {
  q /= 1000000; p /= 1000000
  printf "| goldbach 9699690 (124180 lines) | %.1f ms | %.1f ms | %.2f |\n", q, p, q / p }'
