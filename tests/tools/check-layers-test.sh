#!/usr/bin/env bash
# The layer check on small planted trees: each broken rule fails naming the
# file and line, the allowed reaches and a clean tree pass, long files warn
# and then fail.
set -uo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/tools/check-layers.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/layer-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
problems=0

# A fresh tree holding the files given as "path:content" pairs (content may hold \n).
tree() {
  rm -rf "$work/t" && mkdir -p "$work/t" && git -C "$work/t" init -q
  for entry in "$@"; do
    local path=${entry%%:*}
    mkdir -p "$work/t/$(dirname "$path")"
    printf '%b\n' "${entry#*:}" > "$work/t/$path"
  done
  git -C "$work/t" add -A
}
expect() {   # expect <exit status> <text in the output> <what>
  local out status
  out=$(bash "$check" "$work/t" 2>&1); status=$?
  if [ "$status" -ne "$1" ] || ! grep -qF -- "$2" <<< "$out"; then
    echo "not as expected: $3 (status $status, wanted $1 and \"$2\")"; echo "$out"; problems=$((problems + 1))
  fi
}
lines() { local i; for ((i = 1; i < $1; i++)); do printf 'int a%d;\\n' "$i"; done; printf 'int z;'; }

tree 'platform/ui/Planted.cpp:#include "platform/ui/Form.h"\n#include "station/frmVexo.h"'
expect 1 'FAIL platform/ui/Planted.cpp:2: the platform layer includes no subsystem (station/frmVexo.h)' "a window header planted in platform"

tree 'platform/os/Beeper.cpp:#include <QApplication>' 'platform/vb/Text.cpp:#include "platform/os/Clock.h"'
expect 1 'FAIL platform/os/Beeper.cpp:1: platform/os/Beeper.cpp uses no widgets (<QApplication>)' "widgets below the window layer"
expect 1 'FAIL platform/vb/Text.cpp:1: platform/vb is the base' "vb reaching os"

tree 'common/modCurve.cpp:#include "station/frmVexoView.h"' 'common/modVarLookup.cpp:#include "station/frmVexo.h"\n#include "test_editor/frmMETest.h"'
expect 1 'FAIL common/modCurve.cpp:1: common reaches station/frmVexoView.h' "a reach not listed"
expect 1 'FAIL common/modVarLookup.cpp:1: common reaches station/frmVexo.h' "the whole main window where its view is listed"
tree 'common/modVarLookup.cpp:#include "station/frmVexoView.h"\n#include "test_editor/frmMETest.h"' 'audio/modTone.cpp:#include "common/frmPrompt.h"'
expect 0 'layers and file sizes as the design states' "the listed reaches and a common dialog from audio"

tree 'audio/modTone.cpp:#include "station/frmVexo.h"' 'station/frmVexo.h:#include "test_editor/frmMETest.h"'
expect 1 'FAIL audio/modTone.cpp:1: audio includes no window' "audio reaching the main window"
expect 1 'FAIL station/frmVexo.h:1: a header includes no window header of another subsystem' "a header reaching another window"

tree 'station/LayerJudge.cpp:#include "station/LayerJudge.h"\n#include "audio/SweepScale.h"\n#include "platform/vb/Conversions.h"\n#include "common/StationRecords.h"\n#include <QString>\n#include <cmath>' \
     'station/CalibrationMath.cpp:#include "platform/ui/MsgBox.h"' 'audio/SweepScale.cpp:#include <QColor>'
expect 1 'FAIL station/CalibrationMath.cpp:1: arithmetic beside a window includes only' "a message box in pure arithmetic"
expect 1 'FAIL audio/SweepScale.cpp:1: arithmetic beside a window includes only' "a colour in pure arithmetic"
tree 'station/LayerJudge.cpp:#include "station/LayerJudge.h"\n#include "audio/SweepScale.h"\n#include "platform/vb/Conversions.h"\n#include "common/StationRecords.h"\n#include <QString>\n#include <cmath>'
expect 0 'layers and file sizes as the design states' "pure arithmetic on its own kind"

# Arrows between the subsystem folders: only the declared ones, and an upward
# one only when its declaration says so.
tree 'station/frmVexo_commands.cpp:#include "station/frmVexo.h"\n#include "engineering/frmMESeq.h"' \
     'supervisor/frmMPairMatch.cpp:#include "engineering/frmMESeq.h"' 'audio/modTone.cpp:#include "station/LayerJudge.h"'
expect 1 'FAIL station/frmVexo_commands.cpp:2: no arrow station -> engineering is declared (engineering/frmMESeq.h)' "the main window including an editor"
expect 1 'FAIL supervisor/frmMPairMatch.cpp:1: no arrow supervisor -> engineering is declared' "the supervisor's tools including an editor"
expect 1 'FAIL audio/modTone.cpp:1: no arrow audio -> station is declared' "audio reaching the station's arithmetic"
tree 'engineering/frmMESeq.cpp:#include "station/frmVexoView.h"\n#include "test_editor/modMETestCopy.h"' \
     'common/modVarLookup.cpp:#include "station/frmVexoView.h"' 'app/main.cpp:#include "station/StationProgram.h"'
expect 0 'layers and file sizes as the design states' "declared arrows, one of them upward, and the program above all"
unmarked="$work/check-unmarked.sh"
sed -E 's/^(common +station +)up /\1   /' "$check" > "$unmarked"
out=$(bash "$unmarked" "$work/t" 2>&1)
if ! grep -qF 'FAIL common/modVarLookup.cpp:1: common -> station points up the layers' <<< "$out"; then
  echo "not as expected: an upward arrow declared without its mark"; echo "$out"; problems=$((problems + 1))
fi

tree "station/frmVexo_run.cpp:$(lines 1201)"
expect 0 'WARN station/frmVexo_run.cpp: 1201 lines' "a long file warns"
tree "station/frmVexo_run.cpp:$(lines 1501)"
expect 1 'FAIL station/frmVexo_run.cpp: 1501 lines' "a too long file fails"

# Only tracked files count.
tree 'common/modA.cpp:int a;'
mkdir -p "$work/t/platform"
printf '#include "station/frmVexo.h"\n' > "$work/t/platform/Untracked.cpp"
expect 0 'layers and file sizes as the design states' "an untracked file"

if [ "$problems" -gt 0 ]; then echo "$problems case(s) failed"; exit 1; fi
echo "all cases as expected"
