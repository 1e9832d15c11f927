#!/usr/bin/env bash
# The engine, vaskel-cli.exe and the engine tests, cross-built for 64-bit
# Windows with Debian's MinGW-w64 and linked statically (each .exe runs
# alone). The desktop program needs Qt for Windows and is not built here
# (README, "Windows").
#
#   tools/windows-build.sh          install what is missing, build in
#                                   build/windows
#   tools/windows-build.sh --test   then, under Wine: the engine tests, and
#                                   vaskel-cli's classify, emulate | decode,
#                                   record and reanalyse, whose output must
#                                   equal the Linux build's byte for byte;
#                                   vaskel-cli usb without libusb0.dll and
#                                   beside a stand-in of it
#
# Not part of ./test.sh: the Linux build does not need any of this.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

run_tests=false
for a in "$@"; do
  case "$a" in
  --test) run_tests=true ;;
  -h | --help)
    sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
  *)
    echo "windows-build.sh: unknown argument $a" >&2
    exit 2
    ;;
  esac
done

WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 wine googletest)
WINDOWS_BUILD="$VASKEL_BUILD/windows"
JOBS="${VASKEL_JOBS:-$(nproc 2>/dev/null || echo 2)}"

vaskel_install_deps
vaskel_install_deps "${WINDOWS_PACKAGES[@]}"

started=$(date +%s)
if [ ! -f "$WINDOWS_BUILD/build.ninja" ]; then
  cmake -S "$VASKEL_ROOT" -B "$WINDOWS_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$VASKEL_ROOT/tools/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DVASKEL_WITH_QT=OFF -DVASKEL_BUILD_BENCH=OFF \
    -DVASKEL_GTEST_SOURCE_DIR=/usr/src/googletest
fi
cmake --build "$WINDOWS_BUILD" -j "$JOBS" --target vaskel-cli vaskel_tests fake_libusb0
echo "Windows build: $(($(date +%s) - started)) s ($WINDOWS_BUILD/vaskel-cli.exe," \
  "$WINDOWS_BUILD/tests/vaskel_tests.exe)"

$run_tests || exit 0

# The Linux twin whose output is the reference: only vaskel-cli.
if [ ! -f "$VASKEL_BUILD/build.ninja" ]; then
  cmake -S "$VASKEL_ROOT" -B "$VASKEL_BUILD" -G Ninja
fi
cmake --build "$VASKEL_BUILD" -j "$JOBS" --target vaskel-cli

# A Wine of its own below the build folder, quiet, without the Mono and
# Gecko installers.
export WINEPREFIX="$WINDOWS_BUILD/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
WINE="$(command -v wine64 || command -v wine)"
[ -x /usr/lib/wine/wine64 ] && WINE=/usr/lib/wine/wine64
"$WINE" cmd /c exit >/dev/null 2>&1 || true # first start: the prefix is made
echo "Wine: $("$WINE" --version 2>/dev/null)"

failed=0
started=$(date +%s)
echo "== engine tests under Wine"
if (cd "$WINDOWS_BUILD/tests" && "$WINE" ./vaskel_tests.exe --gtest_brief=1) \
  >"$WINDOWS_BUILD/engine-tests.log" 2>&1; then
  grep -E "^\[  PASSED  \]" "$WINDOWS_BUILD/engine-tests.log" || true
else
  failed=1
  grep -E "^\[  (FAILED|PASSED)  \]|Failure|error" "$WINDOWS_BUILD/engine-tests.log" | head -40
  echo "engine tests FAILED under Wine (log: $WINDOWS_BUILD/engine-tests.log)"
fi
echo "engine tests: $(($(date +%s) - started)) s"

# The same commands on both builds, in folders of their own, then compared
# byte for byte: standard output, standard error, exit status and the files
# written.
compare="$WINDOWS_BUILD/compare"
rm -rf "$compare"
mkdir -p "$compare/linux" "$compare/windows"
cp "$VASKEL_ROOT/data/IBIS.CSV" "$compare/IBIS.CSV"

cli_linux() { "$VASKEL_BUILD/vaskel-cli" "$@"; }
cli_windows() { "$WINE" "$WINDOWS_BUILD/vaskel-cli.exe" "$@"; }

# run NAME SIDE ARGS...: in $compare/SIDE, output to NAME.out, NAME.err, NAME.rc
run() {
  local name="$1" side="$2"
  shift 2
  local rc=0
  (cd "$compare/$side" && "cli_$side" "$@" >"$name.out" 2>"$name.err") || rc=$?
  echo "$rc" >"$compare/$side/$name.rc"
}
# like run, with standard input from a file of that side's folder
run_in() {
  local name="$1" side="$2" input="$3"
  shift 3
  local rc=0
  (cd "$compare/$side" && "cli_$side" "$@" <"$input" >"$name.out" 2>"$name.err") || rc=$?
  echo "$rc" >"$compare/$side/$name.rc"
}

for side in linux windows; do
  run help "$side" --help
  run classify "$side" classify --catalogue ../IBIS.CSV l001 'zA3Linie 12<CR>' z042 xZ1
  run classify-slave "$side" classify --slave --catalogue ../IBIS.CSV 'a1'
  # umlauts on the command line: UTF-8 on Linux, the wide command line on Windows
  run classify-umlauts "$side" classify --catalogue ../IBIS.CSV 'zA3Müllerstraße<CR>' 'v1Ä'
  run classify-missing "$side" classify --catalogue missing/IBIS.CSV l001
  run emulate "$side" emulate --seconds 20 --seed 7 --with-status
done
# the Linux stream goes into both decoders, so they see the same bytes
for side in linux windows; do
  cp "$compare/linux/emulate.out" "$compare/$side/stream.bin"
  run decode "$side" decode stream.bin
  run_in decode-stdin "$side" stream.bin decode --chunk 7 -
  run record "$side" record --catalogue ../IBIS.CSV --start-time 08:15:00,000 --date 11.12.2026 \
    stream.bin recorded.PRO.CSV
  run reanalyse "$side" reanalyse --catalogue ../IBIS.CSV recorded.PRO.CSV again.PRO.CSV
  run reanalyse-missing "$side" reanalyse --catalogue ../IBIS.CSV missing.PRO.CSV out.PRO.CSV
done

echo "== vaskel-cli under Wine against Linux"
for f in "$compare/linux"/*; do
  name="$(basename "$f")"
  if cmp -s "$f" "$compare/windows/$name"; then
    echo "same       $name ($(wc -c <"$f") bytes)"
  else
    failed=1
    echo "DIFFERENT  $name"
    diff <(od -An -c "$f") <(od -An -c "$compare/windows/$name" 2>/dev/null) | head -10 || true
  fi
done
for f in "$compare/windows"/*; do
  [ -e "$compare/linux/$(basename "$f")" ] || {
    failed=1
    echo "ONLY WINDOWS $(basename "$f")"
  }
done

# libusb0.dll, loaded at run time: missing (no driver installed), then a
# stand-in beside the program with one Tavrin on its bus
echo "== vaskel-cli usb under Wine"
usb="$WINDOWS_BUILD/usb-check"
rm -rf "$usb"
mkdir -p "$usb"
rc=0
"$WINE" "$WINDOWS_BUILD/vaskel-cli.exe" usb >"$usb/none.out" 2>"$usb/none.err" || rc=$?
if [ "$rc" -eq 1 ] && grep -q "libusb0.dll not found" "$usb/none.err"; then
  echo "without libusb0.dll: $(cat "$usb/none.err")"
else
  failed=1
  echo "DIFFERENT  usb without libusb0.dll: exit $rc, $(cat "$usb/none.err")"
fi
cp "$WINDOWS_BUILD/vaskel-cli.exe" "$WINDOWS_BUILD/tests/fake-libusb0/libusb0.dll" "$usb/"
expected='{"Path":"bus-0/\\\\.\\libusb0-0001--0x3a7c-0x0006","DeviceNumber":1,"Vendor":"3a7c","Product":"0006","Endpoints":[{"Address":"01","Type":"interrupt","MaxPacketSize":64},{"Address":"81","Type":"interrupt","MaxPacketSize":8},{"Address":"02","Type":"bulk","MaxPacketSize":64},{"Address":"82","Type":"bulk","MaxPacketSize":64}]}'
rc=0
(cd "$usb" && "$WINE" ./vaskel-cli.exe usb >found.out 2>found.err) || rc=$?
if [ "$rc" -eq 0 ] && [ "$(cat "$usb/found.out")" = "$expected" ]; then
  echo "with a stand-in libusb0.dll: $(cat "$usb/found.out")"
else
  failed=1
  echo "DIFFERENT  usb with a stand-in libusb0.dll: exit $rc"
  cat "$usb/found.out" "$usb/found.err"
fi

if [ "$failed" -ne 0 ]; then
  echo "windows-build.sh --test: FAILED"
  exit 1
fi
echo "windows-build.sh --test: engine tests passed under Wine, vaskel-cli output identical to Linux"
