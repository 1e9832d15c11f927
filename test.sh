#!/usr/bin/env bash
# Builds Vaskel and runs every test headless; exits non-zero on any failure.
#
#   ./test.sh                                      the one build folder
#   VASKEL_SANITIZE=address,undefined ./test.sh    the suite under ASan,
#       UBSan and LeakSanitizer, built in a folder of its own below it
#       (build/asan; by clang when it is there, with the fuzz targets that
#       tools/fuzz-ci.sh runs); any finding fails its test.
#       VASKEL_SANITIZE=thread: ThreadSanitizer (build/tsan).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/common.sh"
vaskel_install_deps
# the sanitized suite is built by clang, with the fuzz targets beside it
[ -n "${VASKEL_SANITIZE:-}" ] && vaskel_install_deps "${VASKEL_FUZZ_PACKAGES[@]}"
if [ -n "${VASKEL_SANITIZE:-}" ]; then
  vaskel_build_sanitized "$VASKEL_SANITIZE"
  cd "$VASKEL_SANITIZE_BUILD"
else
  vaskel_build
  cd "$VASKEL_BUILD"
fi
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"
