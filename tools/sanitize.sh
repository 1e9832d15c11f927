#!/usr/bin/env bash
# Builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer in
# build/asan (below the one build folder) and runs it headless; exits
# non-zero on any failure or sanitizer finding. Run after ./test.sh.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
vaskel_install_deps
ASAN_BUILD="$VASKEL_BUILD/asan"
if [ ! -f "$ASAN_BUILD/build.ninja" ]; then
  cmake -S "$VASKEL_ROOT" -B "$ASAN_BUILD" -G Ninja -DVASKEL_SANITIZE=ON -DVASKEL_BUILD_BENCH=OFF
fi
cmake --build "$ASAN_BUILD" -j "$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen
# Qt's plugins keep what they allocate until the process ends: leaks are not
# looked for, every other finding fails the test.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$ASAN_BUILD"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"
