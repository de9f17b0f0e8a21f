#!/usr/bin/env bash
# QUARVEL beside PARI/GP, in one run, so that both meet the same load on the machine: the heaviest
# inputs of the window's range for the four operations that PARI/GP also has, the heaviest
# questions of the full range below 2^64, and numbers of 20 to 1000 digits past it. PARI/GP is a yardstick only: install it by hand (Debian package
# pari-gp) to run this; nothing of the project needs it.
#
#   bash bench/pari-side-by-side.sh        after cmake --workflow --preset default
#
# Both sides give the median of five rounds. QUARVEL: brindaq_bench, one click (reading the
# operands, computing, writing the lines). PARI/GP: the same work in gp, the time of an empty call
# taken away, the lines built as strings where QUARVEL lists them: nextprime, isprime, factor,
# forprime for the intervals and Goldbach, qfbsolve for the two squares. The 1000 products of two
# primes are those of bench/full_range_bench.cpp; each is factored alone, 20 times over in gp. The
# 1000 random numbers of 128 bits are those of bench/big_bench.cpp (std::mt19937_64 from 128), each
# factored alone for 20 ms in gp; of the products of two primes of 20 and 30 digits, three each,
# both sides give the median.
#
# The products of two primes of 40 to 70 digits, for the quadratic sieve, are three of each size
# (bench/full_range_bench.cpp): each row gives the median of the three, each timed once (40 and 50
# digits: the mean of several runs, as many as the benchmark library chooses, five in gp). A
# product of 80 digits takes minutes on either side, and runs only when asked:
#
#   BRINDAQ_BENCH_80=1 bash bench/pari-side-by-side.sh
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

# Microseconds per call, one line per question: "name time".
eighty="${BRINDAQ_BENCH_80:-0}"
pari="$( (echo "EIGHTY = $eighty;"; cat) <<'GP' | gp -q -f -s 1G
median(v) = vecsort(v)[(#v + 1) \ 2];
timed(f, n) = my(t = vector(5)); for (r = 1, 5, my(s = getabstime()); for (i = 1, n, f()); t[r] = 1000 * (getabstime() - s) / n); median(t);
goldbach(a) = my(v = List()); forprime(p = 3, a / 2, if (isprime(a - p), listput(v, Str("  ", a, "  =   ", p, "  +   ", a - p)))); Vec(v);
listprimes(a, b) = my(v = List()); forprime(p = a + 1, b - 1, listput(v, Str("    ", p))); Vec(v);
countprimes(a, b) = my(c = 0); forprime(p = a + 1, b - 1, c++); c;
listproven(a, b) = my(v = List()); forprime(p = a + 1, b - 1, if (isprime(p), listput(v, Str("    ", p)))); Vec(v);
countproven(a, b) = my(c = 0); forprime(p = a + 1, b - 1, if (isprime(p), c++)); c;
nextproven(a) = my(p = nextprime(a + 1)); while (!isprime(p), p = nextprime(p + 1)); Str("    ", p);
twosquares(n) = my(v = List()); foreach(qfbsolve(Qfb(1, 0, 1), n, 3), s, my(x = abs(s[1]), y = abs(s[2])); if (x > 0 && x <= y, listput(v, [x, y]))); v = vecsort(Vec(v), 1, 8); vector(#v, i, Str("  ", n, "  =   ", v[i][1], "^2  +   ", v[i][2], "^2"));
empty = timed(() -> 0, 200000);
printf("NextPrime/heaviest %.6f\n", timed(() -> nextprime(47326693 + 1), 20000) - empty);
printf("PrimalityTest/heaviest %.6f\n", timed(() -> isprime(99999989), 200000) - empty);
printf("PrimeFactors/heaviest %.6f\n", timed(() -> factor(9999991), 100000) - empty);
printf("GoldbachDecomposition/heaviest %.6f\n", timed(() -> goldbach(99330), 100) - empty);
M = 2^64 - 1;
printf("Full/IsPrime/largest-prime %.6f\n", timed(() -> isprime(18446744073709551557), 100000) - empty);
printf("Full/Verdict/largest-prime %.6f\n", timed(() -> isprime(18446744073709551557), 100000) - empty);
printf("Full/Verdict/pseudoprime-to-9-bases %.6f\n", timed(() -> isprime(3825123056546413051), 100000) - empty);
printf("Full/IsPrime/pseudoprime-to-9-bases %.6f\n", timed(() -> my(f = factor(3825123056546413051)[1, 1]); isprime(3825123056546413051), 10000) - empty);
printf("Full/Factors/two-primes-near-2^32 %.6f\n", timed(() -> factor(18446743979220271189), 200) - empty);
printf("Full/Factors/2^64-1 %.6f\n", timed(() -> factor(M), 2000) - empty);
near = vector(1000, k, M - 10^6 * k); nearby = 0;
printf("Full/NextPrime/near-2^64 %.6f\n", timed(() -> nextprime(near[nearby = nearby % 1000 + 1] + 1), 20000) - empty);
printf("Full/NextPrime/10^18 %.6f\n", timed(() -> nextprime(10^18 + 1), 20000) - empty);
printf("Full/Primes/width-10^4-near-2^64 %.6f\n", timed(() -> listprimes(M - 10^4, M), 20) - empty);
printf("Full/PrimeCount/width-10^5-near-2^64 %.6f\n", timed(() -> countprimes(M - 10^5, M), 3) - empty);
printf("Full/TwoSquares/2048-lines %.6f\n", timed(() -> twosquares(10003628061488344205), 20) - empty);
printf("Full/Goldbach/9699690 %.6f\n", timed(() -> goldbach(9699690), 1) - empty);
A = (10^1000 - 1) / 9 * 7; B = (10^1000 - 1) / 3; C = 10^999 + 9;
printf("Full/Big/PowerMod/1000-digits %.6f\n", timed(() -> Str("    ", lift(Mod(A, C)^B)), 20) - empty);
printf("Full/Big/NextPrime/10^100 %.6f\n", timed(() -> nextproven(10^100), 20) - empty);
printf("Full/Big/IsPrime/10^99+289 %.6f\n", timed(() -> isprime(10^99 + 289), 5) - empty);
printf("Full/Big/IsPrime/10^199+153 %.6f\n", timed(() -> isprime(10^199 + 153), 1) - empty);
printf("Full/Big/IsPrime/10^299+669 %.6f\n", timed(() -> isprime(10^299 + 669), 1) - empty);
\\ Proofs of random primes: three of each size (the same as brindaq_bench's RandomPrime), the
\\ median of the three.
rp(d, k) = nextprime(10^(d-1) + lift(Mod(7, 9*10^(d-1))^(3*d*k+11)));
foreach([[100, 5], [200, 1], [300, 1], [500, 1]], dn, my(d = dn[1], P = vector(3, k, rp(d, k))); printf("Full/Big/IsPrime/random-%d-digits %.6f\n", d, median(vector(3, k, timed(() -> isprime(P[k]), dn[2]) - empty))));
printf("Full/Big/NextPrime/10^300 %.6f\n", timed(() -> nextproven(10^300), 1) - empty);
printf("Full/Big/Primes/10^50-width-10^4 %.6f\n", timed(() -> listproven(10^50, 10^50 + 10^4), 1) - empty);
printf("Full/Big/PrimeCount/10^30-width-10^5 %.6f\n", timed(() -> countproven(10^30, 10^30 + 10^5), 1) - empty);
fibonaccilines(n) = my(v = vector(n), a = 0, b = 1, c); for (i = 1, n, v[i] = Str("    ", b); c = a + b; a = b; b = c); v;
printf("Full/Big/Fibonacci/10000 %.6f\n", timed(() -> fibonaccilines(10000), 3) - empty);
printf("Full/Big/Factors/2^67-1 %.6f\n", timed(() -> factor(2^67 - 1), 20) - empty);
printf("Full/Big/Factors/2^128+1 %.6f\n", timed(() -> factor(2^128 + 1), 5) - empty);
printf("Full/Big/Factors/100! %.6f\n", timed(() -> factor(100!), 200) - empty);
printf("Full/Big/Factors/10^14-prime-times-60-digit-prime %.6f\n", timed(() -> factor(100000000000031 * (10^59 + 19)), 3) - empty);
\\ PARI/GP takes minutes on this one (291 s here): one run, not five.
once(f) = my(s = getabstime()); f(); 1000 * (getabstime() - s);
printf("Full/Big/Factors/100-digit-with-26-digit-factor %.6f\n", once(() -> factor(1961508284926472074460264950265649222758120909491442743166952643977492181191163972802107432960552003)));
printf("Full/Big/IsPrime/its-74-digit-cofactor %.6f\n", timed(() -> isprime(32825080251773280621874666548134377266294650164668892700047276428417793991), 3) - empty);
s20 = [27865957416710588083, 32714707538353474241, 13656349377253593757];
s30 = [253312612843842342889299310807, 314509968862147462669073750593, 376366260430606676875459409611];
t20 = vector(3, i, timed(() -> factor(s20[i]), 50) - empty);
printf("Full/Big/Factors/20-digit-products:median %.6f\n", vecsort(t20)[2]);
t30 = vector(3, i, timed(() -> factor(s30[i]), 10) - empty);
printf("Full/Big/Factors/30-digit-products:median %.6f\n", vecsort(t30)[2]);
mt64(seed, count) = {
  my(N = 312, M = 156, W = 2^64, mt = vector(N), out = vector(count), at = N + 1, x, y);
  mt[1] = seed;
  for (i = 2, N, mt[i] = (6364136223846793005 * bitxor(mt[i - 1], mt[i - 1] >> 62) + i - 1) % W);
  for (k = 1, count,
    if (at > N,
      for (i = 1, N,
        x = bitand(mt[i], W - 2^31) + bitand(mt[i % N + 1], 2^31 - 1);
        y = x >> 1; if (x % 2, y = bitxor(y, 13043109905998158313));
        mt[i] = bitxor(mt[(i + M - 1) % N + 1], y));
      at = 1);
    y = mt[at]; at++;
    y = bitxor(y, bitand(y >> 29, 6148914691236517205));
    y = bitxor(y, bitand((y << 17) % W, 8202884508482404352));
    y = bitxor(y, bitand((y << 37) % W, 18444473444759240704));
    out[k] = bitxor(y, y >> 43));
  out;
}
words = mt64(128, 2000);
r128 = vector(1000, k, bitor(words[2 * k - 1], 2^63) * 2^64 + words[2 * k]);
each128 = vecsort(vector(1000, k, my(n = r128[k], c = 0, s = getabstime()); until(getabstime() - s >= 20, factor(n); c++); 1000 * (getabstime() - s) / c));
printf("BigFactoriseRandom128:median %.6f\n", each128[501]);
semi(v, n) = median(vector(#v, i, my(s = getabstime()); for (j = 1, n, factor(v[i])); 1000 * (getabstime() - s) / n));
printf("Full/Big/Factors/40-digit-product-of-two-primes %.6f\n", semi([4278484053548966982705268613062104274903, 4430737545133829232591598225519455157309, 3266482672531416632548767544303395457811], 5) - empty);
printf("Full/Big/Factors/50-digit-product-of-two-primes %.6f\n", semi([62924296960111234602037698215072334534677192767403, 10847861078086849683205561925329381305720712643147, 42840324155787983147408226754069500032847487258021], 5) - empty);
printf("Full/Big/Factors/60-digit-product-of-two-primes %.6f\n", semi([127653816205143915034695743603339855500713239972805441432851, 551846539610563635363274057043014614514003853271797996788547, 579948391707226293102021932728170177230345219659488247312513], 1) - empty);
printf("Full/Big/Factors/70-digit-product-of-two-primes %.6f\n", semi([9518497475181926275674443883116975784664318858362522401863023088993061, 1652886311372055427028456915889589199362992494412785963750798308313933, 2348550333620589994805440565799335571041799589671716286184504579840223], 1) - empty);
if (EIGHTY, printf("Full/Big80/Factors/80-digit-product-of-two-primes %.6f\n", semi([24786714086833919446645380369238062440491352434995755311907323878367158623283203], 1) - empty));
h = 2^31; each = vector(1000, k, my(p = precprime(h + (k - 1) * 2654435761 % h), q = precprime(h + (40503 * (k - 1) + 12345) * 2246822519 % h)); my(n = p * q, s = getabstime()); for (i = 1, 20, factor(n)); 1000 * (getabstime() - s) / 20);
each = vecsort(each);
printf("Full/Factors/1000-products:median %.6f\n", each[501]);
printf("Full/Factors/1000-products:slowest %.6f\n", each[1000]);
GP
)"

# The median time of each click, in microseconds: "name time"; and the counters of the products.
csv="$("$bench" --benchmark_filter='^((NextPrime|PrimalityTest|PrimeFactors|GoldbachDecomposition)/heaviest|Full/[A-Za-z]+/[^/]*|Full/Big/[^/]*/[^/]*)$' \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)"
quarvel="$(awk -F, '$1 ~ /_median"?$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    unit = $5; gsub(/"/, "", unit)
    time = $3 * (unit == "ms" ? 1000 : unit == "ns" ? 0.001 : 1)
    print name, time
  }' <<<"$csv")"
# The products for the sieve: one run of each, the median of the three of a size.
sieved='product-of-two-primes/'
if [ "$eighty" = 1 ]; then sieved="$sieved|Full/Big80/"; fi
quarvel+=$'\n'"$("$bench" --benchmark_filter="$sieved" --benchmark_format=csv 2>/dev/null | awk -F, '
  $1 ~ /^"Full/ {
    name = $1; gsub(/"/, "", name); sub(/\/[0-9]+$/, "", name)
    unit = $5; gsub(/"/, "", unit)
    time = $3 * (unit == "ms" ? 1000 : unit == "ns" ? 0.001 : unit == "s" ? 1e6 : 1)
    times[name] = times[name] " " time
  }
  END {
    for (name in times) {
      k = split(substr(times[name], 2), t, " ")
      for (i = 1; i <= k; ++i) for (j = i + 1; j <= k; ++j) if (t[j] < t[i]) { x = t[i]; t[i] = t[j]; t[j] = x }
      print name, t[int((k + 1) / 2)]
    }
  }')"
# The products on their own: their counters are the median and the slowest of one round.
products="$("$bench" --benchmark_filter='1000-products' --benchmark_format=csv 2>/dev/null | tail -1)"
median="$(cut -d, -f11 <<<"$products")"
slowest="$(cut -d, -f12 <<<"$products")"
quarvel+=$'\n'"Full/Factors/1000-products:median $median"$'\n'"Full/Factors/1000-products:slowest $slowest"
# The products of two primes of 20 and 30 digits: the median of the three of each size.
for digits in 20 30; do
  three="$(awk -v p="Full/Big/Factors/$digits-digit-product-of-two-primes-" 'index($1, p) == 1 { print $2 }' <<<"$quarvel" | sort -g | sed -n 2p)"
  quarvel+=$'\n'"Full/Big/Factors/$digits-digit-products:median $three"
done
# The 1000 random numbers of 128 bits, the median of one number's time (a counter).
random128="$("$bench" --benchmark_filter='BigFactoriseRandom128' --benchmark_format=csv 2>/dev/null | tail -1)"
quarvel+=$'\n'"BigFactoriseRandom128:median $(cut -d, -f11 <<<"$random128")"

# The proofs of random primes: the median of the three of each size.
for digits in 100 200 300 500; do
  quarvel+=$'\n'"$(awk -v d="$digits" '$1 ~ "^Full/Big/IsPrime/random-" d "-digits-[0-9]$" { print $2 }' <<<"$quarvel" |
    sort -g | awk -v d="$digits" '{ t[NR] = $1 } END { print "Full/Big/IsPrime/random-" d "-digits", t[int((NR + 1) / 2)] }')"
done

pari_version="$(echo 'print(Strprintf("%d.%d.%d", version()[1], version()[2], version()[3]))' | gp -q -f)"
echo "| Question | QUARVEL | PARI/GP $pari_version | PARI/GP time / QUARVEL time |"
echo "|---|---|---|---|"
while IFS='|' read -r name label; do
  if [ "$name" != "${name#Full/Big80/}" ] && [ "$eighty" != 1 ]; then continue; fi
  q="$(awk -v n="$name" '$1 == n { print $2 }' <<<"$quarvel")"
  p="$(awk -v n="$name" '$1 == n { print $2 }' <<<"$pari")"
  awk -v label="$label" -v q="$q" -v p="$p" 'BEGIN {
    unit = q >= 1000 ? "ms" : "µs"; scale = q >= 1000 ? 0.001 : 1
    printf "| %s | %.3g %s | %.3g %s | %.1f |\n", label, q * scale, unit, p * scale, unit, p / q }'
done <<'ROWS'
NextPrime/heaviest|Window: NEXTPRIME(A), 47326693
PrimalityTest/heaviest|Window: TEST IF A IS A PRIME NUMBER, 99999989
PrimeFactors/heaviest|Window: PRIME FACTORS OF A, 9999991
GoldbachDecomposition/heaviest|Window: GOLDBACH (A), 99330
Full/IsPrime/largest-prime|is-prime 18446744073709551557 (2^64 - 59)
Full/Verdict/largest-prime|the verdict alone (IsPrime; isprime), 2^64 - 59
Full/Verdict/pseudoprime-to-9-bases|the verdict alone, 3825123056546413051, a strong pseudoprime to the first 9 prime bases
Full/IsPrime/pseudoprime-to-9-bases|is-prime 3825123056546413051: the verdict and its smallest factor 149491
Full/Factors/1000-products:median|factors, 1000 products of two primes near 2^32: median
Full/Factors/1000-products:slowest|factors, the same: slowest
Full/Factors/two-primes-near-2^32|factors 18446743979220271189 = 4294967279 x 4294967291
Full/Factors/2^64-1|factors 18446744073709551615 (2^64 - 1)
Full/NextPrime/near-2^64|next-prime, 1000 numbers near 2^64 (2^64 - 10^6 k): one
Full/NextPrime/10^18|next-prime 1000000000000000000
Full/Primes/width-10^4-near-2^64|primes 2^64 - 10^4 - 1 to 2^64 - 1 (218 lines)
Full/PrimeCount/width-10^5-near-2^64|prime-count 2^64 - 10^5 - 1 to 2^64 - 1 (2139)
Full/TwoSquares/2048-lines|two-squares 10003628061488344205 (2048 lines)
Full/Goldbach/9699690|goldbach 9699690 (124180 lines)
Full/Big/PowerMod/1000-digits|power-mod, operands of 1000 digits
Full/Big/NextPrime/10^100|next-prime 1E100, proven (PARI/GP: isprime(nextprime()))
Full/Big/NextPrime/10^300|next-prime 1E300, proven
Full/Big/IsPrime/10^99+289|is-prime 10^99 + 289, proven (PARI/GP: isprime, APR-CL)
Full/Big/IsPrime/10^199+153|is-prime 10^199 + 153, proven
Full/Big/IsPrime/10^299+669|is-prime 10^299 + 669, proven
Full/Big/IsPrime/random-100-digits|is-prime, three random primes of 100 digits: the median
Full/Big/IsPrime/random-200-digits|is-prime, three random primes of 200 digits: the median
Full/Big/IsPrime/random-300-digits|is-prime, three random primes of 300 digits: the median
Full/Big/IsPrime/random-500-digits|is-prime, three random primes of 500 digits: the median
Full/Big/Primes/10^50-width-10^4|primes 10^50 to 10^50 + 10^4, each proven (PARI/GP: forprime, isprime)
Full/Big/PrimeCount/10^30-width-10^5|prime-count 10^30 to 10^30 + 10^5, each proven
Full/Big/Fibonacci/10000|fibonacci 10000 (10 MB of digits)
Full/Big/Factors/2^67-1|factors 2^67 - 1
Full/Big/Factors/2^128+1|factors 2^128 + 1
Full/Big/Factors/100!|factors 100!
Full/Big/Factors/10^14-prime-times-60-digit-prime|factors 100000000000031 x (10^59 + 19)
Full/Big/Factors/100-digit-with-26-digit-factor|factors, a 26-digit prime times a 74-digit prime, proven (PARI/GP: factor, unproven)
Full/Big/IsPrime/its-74-digit-cofactor|is-prime of that 74-digit prime: the proof's share of the factors
Full/Big/Factors/20-digit-products:median|factors, products of two primes of 10 digits: median of three
Full/Big/Factors/30-digit-products:median|factors, products of two primes of 15 digits: median of three
BigFactoriseRandom128:median|factors, 1000 random numbers of 128 bits, each alone: median
Full/Big/Factors/40-digit-product-of-two-primes|factors, a product of two primes of 20 digits
Full/Big/Factors/50-digit-product-of-two-primes|factors, a product of two primes of 25 digits
Full/Big/Factors/60-digit-product-of-two-primes|factors, a product of two primes of 30 digits
Full/Big/Factors/70-digit-product-of-two-primes|factors, a product of two primes of 35 digits
Full/Big80/Factors/80-digit-product-of-two-primes|factors, a product of two primes of 40 digits
ROWS

# A random prime of 1000 digits, QUARVEL alone: PARI/GP's isprime takes minutes there.
awk '$1 == "Full/Big/IsPrime/random-1000-digits-1" {
    printf "\nis-prime, a random prime of 1000 digits (QUARVEL alone): %.3g s\n", $2 / 1000000 }' <<<"$quarvel"
