# Shared by run.sh and test.sh: install what is missing, then configure and
# build the one build folder. Sourced, not run.

VASKEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VASKEL_BUILD="${VASKEL_BUILD:-$VASKEL_ROOT/build}"

VASKEL_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev libqt6svg6 qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libusb-dev
)
# tools/fuzz.sh only, installed when it runs: clang with libFuzzer
VASKEL_FUZZ_PACKAGES=(clang)

vaskel_install_deps() {
  local missing=()
  local p
  for p in "${VASKEL_PACKAGES[@]}"; do
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

vaskel_build() {
  if [ ! -f "$VASKEL_BUILD/build.ninja" ]; then
    cmake -S "$VASKEL_ROOT" -B "$VASKEL_BUILD" -G Ninja "$@"
  fi
  cmake --build "$VASKEL_BUILD" -j "$(nproc 2>/dev/null || echo 2)"
}
