#!/usr/bin/env bash
# Builds Vaskel and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/common.sh"
vaskel_install_deps
vaskel_build >/dev/null
# The desktop program comes later; until then show the command-line
# companion at work on a few telegrams from the vehicle bus.
cli="$VASKEL_BUILD/vaskel-cli"
if [ $# -gt 0 ]; then
  exec "$cli" "$@"
fi
examples=(l001 z034 "zA2Hauptbahnhof    Messe/Stadthalle" a1 "aA12Marktplatz      Rathaus/Museum 3" l0012)
echo "\$ vaskel-cli classify ${examples[*]}"
"$cli" classify "${examples[@]}"
echo '$ vaskel-cli classify --slave a10'
"$cli" classify --slave a10
echo '$ vaskel-cli checkbyte l001'
"$cli" checkbyte l001
echo '$ vaskel-cli emulate --seconds 5 | vaskel-cli decode -   (the virtual Tavrin on a vehicle bus)'
"$cli" emulate --seconds 5 | "$cli" decode -
