#!/usr/bin/env bash
# Builds one fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz (below the one build folder) and
# runs it for SECONDS. Findings land in build/fuzz/findings/TARGET/; the
# corpus the fuzzer grows is kept in build/fuzz/corpus/TARGET/ for the next
# run. Seeds are made afresh each run from the shipped data, a short virtual
# Tavrin recording and fuzz/seeds/. Not part of ./test.sh.
#
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
#   tools/fuzz.sh list
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TARGETS=(decoder tablefile catalogue classify_shipped classify_catalogue textconventions lists firmware paradox
  compose catalogue_check settings)
usage() {
  echo "usage: tools/fuzz.sh TARGET SECONDS [libFuzzer options...]" >&2
  echo "targets: ${TARGETS[*]}" >&2
  exit 2
}
[ "${1:-}" = list ] && { printf '%s\n' "${TARGETS[@]}"; exit 0; }
[ $# -ge 2 ] || usage
TARGET="$1"
SECONDS_TO_RUN="$2"
shift 2
[[ " ${TARGETS[*]} " == *" $TARGET "* ]] || usage
[[ "$SECONDS_TO_RUN" =~ ^[0-9]+$ ]] || usage

vaskel_install_deps
# libFuzzer comes with clang; installed here only, never by ./test.sh
if ! command -v clang++ >/dev/null; then
  vaskel_install_deps "${VASKEL_FUZZ_PACKAGES[@]}"
fi

FUZZ_BUILD="$VASKEL_BUILD/fuzz"
if [ ! -f "$FUZZ_BUILD/build.ninja" ]; then
  cmake -S "$VASKEL_ROOT" -B "$FUZZ_BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DVASKEL_FUZZ=ON -DVASKEL_SANITIZE=address,undefined \
    -DVASKEL_BUILD_TESTS=OFF -DVASKEL_BUILD_BENCH=OFF
fi
# the seeds of the table reader are written by pxlib's writer, the others'
# come from vaskel-cli; a table holds a header and blocks of up to 32 KiB
SEED_MAKER=vaskel-cli
MAX_LEN=4096
if [ "$TARGET" = paradox ]; then
  SEED_MAKER=make_v1_tables
  MAX_LEN=40000
fi
cmake --build "$FUZZ_BUILD" -j "$(nproc 2>/dev/null || echo 2)" --target "fuzz_$TARGET" "$SEED_MAKER"

# Seeds, each a small file: made from the fixtures at every run.
SEEDS="$FUZZ_BUILD/seeds/$TARGET"
rm -rf "$SEEDS"
mkdir -p "$SEEDS"
DATA="$VASKEL_ROOT/data"
CLI="$FUZZ_BUILD/vaskel-cli"
export ASAN_OPTIONS="detect_leaks=0" # the seed makers only
STREAM="$FUZZ_BUILD/seeds/stream.bin"
[ "$SEED_MAKER" = vaskel-cli ] &&
  "$CLI" emulate --seconds 3 --seed 7 --fault-rate 0.2 --with-status >"$STREAM"
examples() { # the example telegrams of the catalogue, one per line
  awk -F';' '!/^\/\// && NF >= 8 { gsub(/"/, "", $3); if ($3 != "") print $3 }' "$DATA/IBIS.CSV"
}
case "$TARGET" in
paradox)
  # the sample tables of each layout, and each cut short
  "$FUZZ_BUILD/fuzz/make_v1_tables" "$SEEDS"
  for f in "$SEEDS"/*.DB; do head -c 3000 "$f" >"$f.cut"; done
  ;;
decoder)
  # mode byte (bit 7: master mode, bits 0-6: chunk size - 1), then the stream
  for mode in 0x00 0x3f 0x80 0xff; do
    for part in 0 1 2; do
      { printf "\\x${mode#0x}"; dd if="$STREAM" bs=1024 skip="$part" count=1 status=none; } \
        >"$SEEDS/stream-$mode-$part"
    done
  done
  ;;
tablefile)
  "$CLI" record --start-time 08:00:00,000 --date 01.02.2026 "$STREAM" "$SEEDS/p.PRO.CSV" 2>/dev/null
  # first byte: bit 0 comma form, bit 1 header, bits 2-4 columns - 4
  { printf '\x18'; head -c 2048 "$SEEDS/p.PRO.CSV"; } >"$SEEDS/protocol"
  rm "$SEEDS/p.PRO.CSV"
  for f in "$VASKEL_ROOT"/fuzz/seeds/lists/*; do
    case "$f" in *comma*) b='\x03' ;; *) b='\x02' ;; esac
    { printf "$b"; cat "$f"; } >"$SEEDS/$(basename "$f")"
  done
  ;;
catalogue)
  cp "$DATA/IBIS.CSV" "$DATA/IBIS_Frame.CSV" "$VASKEL_ROOT"/fuzz/seeds/catalogue/* "$SEEDS/"
  split -l 6 "$DATA/IBIS.CSV" "$SEEDS/part-"
  ;;
classify_shipped)
  n=0
  while IFS= read -r t; do
    n=$((n + 1))
    printf '%s' "$t" >"$SEEDS/t$n"
    printf '%s\r/' "$t" >"$SEEDS/t$n-cr"
  done < <(examples)
  ;;
classify_catalogue)
  # catalogue lines, "#!", then telegrams
  split -l 4 "$DATA/IBIS.CSV" "$SEEDS/part-"
  for f in "$SEEDS"/part-*; do
    { cat "$f"; printf '\n#!'; awk -F';' 'NF >= 8 { gsub(/"/, "", $3); print $3 }' "$f"; } >"$f.in"
    rm "$f"
  done
  ;;
textconventions)
  cp "$VASKEL_ROOT"/fuzz/seeds/textconventions/* "$SEEDS/"
  n=0
  while IFS= read -r t; do
    n=$((n + 1))
    printf '%s' "$t" >"$SEEDS/t$n"
  done < <(examples | head -n 12)
  ;;
lists)
  cp "$VASKEL_ROOT"/fuzz/seeds/lists/* "$SEEDS/"
  ;;
firmware | compose | settings)
  cp "$VASKEL_ROOT/fuzz/seeds/$TARGET"/* "$SEEDS/"
  ;;
catalogue_check)
  cp "$DATA/IBIS.CSV" "$VASKEL_ROOT"/fuzz/seeds/catalogue/* "$SEEDS/"
  split -l 6 "$DATA/IBIS.CSV" "$SEEDS/part-"
  ;;
esac
# what the short runs of .ci/run (tools/fuzz-ci.sh) start from
[ -d "$VASKEL_ROOT/fuzz/corpus/$TARGET" ] && cp "$VASKEL_ROOT/fuzz/corpus/$TARGET"/* "$SEEDS/"
unset ASAN_OPTIONS

CORPUS="$FUZZ_BUILD/corpus/$TARGET"
FINDINGS="$FUZZ_BUILD/findings/$TARGET"
mkdir -p "$CORPUS" "$FINDINGS"
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export VASKEL_FUZZ_CATALOGUE="$DATA/IBIS.CSV"
# the file readers' scratch files, in memory where there is a place for them
[ -w /dev/shm ] && export TMPDIR=/dev/shm
cd "$FINDINGS"
# an input that takes more than 20 s is a finding too (a hang)
exec "$FUZZ_BUILD/fuzz/fuzz_$TARGET" -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 \
  -artifact_prefix="$FINDINGS/" -max_len="$MAX_LEN" -timeout=20 "$@" "$CORPUS" "$SEEDS"
