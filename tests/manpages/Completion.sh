#!/usr/bin/env bash
# The bash completion of vaskel-cli as bash runs it: every command its
# --help names, a command's options, the sub-commands of firmware.
#   Completion.sh BUILD_FOLDER
set -u
build="$1"
source "$build/man/vaskel-cli.bash"
failed=0
complete_words() { # the words offered for the command line "$@"
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _vaskel_cli
  echo "${COMPREPLY[*]}"
}
expect() { # what, got, wanted word
  if [[ " $2 " != *" $3 "* ]]; then
    echo "FAIL: $1: '$3' not offered (got: $2)"
    failed=1
  fi
}
all="$(complete_words vaskel-cli '')"
for c in $("$build/vaskel-cli" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR>1 && NF {print $1}'); do
  expect "commands" "$all" "$c"
done
expect "commands" "$(complete_words vaskel-cli cl)" classify
expect "classify options" "$(complete_words vaskel-cli classify --t)" --train-bus
expect "classify options" "$(complete_words vaskel-cli classify --c)" --catalogue
expect "firmware" "$(complete_words vaskel-cli firmware '')" check
expect "firmware" "$(complete_words vaskel-cli firmware '')" upload
expect "firmware upload options" "$(complete_words vaskel-cli firmware upload --v)" --virtual-device
[ "$failed" -eq 0 ] && echo "completion: 1 passed, 0 failed"
exit "$failed"
