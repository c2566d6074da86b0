#!/usr/bin/env bash
# Who may include whom, and how long a source file may grow; run by ctest.
# Reads the tracked sources (git ls-files) of the tree given, or of this one:
#   tools/check-layers.sh [tree]
# Every rule broken is printed as "FAIL file:line: why"; a .cpp over 1,200
# lines is a warning, over 1,500 lines a failure. Exit status 1 on any failure.
set -uo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root" || exit 2

# The common/ files whose shared routines read a window of another
# subsystem, each with the window it reaches and why. A new reach adds a line.
allowed_reaches='
common/modVarCrvFile.cpp station/frmVexoView.h  the curve store logs through the main window'\''s curve data control and reads its operator, sequence and test
common/modVarLookup.cpp station/frmVexoView.h   the look-ups search the main window'\''s sequence, calibration and test data controls
common/modVarLookup.cpp test_editor/frmMETest.h deleting a test repositions the open test editor
common/modMVarious.cpp station/frmVexoView.h           engineer-window management reads the main window open flags, graph and More/Less state, and asks its log-in
common/modMVarious.cpp test_editor/frmMETest.h         closing a test-type window closes the test editor unless it is closing itself; edits mark its Reset
common/modMVarious.cpp test_editor/frmMETestResponse.h the engineer response grid and level search draw on the response test window
'

# The subsystem folders from the bottom up. The main window sits below the
# editors: they reach it through its view (station/frmVexoView.h), and it opens
# them only through the window registry in common/.
layer_order='common audio station test_editor engineering supervisor'

# Every include arrow from one subsystem folder into another, with its reason.
# An arrow against the order above is marked "up". A new arrow adds a line;
# an arrow not listed, or upward and not marked so, fails.
allowed_arrows='
audio       common         the measurements use the error trap, delays, numbers and files
station     common         the main window uses the common modules, dialogs and typed records
station     audio          the unit run, calibration and result graphs measure and draw through the audio routines
test_editor common         the test editor uses the common modules, dialogs and typed records
test_editor audio          the test-type windows try a test out and draw its graph through the audio routines; sweep scales
test_editor station        the test editor reaches the main window through its view; its try-out runs the station'\''s measuring routines (modMSub)
engineering common         the sequence and system windows use the common modules, dialogs and typed records
engineering audio          the system window sets the output level and the digital port
engineering station        the sequence and system windows reach the main window through its view
engineering test_editor    the sequence editor positions, refreshes and copies tests in the test editor
supervisor  common         the supervisor'\''s tools use the common modules, dialogs and typed records
supervisor  station        the supervisor'\''s tools reach the main window through its view; the typical unit shares the calibration arithmetic
common      audio       up engineer-window management'\''s automatic microphone level sweeps through the response measurement and the mixer
common      station     up the curve store, the look-ups and engineer-window management read the main window'\''s view (each reach listed above)
common      test_editor up the look-ups and engineer-window management reach the test editor (each reach listed above)
'

layer_rank() {   # position of a subsystem folder in layer_order, from 0
  local i=0 f
  for f in $layer_order; do [ "$f" == "$1" ] && { echo $i; return; }; i=$((i + 1)); done
  echo -1
}

# Helper files that are not pure arithmetic although named like one: the
# error block every trapping routine shares, the typed record views, the
# demo station's folder seeding, the program's life around the main window,
# the test-type windows' shared base and the menus the test editor shares
# with them, the window registry and each subsystem's entries in it.
impure_helpers=' common/ErrorTrap common/StationRecords station/DemoStation station/StationProgram test_editor/METestTypeForm test_editor/METestMenus 
  common/WindowRegistry station/StationWindows engineering/EngineeringWindows test_editor/TestEditorWindows supervisor/SupervisorWindows '

# The headers that hold typed records, which pure arithmetic may read:
# the record views, and the curve store's batch of levels (CurveLevels).
record_headers=' common/StationRecords.h common/modVarCrvFile.h '

subsystems='common|audio|station|engineering|test_editor|supervisor'
widgets='^(QtWidgets.*|QWidget|QApplication|QLabel|QPushButton|QAbstractButton|QMessageBox|QLineEdit|QComboBox|QListWidget|QMenu|QMenuBar|QCheckBox|QRadioButton|QScrollBar|QAbstractSlider|QSlider|QSpinBox|QDialog|QMainWindow|QLayout|QBoxLayout|QHBoxLayout|QVBoxLayout|QGridLayout|QFrame|QGroupBox|QTextEdit|QPlainTextEdit|QToolTip|QStyle|QStyleOption|QAbstractScrollArea|QScrollArea|QListView|QTreeView|QTableView|QHeaderView|QSplitter|QStackedWidget|QTabWidget|QToolBar|QStatusBar|QProgressBar|QDial|QLCDNumber|QGraphics[A-Za-z]*)$'
gui='^(QtGui.*|QtPrintSupport.*|QColor|QPainter|QPainterPath|QImage|QPixmap|QFont|QFontMetrics|QFontMetricsF|QPen|QBrush|QGuiApplication|QWindow|QScreen|QKeyEvent|QMouseEvent|QIcon|QTransform|QPolygon|QPolygonF|QRegion|QCursor|QClipboard|QDesktopServices|QTextLayout|QPageLayout|QPdfWriter|QPrinter)$'

failures=0
fail() { echo "FAIL $1: $2"; failures=$((failures + 1)); }

is_pure() {   # a PascalCase helper beside a window: file path without extension
  local base=${1##*/}
  [[ $1 =~ ^($subsystems)/[A-Z] ]] || return 1
  [[ $impure_helpers == *" ${1%.*} "* ]] && return 1
  [[ $base =~ ^(frm|mod) ]] && return 1
  return 0
}

while IFS= read -r file; do
  [[ $file =~ \.(cpp|h)$ ]] || continue
  [ -f "$file" ] || continue
  folder=${file%%/*}
  stem=${file%.*}

  if [[ $file == *.cpp ]]; then
    lines=$(wc -l < "$file")
    if [ "$lines" -gt 1500 ]; then fail "$file" "$lines lines (at most 1,500; split it by concern)"
    elif [ "$lines" -gt 1200 ]; then echo "WARN $file: $lines lines (split it by concern before 1,500)"; fi
  fi

  pure=false
  is_pure "$file" && pure=true

  while IFS= read -r hit; do
    line=${hit%%:*}
    text=${hit#*:}
    where="$file:$line"
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      inc=${BASH_REMATCH[1]}
      inc_folder=${inc%%/*}
      inc_rest=${inc#*/}
      if [[ $folder == platform ]]; then
        [[ $inc_folder =~ ^($subsystems)$ ]] && fail "$where" "the platform layer includes no subsystem ($inc)"
        if [[ $file =~ ^platform/(vb|os|data|sound)/ && $inc == platform/ui/* ]]; then
          fail "$where" "platform/${file#platform/} includes no window layer ($inc)"
        fi
        if [[ $file == platform/vb/* && $inc =~ ^platform/(os|data|sound|ui)/ ]]; then
          fail "$where" "platform/vb is the base of the platform layer ($inc)"
        fi
      elif [[ $folder =~ ^($subsystems)$ && $inc_folder =~ ^($subsystems)$ && $inc_folder != "$folder" ]]; then
        declared=$(grep -E "^$folder[[:space:]]+$inc_folder[[:space:]]" <<< "$allowed_arrows")
        if [ -z "$declared" ]; then
          fail "$where" "no arrow $folder -> $inc_folder is declared ($inc): add it with its reason in tools/check-layers.sh"
        elif [ "$(layer_rank "$inc_folder")" -gt "$(layer_rank "$folder")" ] && ! [[ $declared =~ ^[a-z_]+[[:space:]]+[a-z_]+[[:space:]]+up[[:space:]] ]]; then
          fail "$where" "$folder -> $inc_folder points up the layers ($inc): mark its declared arrow up"
        fi
      fi
      if [[ $folder =~ ^($subsystems)$ && $inc_folder =~ ^($subsystems)$ && $inc_folder != "$folder" && ${inc_rest##*/} == frm* ]]; then
        # A window of another subsystem.
        if [[ $folder == audio && $inc_folder != common ]]; then
          fail "$where" "audio includes no window of the station, engineering, test editor or supervisor ($inc)"
        elif [[ $file == *.h ]]; then
          fail "$where" "a header includes no window header of another subsystem ($inc)"
        elif [[ $folder == common ]]; then
          if ! grep -qE "^$file[[:space:]]+$inc[[:space:]]" <<< "$allowed_reaches"; then
            fail "$where" "common reaches $inc: name the reach and its reason in tools/check-layers.sh"
          fi
        fi
      fi
      if $pure; then
        inc_stem=${inc%.*}
        if ! [[ $inc == platform/vb/* || $record_headers == *" $inc "* || $inc_stem == "$stem" ]] && ! is_pure "$inc"; then
          fail "$where" "arithmetic beside a window includes only QtCore, platform/vb and the typed records ($inc)"
        fi
      fi
    elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      inc=${BASH_REMATCH[1]}
      name=${inc##*/}; name=${name%.h}
      if [[ $file =~ ^platform/(vb|os|data|sound)/ && ( $name =~ $widgets || $inc == QtWidgets/* ) ]]; then
        fail "$where" "platform/${file#platform/} uses no widgets (<$inc>)"
      fi
      if $pure && [[ $name =~ $widgets || $name =~ $gui || $inc == QtWidgets/* || $inc == QtGui/* ]]; then
        fail "$where" "arithmetic beside a window includes only QtCore, platform/vb and the typed records (<$inc>)"
      fi
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(git ls-files)

if [ "$failures" -gt 0 ]; then
  echo "$failures layer rule(s) broken"
  exit 1
fi
echo "layers and file sizes as the design states"
