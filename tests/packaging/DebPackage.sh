#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked (dpkg -x) into an empty
# folder, both programs answer --version from there and find what they
# ship, and lintian reports no error.
#   DebPackage.sh BUILD_FOLDER VERSION
# Runs only on a package made after the programs were last built
# (cmake --build build --target package; ctest -L package); otherwise it
# is skipped (exit 77), so the normal test run does not wait for it.
set -u
build="$1"
version="$2"
deb="$build/vaskel_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
  echo "no package: cmake --build build --target package first (skipped)"
  exit 77
fi
if [ "$build/vaskel" -nt "$deb" ] || [ "$build/vaskel-cli" -nt "$deb" ]; then
  echo "the package is older than the programs: cmake --build build --target package (skipped)"
  exit 77
fi
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}
dpkg -x "$deb" "$root" || fail "dpkg -x $deb"
out="$("$root/usr/bin/vaskel-cli" --version 2>&1)" || fail "vaskel-cli --version: $out"
[ "$out" = "vaskel-cli $version" ] || fail "vaskel-cli --version says: $out"
# without a display, as a packaged program is often checked
out="$(DISPLAY= QT_QPA_PLATFORM=xcb "$root/usr/bin/vaskel" --version 2>&1)" || fail "vaskel --version: $out"
[ "$out" = "vaskel $version" ] || fail "vaskel --version says: $out"
for f in usr/share/vaskel/IBIS.CSV usr/share/vaskel/IBIS_Frame.CSV \
  usr/share/vaskel/help/vaskel-de.qhc usr/share/vaskel/help/vaskel-de.qch \
  usr/share/vaskel/help/vaskel-en.qhc usr/share/vaskel/help/vaskel-en.qch \
  usr/share/doc/vaskel/manual/de/index.md usr/share/doc/vaskel/manual/en/index.md \
  usr/share/man/man1/vaskel.1.gz usr/share/man/man1/vaskel-cli.1.gz \
  usr/share/bash-completion/completions/vaskel-cli usr/share/applications/vaskel.desktop \
  usr/share/mime/packages/vaskel.xml usr/share/icons/hicolor/scalable/apps/vaskel.svg \
  usr/lib/udev/rules.d/60-vaskel-tavrin.rules usr/share/doc/vaskel/copyright; do
  [ -s "$root/$f" ] || fail "$f is not in the package"
done
# the help opens from the installed place: the program looks beside itself
[ -f "$root/usr/bin/../share/vaskel/help/vaskel-de.qhc" ] || fail "help not at ../share/vaskel/help"
# its dependencies are declared
depends="$(dpkg-deb -f "$deb" Depends)"
for d in libqt6widgets6 libqt6help6 libqt6sql6-sqlite libusb-0.1-4 pxlib1; do
  [[ "$depends" == *"$d"* ]] || fail "Depends lacks $d: $depends"
done
if command -v lintian >/dev/null; then
  report="$(lintian --tag-display-limit 0 "$deb" 2>&1)"
  echo "$report"
  if grep -q '^E:' <<<"$report"; then fail "lintian reports errors"; fi
else
  echo "lintian is not installed: not checked (apt-get install lintian)"
fi
[ "$failed" -eq 0 ] && echo "package: 1 passed, 0 failed"
exit "$failed"
