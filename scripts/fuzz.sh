#!/usr/bin/env bash
# Builds the fuzz target with clang and fuzzes the operations for a bounded time.
#
#   scripts/fuzz.sh [SECONDS]      fuzz for SECONDS (default 60)
#   BRINDAQ_FUZZ_JOBS=2 scripts/fuzz.sh 600    the same on two cores
#
# The fuzzer starts from a copy of fuzz/corpus and fuzz/regressions in a scratch directory, so
# neither is written to. A finding is left in build/fuzz/artifacts/, and the script then exits
# non-zero; to replay it: build/fuzz/fuzz/brindaq_fuzz build/fuzz/artifacts/<file>. Keep it as a
# regression by copying it into fuzz/regressions/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
jobs="${BRINDAQ_FUZZ_JOBS:-1}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]] || ! [[ "$jobs" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]   (a whole number of seconds; BRINDAQ_FUZZ_JOBS a number of cores)" >&2
  exit 2
fi

bash scripts/install-deps.sh
build="$PWD/build/fuzz"
cmake --preset fuzz
cmake --build --preset fuzz

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/corpus" "$scratch/regressions" "$build/artifacts"
cp -R fuzz/corpus/. "$scratch/corpus/"
cp -R fuzz/regressions/. "$scratch/regressions/"
log="$scratch/fuzz.log"
touch "$scratch/started"

# New inputs go to the first directory only, which is the scratch copy of the corpus.
options=(-max_len=4096 -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds"
         -artifact_prefix="$build/artifacts/" -print_final_stats=1)
if [ "$jobs" -gt 1 ]; then
  # Fork mode would pass over timeouts and running out of memory unless told otherwise.
  options+=(-fork="$jobs" -ignore_timeouts=0 -ignore_ooms=0 -ignore_crashes=0)
fi

echo "Fuzzing for $seconds s on $jobs core(s)..."
status=0
SECONDS=0
(cd "$scratch" && "$build/fuzz/brindaq_fuzz" "${options[@]}" corpus regressions) 2>&1 |
  tee "$log" || status=$?
elapsed=$SECONDS

# In fork mode the parent's status lines ("#N: cov: ...") count the runs of every job; a single
# process states its total at the end.
if [ "$jobs" -gt 1 ]; then
  runs="$(grep -oE '^#[0-9]+: ' "$log" | tail -n 1 | tr -dc '0-9' || true)"
else
  runs="$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | tail -n 1 | grep -oE '[0-9]+$' || true)"
fi
echo
echo "Executions: ${runs:-unknown} in $elapsed s"
if [ "$status" -ne 0 ]; then
  echo "FUZZ FAIL: the fuzzer stopped with status $status; the input is kept in:"
  find "$build/artifacts" -type f -newer "$scratch/started" -print
  exit 1
fi
echo "FUZZ PASS: no findings"
