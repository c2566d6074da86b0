#!/usr/bin/env bash
# Stops the scheduler that cups-start.sh DIR started, by the process id it
# recorded, and removes what it made in DIR. Does nothing when DIR holds no scheduler.
set -euo pipefail

dir=${1:?usage: cups-stop.sh DIR}
[ -d "$dir" ] || exit 0
if [ "$(id -u)" -ne 0 ]; then
    exec sudo -n -- "$0" "$@"
fi
pidfile="$dir/cupsd.pid"
if [ -f "$pidfile" ]; then
    pid=$(cat "$pidfile")
    # Only the daemon that was started there: a reused process id is left alone.
    if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "cupsd" ]; then
        kill -TERM "$pid" 2>/dev/null || true
        deadline=$((SECONDS + 15))
        while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
        if kill -0 "$pid" 2>/dev/null; then
            echo "cups-stop: cupsd $pid did not stop within 15 s; killing it" >&2
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$pidfile"
fi
# Only what cups-start.sh made there.
rm -rf -- "$dir/etc" "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/cups.sock"
rmdir -- "$dir" 2>/dev/null || true
