#!/usr/bin/env bash
# Writes COUNT (default 100000) mixed questions for `brindaq-cli -`, one to a line, the same ones
# on every machine: the fifteen operations in turn, with operands drawn as a worksheet or a check
# over a range would use them (whole numbers up to 1000000 for the questions about one number, up
# to 10000 for Goldbach, intervals up to 1000 wide and counts over up to 10000, the modular
# operations over their whole ranges), and, in turn with them, one question in 20 with an operand
# out of range (a notice) and one in 100 that is not a question at all.
#
#   bash scripts/batch-questions.sh > build/questions.txt
#   hyperfine --warmup 2 'build/default/cli/brindaq-cli - < build/questions.txt > /dev/null'
set -euo pipefail
awk -v count="${1:-100000}" '
  # A whole number from 1 to n: the minimal standard generator, exact in any awk.
  function draw(n) {
    seed = (seed * 16807) % 2147483647
    return 1 + int(seed / 2147483647 * n)
  }
  BEGIN {
    seed = 20261208
    for (i = 0; i < count; ++i) {
      if (i % 100 == 99) { print "factorise " draw(1000); continue }
      if (i % 20 == 19) { print "next-prime " 100000000 + draw(1000); continue }
      a = draw(1000000)
      k = i % 15
      if (k == 0) print "primes " a " " a + draw(1000)
      else if (k == 1) print "twin-primes " a " " a + draw(1000)
      else if (k == 2) print "prime-count " a " " a + draw(10000)
      else if (k == 3) print "next-prime " a
      else if (k == 4) print "two-squares " a
      else if (k == 5) print "goldbach " 2 * draw(5000)
      else if (k == 6) print "collatz " a
      else if (k == 7) print "factors " a
      else if (k == 8) print "is-prime " a
      else if (k == 9) print "power-mod " draw(10000) " " draw(10000) " " draw(100000)
      else if (k == 10) print "fibonacci " draw(73)
      else if (k == 11) print "linear-congruence " draw(1000) " " draw(1000) " " draw(10000)
      else if (k == 12) print "quadratic-congruence " draw(1000) " " draw(1000) " " draw(1000)
      else if (k == 13) print "inverse " draw(10000) " " draw(100000)
      else print "divisors " a
    }
  }'
