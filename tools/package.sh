#!/usr/bin/env bash
# Builds the Debian package (build/vaskel_VERSION_ARCH.deb: both programs,
# the catalogue, icons, desktop entry, MIME type, udev rule, the manual and
# its help, the man pages and the completion) and tests it: unpacked into an
# empty folder, both programs run from there, lintian reports no error.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
vaskel_install_deps
vaskel_install_deps "${VASKEL_PACKAGE_PACKAGES[@]}"
vaskel_build
cmake --build "$VASKEL_BUILD" --target package
cd "$VASKEL_BUILD"
ctest -L package --output-on-failure
