# Shared by run.sh, test.sh and tools/fuzz.sh: install what is missing,
# then configure and build the one build folder (or a sanitized or fuzzing
# folder below it). Sourced, not run.

VASKEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VASKEL_BUILD="${VASKEL_BUILD:-$VASKEL_ROOT/build}"
# ccache takes paths below the source root as relative ones, so a clone or
# worktree at any path shares the cache with every other one
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$VASKEL_ROOT}"

VASKEL_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev libqt6svg6 qt6-svg-dev qt6-charts-dev libqt6opengl6-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libqt6help6 qt6-documentation-tools libqt6sql6-sqlite groff-base
  libgtest-dev libgmock-dev libbenchmark-dev
  libusb-dev pxlib-dev
  fonts-liberation2
)
# The Debian package (tools/package.sh): dpkg-shlibdeps finds its library
# dependencies, lintian checks it; groff renders the man pages' test
VASKEL_PACKAGE_PACKAGES=(dpkg-dev file lintian groff-base)
# clang with libFuzzer: the sanitized build of ./test.sh uses it when it is
# there (and then builds the fuzz targets too); the sanitized ./test.sh and
# tools/fuzz.sh install it
VASKEL_FUZZ_PACKAGES=(clang libclang-rt-dev)

# Installs what is missing of the packages named (default: VASKEL_PACKAGES).
vaskel_install_deps() {
  local missing=()
  local p
  local wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${VASKEL_PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The suite built with the sanitizers named as the compiler spells them
# ("address,undefined", "thread"), in a folder of its own below the build
# folder (build/asan, build/tsan, build/san-<names>), without the
# benchmarks. With clang there, the address-and-undefined folder is built by
# clang and holds the fuzz targets as well (build/asan/fuzz, run by
# tools/fuzz-ci.sh): one sanitized build for both. Sets
# VASKEL_SANITIZE_BUILD and the sanitizers' run options: any finding,
# a leak included, fails the test that made it.
vaskel_build_sanitized() {
  local names="$1" folder
  local extra=()
  case "$names" in
  address,undefined | undefined,address) folder=asan ;;
  thread) folder=tsan ;;
  *) folder="san-${names//,/-}" ;;
  esac
  if [ "$folder" = asan ] && command -v clang++ >/dev/null; then
    extra=(-DCMAKE_CXX_COMPILER=clang++ -DVASKEL_FUZZ=ON)
  fi
  VASKEL_SANITIZE_BUILD="$VASKEL_BUILD/$folder"
  if [ ! -f "$VASKEL_SANITIZE_BUILD/build.ninja" ]; then
    cmake -S "$VASKEL_ROOT" -B "$VASKEL_SANITIZE_BUILD" -G Ninja \
      -DVASKEL_SANITIZE="$names" -DVASKEL_BUILD_BENCH=OFF "${extra[@]}"
  fi
  cmake --build "$VASKEL_SANITIZE_BUILD" -j "$(nproc 2>/dev/null || echo 2)"
  vaskel_sanitizer_options
}

# The sanitizers' run options. Leaks are looked for everywhere; the only
# ones passed over are Qt's and its plugins' own (tools/lsan.supp).
vaskel_sanitizer_options() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$VASKEL_ROOT/tools/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
}

vaskel_build() {
  if [ ! -f "$VASKEL_BUILD/build.ninja" ]; then
    cmake -S "$VASKEL_ROOT" -B "$VASKEL_BUILD" -G Ninja "$@"
  fi
  cmake --build "$VASKEL_BUILD" -j "$(nproc 2>/dev/null || echo 2)"
}
