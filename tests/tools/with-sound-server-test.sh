#!/usr/bin/env bash
# The sound server wrapper's status as ctest reads it, on a machine where the
# server cannot start (a stand-in pulseaudio that ends at once): a program that
# passed counts as skipped (77), one that failed stays failed, and in CI the
# missing server is itself a failure.
set -uo pipefail
wrapper="$(cd "$(dirname "$0")/../support" && pwd)/with-sound-server.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/sound-wrapper.XXXXXX")
trap 'rm -rf "$work"' EXIT
problems=0
printf '#!/bin/sh\nexit 1\n' > "$work/pulseaudio"
chmod +x "$work/pulseaudio"

expect() {   # expect <status> <CI> <command...>
  local want=$1 ci=$2
  shift 2
  PATH="$work:$PATH" CI="$ci" bash "$wrapper" "$@" >/dev/null 2>&1
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "not as expected: CI='$ci' $* gave $got, wanted $want"; problems=$((problems + 1))
  fi
}
expect 77 "" true
expect 1 "" false
expect 3 "" sh -c 'exit 3'
expect 1 true true
[ $problems -eq 0 ] && echo "with-sound-server: all cases as expected"
exit $problems
