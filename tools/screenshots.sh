#!/usr/bin/env bash
# Takes the user manual's screenshots from the program itself on the virtual
# Tavrin, in German and in English, offscreen (no display needed), and
# writes them to docs/manual/de/images and docs/manual/en/images, where the
# manual's pages point. docs/manual/screenshots.txt lists what each shows.
#
#   tools/screenshots.sh            both languages
#   tools/screenshots.sh en         one
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
vaskel_install_deps
if [ ! -f "$VASKEL_BUILD/build.ninja" ]; then
  cmake -S "$VASKEL_ROOT" -B "$VASKEL_BUILD" -G Ninja
fi
cmake --build "$VASKEL_BUILD" --target vaskel-screenshots

languages=("$@")
[ ${#languages[@]} -eq 0 ] && languages=(de en)

# a home of its own: no settings, data folder or safety copy of the user's
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT

for lang in "${languages[@]}"; do
  out="$VASKEL_ROOT/docs/manual/$lang/images"
  mkdir -p "$out"
  echo "Screenshots ($lang) -> $out"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" QT_QPA_PLATFORM=offscreen \
    "$VASKEL_BUILD/vaskel-screenshots" "$lang" "$VASKEL_ROOT/data" "$out" >/dev/null
  # small files: optipng where it is installed, else ImageMagick's
  # strongest PNG compression without the metadata
  for f in "$out"/*.png; do
    if command -v optipng >/dev/null; then
      optipng -quiet -o2 -strip all "$f"
    elif command -v convert >/dev/null; then
      convert "$f" -strip -define png:compression-level=9 -define png:compression-filter=5 "$f"
    fi
  done
done
du -ch "$VASKEL_ROOT"/docs/manual/*/images/*.png | tail -1
