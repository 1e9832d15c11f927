#!/usr/bin/env bash
# Builds Vaskel and starts it: on the Tavrin when one is plugged in,
# otherwise on the built-in virtual Tavrin. Arguments go to vaskel
# (for example --virtual-device=idle, or files to open).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/common.sh"
vaskel_install_deps
vaskel_build >/dev/null

tavrin_plugged() {
  local d
  for d in /sys/bus/usb/devices/*; do
    [ -f "$d/idVendor" ] || continue
    if [ "$(cat "$d/idVendor")" = "3a7c" ] && [ "$(cat "$d/idProduct")" = "0006" ]; then
      return 0
    fi
  done
  return 1
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Vaskel is a desktop program and needs a display (X11 or Wayland)." >&2
  echo "Without one, try: xvfb-run ./run.sh   or the headless companion build/vaskel-cli." >&2
  exit 1
fi

args=("$@")
if [ ${#args[@]} -eq 0 ] || [[ ! " ${args[*]} " =~ " --virtual-device" ]]; then
  if ! tavrin_plugged; then
    echo "No Tavrin on USB: starting on the virtual Tavrin (a simulated vehicle bus)."
    args=(--virtual-device "${args[@]}")
  fi
fi
exec "$VASKEL_BUILD/vaskel" "${args[@]}"
