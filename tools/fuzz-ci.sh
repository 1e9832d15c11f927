#!/usr/bin/env bash
# Runs every fuzz target a short while (SECONDS each, default 20) from its
# committed corpus in fuzz/corpus/TARGET, as many at once as there are
# cores; fails on any finding (a crash, a sanitizer report, a leak, a hang
# past 10 s). The targets come from the sanitized build of ./test.sh
# (VASKEL_SANITIZE=address,undefined ./test.sh builds them when clang is
# there); what the runs add to a corpus stays in build/asan/fuzz-ci/, the
# committed corpora do not change. Findings land in
# build/asan/fuzz-ci/findings/TARGET/. tools/fuzz.sh is for long runs.
#
#   tools/fuzz-ci.sh [SECONDS]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

SECONDS_EACH="${1:-20}"
[[ "$SECONDS_EACH" =~ ^[0-9]+$ ]] || { echo "usage: tools/fuzz-ci.sh [SECONDS]" >&2; exit 2; }
FUZZ_BIN="$VASKEL_BUILD/asan/fuzz"
WORK="$VASKEL_BUILD/asan/fuzz-ci"
CORPORA="$VASKEL_ROOT/fuzz/corpus"

mapfile -t TARGETS < <(ls "$CORPORA")
missing=()
for t in "${TARGETS[@]}"; do
  [ -x "$FUZZ_BIN/fuzz_$t" ] || missing+=("$t")
done
if [ ${#missing[@]} -gt 0 ] || [ ${#TARGETS[@]} -eq 0 ]; then
  echo "fuzz-ci: no fuzz target built for: ${missing[*]:-every corpus}" >&2
  echo "fuzz-ci: build them with clang: VASKEL_SANITIZE=address,undefined ./test.sh" >&2
  echo "fuzz-ci: (a build/asan made by another compiler is kept: remove it first)" >&2
  exit 1
fi

rm -rf "$WORK"
mkdir -p "$WORK"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export VASKEL_FUZZ_CATALOGUE="$VASKEL_ROOT/data/IBIS.CSV"
# the file readers' scratch files, in memory where there is a place for them
[ -w /dev/shm ] && export TMPDIR=/dev/shm

run_one() {
  local t="$1" max_len=4096
  [ "$t" = paradox ] && max_len=40000
  mkdir -p "$WORK/corpus/$t" "$WORK/findings/$t"
  # the new inputs go to the first folder: the committed corpus is read only
  if (cd "$WORK/findings/$t" && "$FUZZ_BIN/fuzz_$t" -max_total_time="$SECONDS_EACH" \
    -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$WORK/findings/$t/" "$WORK/corpus/$t" "$CORPORA/$t") \
    >"$WORK/$t.log" 2>&1; then
    echo "fuzz-ci: $t: $(grep -ho 'stat::number_of_executed_units: *[0-9]*' "$WORK/$t.log" |
      grep -o '[0-9]*$' || echo '?') runs, no finding"
  else
    echo "fuzz-ci: $t: FINDING (log: $WORK/$t.log)"
    tail -n 60 "$WORK/$t.log"
    return 1
  fi
}
export -f run_one
export FUZZ_BIN WORK CORPORA SECONDS_EACH

jobs="$(nproc 2>/dev/null || echo 2)"
if printf '%s\n' "${TARGETS[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}; then
  echo "fuzz-ci: ${#TARGETS[@]} targets, no finding"
else
  echo "fuzz-ci: a target found a fault" >&2
  exit 1
fi
