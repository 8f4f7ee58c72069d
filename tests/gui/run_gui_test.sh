#!/usr/bin/env bash
# End-to-end test of the real Hangarscanv4.exe under Wine on a virtual X display (Xvfb):
#  1. a sample installation is made, once for the Windows program and once for the POSIX build,
#     both over the same scenery folder;
#  2. the POSIX build runs a refresh from its console: the reference database and log;
#  3. the Windows program starts, Enter runs the refresh (the default button), Enter in the main
#     window while the first message box is open must not start another, every box is answered
#     with Enter, the log's closing line is awaited, the about box is opened from the
#     system menu, "Open log" is pressed, and Escape ends the program;
#  4. its database must equal the reference byte for byte, its log line for line (header, paths
#     and durations aside);
#  5. a second installation without configuration: the Yes/No box is answered No and the window
#     must close by itself.
# Screenshots of the main window before and after the refresh and of the about box are kept.
#
# usage: run_gui_test.sh --exe WIN_EXE --posix-exe POSIX_EXE --generator MAKE_SAMPLE_SCENERY
#                        --work DIR [--shots DIR]
set -euo pipefail

exe="" posix_exe="" generator="" work="" shots=""
while [ $# -gt 0 ]; do
  case "$1" in
    --exe) exe=$2 ;;
    --posix-exe) posix_exe=$2 ;;
    --generator) generator=$2 ;;
    --work) work=$2 ;;
    --shots) shots=$2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
  shift 2
done
[ -n "$exe" ] && [ -n "$posix_exe" ] && [ -n "$generator" ] && [ -n "$work" ] ||
  { echo "missing argument" >&2; exit 2; }

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "== $*"; }

for tool in Xvfb xdotool import convert wine wineserver; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done
[ -f "$exe" ] || fail "no Windows program at $exe"
[ -x "$posix_exe" ] || fail "no POSIX build at $posix_exe (build the posix preset first)"
[ -x "$generator" ] || fail "no sample generator at $generator (build the posix preset first)"

# A prefix of its own, so the other Windows tests' Wine session is left alone; one run at a time.
export WINEDEBUG=-all
export WINEPREFIX="${HANGARSCAN_GUI_PREFIX:-$HOME/.wine-hangarscan-gui}"
exec 9>"$WINEPREFIX.lock"
flock -w 900 9 || fail "another GUI test holds $WINEPREFIX.lock"

work=$(realpath -m "$work")
rm -rf "$work"
mkdir -p "$work"
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# Waits up to $1 seconds for the command that follows the description $2 to succeed.
wait_for() {
  local deadline=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.2
  done
}
window() { xdotool search --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window "$1")" ]; }
no_window() { [ -z "$(window "$1")" ]; }
log_has() { [ -f "$1" ] && grep -qF -- "$2" "$1"; }
gone() { ! kill -0 "$1" 2>/dev/null; }
# Without a window manager, Wine activates a window when it is clicked: raise it, click its
# caption, and give it the keyboard.
activate() {
  local id WIDTH HEIGHT X Y SCREEN
  id=$(window "$1")
  [ -n "$id" ] || fail "no window named $1"
  xdotool windowraise "$id"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove --window "$id" $((WIDTH / 2)) 8 click 1
  xdotool windowfocus --sync "$id"
  sleep 0.3
}
press() {
  activate "$1"
  shift
  xdotool key --delay 100 "$@"
}
# The refresh button lies centred across the window, 55.5 of the dialog's 127 units down its
# client area (below a caption and frame of about 24 pixels).
click_refresh_button() {
  local id WIDTH HEIGHT X Y SCREEN
  id=$(window "$main_title")
  xdotool windowraise "$id"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove --window "$id" $((WIDTH / 2)) $((21 + (HEIGHT - 24) * 555 / 1270)) click 1
}
shoot() {
  [ -n "$shots" ] || return 0
  mkdir -p "$shots"
  import -silent -window "$(window "$1")" "$work/shot.png"
  convert "$work/shot.png" -strip "$shots/$2"
}

# --- The sample installations -------------------------------------------------------------
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
make_install() {  # folder, program, Prepar3D root as the program writes it
  mkdir -p "$1/Utilities" "$1/Bin"
  cp "$2" "$1/Utilities/"
  printf 'P3DROOTDIR=%s\r\n' "$3" >"$1/Bin/Prepar3DPathv4.cfg"
}

step "sample scenery"
# Generated airports enough for a database, and beside them a BGL file cut short, which each
# build reports with a box and a log line naming its path, and entries the walk passes by.
"$generator" "$work/gen" --seed 7 --airports 12000 >/dev/null
p3d="$work/gen/Prepar3D v4"
scenery="$p3d/scenery"
mkdir -p "$scenery/Addon Scenery/scenery" "$scenery/.cache"
head -c 20 /dev/zero >"$scenery/Addon Scenery/scenery/MyAirport.bgl"
head -c 56 /dev/zero >"$scenery/.cache/hidden.bgl"
printf 'not a scenery file\r\n' >"$scenery/readme.txt"
make_install "$work/win/Addon" "$exe" "$(windows_path "$p3d")"
make_install "$work/posix/Addon" "$posix_exe" "$p3d"

step "reference refresh by the POSIX build"
printf 'refresh\nexit\n' | timeout 600 "$work/posix/Addon/Utilities/$(basename "$posix_exe")" \
  >"$work/posix-console.txt" 2>&1 || fail "the POSIX build failed, see $work/posix-console.txt"

# --- The Wine session on a virtual display --------------------------------------------------
step "virtual display and Wine session"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 "the virtual display" test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
wineserver -k >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 300 wineboot -i </dev/null >/dev/null 2>&1 || fail "wineboot failed"
  # Wine's own fonts, and the dialog font as Windows maps it, so the windows look as they will.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
wineserver -p </dev/null >/dev/null 2>&1
# Without a window manager every window close would wait 2 s unless Wine manages none.
timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
timeout 120 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
  /v 'MS Shell Dlg' /d 'MS Sans Serif' /f >/dev/null 2>&1

main_title='^WingsteadP3Dv4 - Extract Airport'
start_program() {  # install folder; sets program_pid
  wine "$1/Utilities/Hangarscanv4.exe" </dev/null >>"$work/wine.txt" 2>&1 &
  program_pid=$!
}

# --- A refresh in the window ----------------------------------------------------------------
step "refresh in the window"
win_log="$work/win/Addon/log.txt"
start_program "$work/win/Addon"
wait_for 120 "the main window" has_window "$main_title"
wait_for 30 "the end of installation discovery" log_has "$win_log" "Init completed, ready to use OK."
activate "$main_title"
shoot "$main_title" main-window.png

press "$main_title" Return
outcome_lines=("Completed in" "Completed WITH ERROR!" "Error no data extracted from BGL"
  "ERROR, there was less than" "Error unable to open file IcaoDbWgdV4.db"
  "Error while writting file IcaoDbWgdV4.db")
box='^(ERROR|Error.*)$'
answer_boxes() {  # true once no box is open; every box is answered with Enter
  if has_window "$box"; then
    press "$box" Return
    return 1
  fi
}
poked=""
refresh_ended() {
  local line
  # While the run's first box is open the main window still takes clicks: a second refresh
  # asked for then must be ignored. (Keys reach only the box: the dialog's own keyboard handling
  # waits for the box to close.)
  if [ -z "$poked" ] && has_window "$box"; then
    click_refresh_button
    poked=yes
    return 1
  fi
  answer_boxes || return 1
  for line in "${outcome_lines[@]}"; do
    if log_has "$win_log" "$line"; then return 0; fi
  done
  return 1
}
wait_for 900 "the refresh to end" refresh_ended
if log_has "$win_log" "Completed"; then
  wait_for 30 "the summary" log_has "$win_log" "Nbr of memory extension required:"
fi
sleep 0.5
wait_for 30 "the last box to close" answer_boxes
starts=$(grep -c "Refresh database starting..." "$win_log")
[ "$starts" -eq 1 ] || fail "$starts refreshes started, one expected"
cp "$win_log" "$work/win-log-after-refresh.txt"
activate "$main_title"
shoot "$main_title" main-window-after-refresh.png

step "about box from the system menu"
press "$main_title" alt+space Up Return
wait_for 30 "the about box" has_window '^About Quillmere$'
activate '^About Quillmere$'
shoot '^About Quillmere$' about-box.png
press '^About Quillmere$' Return
wait_for 30 "the about box to close" no_window '^About Quillmere$'

step "open log"
press "$main_title" Tab space
wait_for 30 "the log line of Open log" log_has "$win_log" "Open log button clicked"
wait_for 60 "the viewer of the log" has_window 'Notepad'

step "Escape ends the program"
log_lines=$(wc -l <"$win_log")
press "$main_title" Escape
wait_for 30 "the program to end" gone "$program_pid"
[ "$(wc -l <"$win_log")" -eq "$log_lines" ] || fail "closing the window wrote to the log"
wineserver -k >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1

# --- The same database and log as the POSIX build -------------------------------------------
step "compare with the POSIX build"
normalised() {  # log, work folder as the log writes it; each build has its own add-on folder
  tail -n +6 "$1" |
    sed -e "s|$(printf '%s' "$2" | sed 's/[\\.|*^$[]/\\&/g')|<ROOT>|g" \
      -e '/<ROOT>/ s|\\|/|g' -e 's#<ROOT>/\(posix\|win\)/Addon/#<ADDON>/#' \
      -e 's/[0-9][0-9]*\.[0-9][0-9] seconds/<N> seconds/g'
}
normalised "$work/win-log-after-refresh.txt" "$(windows_path "$work")" >"$work/win-log.norm"
normalised "$work/posix/Addon/log.txt" "$work" >"$work/posix-log.norm"
diff -u "$work/posix-log.norm" "$work/win-log.norm" || fail "the logs differ"
posix_db="$work/posix/Addon/Bin/IcaoDbWgdV4.db"
win_db="$work/win/Addon/Bin/IcaoDbWgdV4.db"
[ -f "$posix_db" ] || fail "the POSIX build wrote no database"
[ -f "$win_db" ] || fail "the Windows program wrote no database"
cmp "$posix_db" "$win_db" || fail "the databases differ"
echo "databases equal: $(wc -l <"$win_db") lines, $(stat -c %s "$win_db") bytes"

# --- Start-up without configuration ---------------------------------------------------------
step "no configuration: answer No and the window closes by itself"
mkdir -p "$work/bare/Addon/Utilities"
cp "$exe" "$work/bare/Addon/Utilities/"
start_program "$work/bare/Addon"
wait_for 120 "the missing-installation box" has_window '^Missing WingsteadP3Dv4$'
press '^Missing WingsteadP3Dv4$' n
wait_for 30 "the program to end by itself" gone "$program_pid"
log_has "$work/bare/Addon/log.txt" "Unable to find WingsteadP3D v4 - aborting" ||
  fail "no abort line in the log"

echo "PASS"
