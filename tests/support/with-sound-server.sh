#!/usr/bin/env bash
# Runs a command against a PulseAudio sound server of its own, for the tests and
# benchmarks of the real sound backend: a null sink is the default sink and its
# monitor the default source, so what is played comes back as what is recorded.
#
# Known units can be put in that loop: LADSPA filter sinks that play into the
# null sink, on the server's default settings. A test makes one of them the
# default sink (pactl set-default-sink) before it opens the card:
#   vexo_lowpass   one-pole low-pass at 1 kHz (ladspa-sdk "lpf")
#   vexo_gain      a gain of 0.5, -6.02 dB (ladspa-sdk "amp_mono")
#   vexo_inverter  an inverter (swh-plugins "inv")
#   vexo_near      a pure delay of 0 ms (ladspa-sdk "delay_5s")
#   vexo_far       the same with 10 ms: a stream moved there from vexo_near
#                  finds its loop 441 samples longer, the server's figures alike
# VEXO_SOUND_UNITS lists the sinks that could be loaded; in CI a missing one is
# a failure. VEXO_SOUND_SERVER_PID is the server's process id.
#
#   tests/support/with-sound-server.sh COMMAND [ARGS...]
#
# The daemon keeps its socket, state and log in a temporary folder (a system or
# user sound server is left alone), the command reaches it through PULSE_SERVER,
# and it is stopped by its process id however the command ends. When no server
# can be started the command still runs, with VEXO_NO_SOUND_SERVER set to the
# reason so that its tests skip, and its status is then 77 when it passed (ctest
# counts that as skipped); in CI (CI=true) that is a failure instead, and so is a
# case that skipped with the server running.
# It installs nothing: the packages pulseaudio, libasound2-plugins, ladspa-sdk
# and swh-plugins must be there (./vexo installs them).
set -uo pipefail

[ $# -ge 1 ] || { echo "usage: with-sound-server.sh COMMAND [ARGS...]" >&2; exit 2; }
dir=$(mktemp -d "${TMPDIR:-/tmp}/vexo-pulse.XXXXXX")
pid=""

stop_server() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null
        local deadline=$((SECONDS + 10))
        while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
        if kill -0 "$pid" 2>/dev/null; then
            echo "with-sound-server: pulseaudio $pid did not stop within 10 s; killing it" >&2
            kill -KILL "$pid" 2>/dev/null
        fi
        wait "$pid" 2>/dev/null
    fi
    pid=""
}
trap 'stop_server; rm -rf -- "$dir"' EXIT

no_server() {
    local reason=$1
    shift
    if [ "${CI:-}" = "true" ]; then
        echo "with-sound-server: $reason" >&2
        [ -f "$dir/pulse.log" ] && tail -20 "$dir/pulse.log" >&2
        exit 1
    fi
    echo "with-sound-server: $reason; the tests that need a sound server skip" >&2
    stop_server
    VEXO_NO_SOUND_SERVER="$reason" "$@"
    local rc=$?
    # Only a program that passed without a server counts as skipped (ctest's
    # SKIP_RETURN_CODE); a failure stays a failure.
    [ $rc -eq 0 ] && exit 77
    exit $rc
}

start_server() {
    command -v pulseaudio >/dev/null || return 1
    mkdir -p "$dir/runtime" "$dir/home" "$dir/state"
    chmod 700 "$dir/runtime"
    cat >"$dir/server.pa" <<EOF
load-module module-native-protocol-unix socket=$dir/native auth-anonymous=1
load-module module-null-sink sink_name=vexo_null
set-default-sink vexo_null
set-default-source vexo_null.monitor
EOF
    local ladspa=${LADSPA_PATH:-/usr/lib/ladspa}
    units=""
    add_unit() {   # sink plugin label [control]
        [ -f "$ladspa/$2.so" ] || return 0
        echo "load-module module-ladspa-sink sink_name=$1 master=vexo_null plugin=$2 label=$3${4:+ control=$4}" >>"$dir/server.pa"
        units="$units $1"
    }
    add_unit vexo_lowpass filter lpf 1000
    add_unit vexo_gain amp amp_mono 0.5
    add_unit vexo_inverter inv_1429 inv
    add_unit vexo_near delay delay_5s 0,1
    add_unit vexo_far delay delay_5s 0.01,1
    # The null sink stays the default: loading a sink may make it the default.
    echo "set-default-sink vexo_null" >>"$dir/server.pa"
    # In the foreground of its own session, so that its process id is the one kept here.
    HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/home/.config" \
        PULSE_STATE_PATH="$dir/state" PULSE_RUNTIME_PATH="$dir/runtime" \
        setsid pulseaudio -n -F "$dir/server.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=no --system=no --log-target=file:"$dir/pulse.log" </dev/null >/dev/null 2>&1 &
    pid=$!
    export PULSE_SERVER="unix:$dir/native"
    local deadline=$((SECONDS + 20))
    until [ -S "$dir/native" ] && timeout 5 pactl info >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || return 2
        [ $SECONDS -lt $deadline ] || return 3
        sleep 0.1
    done
    return 0
}

start_server
case $? in
    0) ;;
    1) no_server "pulseaudio is not installed" "$@" ;;
    2) no_server "pulseaudio ended at start-up" "$@" ;;
    *) no_server "pulseaudio did not answer within 20 s" "$@" ;;
esac

export VEXO_SOUND_UNITS="${units# }"
# For the tests of a stalled server (SIGSTOP and SIGCONT to this process).
export VEXO_SOUND_SERVER_PID="$pid"
if [ "${CI:-}" = "true" ] && [ "$VEXO_SOUND_UNITS" != "vexo_lowpass vexo_gain vexo_inverter vexo_near vexo_far" ]; then
    echo "with-sound-server: the LADSPA units are missing (ladspa-sdk, swh-plugins): '$VEXO_SOUND_UNITS'" >&2
    exit 1
fi

# Not exec: the server is stopped when the command is done. In CI a case that
# skipped with a server running is a failure: nothing of the real path goes untested there.
"$@" 2>&1 | tee "$dir/output.log"
rc=${PIPESTATUS[0]}
if [ $rc -eq 0 ] && [ "${CI:-}" = "true" ] && grep -q '^\[  SKIPPED \]' "$dir/output.log"; then
    echo "with-sound-server: cases skipped in CI:" >&2
    grep '^\[  SKIPPED \]' "$dir/output.log" >&2
    exit 1
fi
exit $rc
