#!/usr/bin/env bash
# Builds Vaskel and runs every test headless; exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/common.sh"
vaskel_install_deps
vaskel_build
export QT_QPA_PLATFORM=offscreen
cd "$VASKEL_BUILD"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"
