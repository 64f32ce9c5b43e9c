#!/usr/bin/env bash
# The built program in a real X server: starts Xvfb, a content server on a free loopback port with the
# sample library generated for that port, and the program in a program folder of its own; checks that its
# 800x600 window comes up with the start tip, the tool bar and the step bar drawn, keeps screenshots, closes
# the tip and then the window as a window manager would, and expects exit code 0 and a content server that
# still runs and stops cleanly. Exits 77 (skipped) where no Xvfb is installed.
#
# start-and-close.sh PROGRAM SERVER CONTENTGEN CONTENT_INPUT WM_DELETE ARTIFACTS
set -euo pipefail

program=$1 server=$2 contentgen=$3 content_input=$4 wm_delete=$5 artifacts=$6

readonly SkipCode=77
readonly Title="Untitled - Snapmingle"
readonly TipTitle="Help Tip"
readonly FrameWidth=800 FrameHeight=600
# Regions of the window (WxH+X+Y) that must not be blank: the tool bar docked on the left and the step bar
# along the bottom (shell/MainFrame.h), clear of the step pictures at the top and of the editing view.
readonly Regions=("38x300+0+100" "780x14+10+583")

if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: no X server can run here: Xvfb is not installed (scripts/setup installs it)"
  exit $SkipCode
fi
for tool in xdotool xwininfo import identify; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup installs it)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/smg-smoke.XXXXXX")
xvfb_pid="" server_pid="" program_pid=""

# Ends one child: TERM, a bounded wait, then KILL.
stop_child() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
cleanup() {
  stop_child "$program_pid"
  stop_child "$server_pid"
  stop_child "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "FAIL: $*"
  for log in program server xvfb; do
    if [ -s "$work/$log.log" ]; then
      echo "--- $log output:"
      tail -n 40 "$work/$log.log"
    fi
  done
  exit 1
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails the test after SECONDS,
# or at once when the program has ended.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    if [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null; then
      fail "the program ended while waiting for $what"
    fi
    sleep 0.1
  done
  fail "no $what after ${seconds} s"
}

# The visible top-level window titled exactly $1, if any.
visible_window() {
  { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | head -n 1
}
has_window() { [ -n "$(visible_window "$1")" ]; }
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
no_window() { [ -z "$(visible_window "$1")" ]; }

# shoot FILE: a screenshot of the whole screen; true once every region of the window (at $left,$top) has
# more than one colour, so a window still unpainted is taken again.
shoot() {
  import -window root "$1" || return 1
  local region size x y colours
  for region in "${Regions[@]}"; do
    size=${region%%+*}
    IFS=+ read -r _ x y <<<"$region"
    colours=$(identify -format '%k' "$1[${size}+$((left + x))+$((top + y))]") || return 1
    [ "$colours" -gt 1 ] || return 1
  done
}

# An X server of our own, on the first free display number.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 10 "X display" grep -q '^[0-9]' "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"

# The content server on a free port, then the library generated for that port (its index files carry the
# server's address).
mkdir -p "$work/tree" "$work/outbox" "$work/program"
"$server" --root "$work/tree" --port 0 --outbox "$work/outbox" >"$work/server.log" 2>&1 &
server_pid=$!
wait_for 10 "content server" grep -q '^listening on ' "$work/server.log"
base_url=$(sed -n 's/^listening on //p' "$work/server.log" | head -n 1)
QT_QPA_PLATFORM=offscreen "$contentgen" --input "$content_input" --tree "$work/tree" --program "$work/program" \
  --base-url "$base_url" >"$work/contentgen.log" 2>&1 || { cat "$work/contentgen.log"; fail "smg-contentgen failed"; }

# The program folder is the executable's own: the program, its resource files and a settings file naming
# our server. Its data and settings folders follow the XDG variables, so nothing of the user's is touched.
ln "$program" "$work/program/snapmingle" 2>/dev/null || cp "$program" "$work/program/snapmingle"
printf '[System]\nServerUrl=%s\n' "$base_url" >"$work/program/SMG.ini"
mkdir -p "$work/xdg/data" "$work/xdg/system-data" "$work/xdg/config" "$work/xdg/cache" "$work/xdg/runtime"
chmod 700 "$work/xdg/runtime"
env -u SMG_QUIT_WHEN_SHOWN QT_QPA_PLATFORM=xcb XDG_DATA_HOME="$work/xdg/data" \
  XDG_DATA_DIRS="$work/xdg/system-data" XDG_CONFIG_HOME="$work/xdg/config" XDG_CACHE_HOME="$work/xdg/cache" \
  XDG_RUNTIME_DIR="$work/xdg/runtime" "$work/program/snapmingle" >"$work/program.log" 2>&1 &
program_pid=$!

# The window, and over it the first help tip (a fresh settings store has the tips on).
wait_for 20 "window titled \"$Title\"" has_window "$Title"
wait_for 10 "help tip" has_window "$TipTitle"
window=$(visible_window "$Title")
geometry=$(xwininfo -id "$window")
width=$(sed -n 's/^ *Width: //p' <<<"$geometry")
height=$(sed -n 's/^ *Height: //p' <<<"$geometry")
left=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$geometry")
top=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$geometry")
[ "$width" = "$FrameWidth" ] && [ "$height" = "$FrameHeight" ] ||
  fail "the window is ${width}x${height}, not ${FrameWidth}x${FrameHeight}"

mkdir -p "$artifacts"
wait_for 10 "tool bar and step bar drawn under the help tip in $artifacts/smoke-start.png" \
  shoot "$artifacts/smoke-start.png"

# The tips ignore Escape and the close box: Return on Continue (the default button) leads through them until
# the last one closes. Typed as a person types (XTEST, to the tip that has the focus): a key sent to a window
# with XSendEvent (xdotool key --window) leaves a stray Return that Qt hands to the next tip.
for _ in $(seq 5); do
  tip=$(visible_window "$TipTitle")
  [ -n "$tip" ] || break
  xdotool windowfocus "$tip" 2>/dev/null || true  # Qt gives a new tip the focus; this is for a slow start
  xdotool key Return
  sleep 0.3
done
wait_for 5 "help tips closed" no_window "$TipTitle"
wait_for 10 "tool bar and step bar drawn in $artifacts/smoke-window.png" shoot "$artifacts/smoke-window.png"
echo "window ${width}x${height}+${left}+${top}; screenshots: $artifacts/smoke-start.png, $artifacts/smoke-window.png"

# Close as a window manager does; with nothing changed no question is asked.
"$wm_delete" "$window" || fail "could not ask the window to close"
started_close=$(date +%s%N)
wait_for 10 "program end" program_ended
echo "the program ended $(( ($(date +%s%N) - started_close) / 1000000 )) ms after the close"
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"

# The content index came from our server into the data folder the XDG variables name (the first
# system-wide one is writable here).
for index in EncList.txt ThumbsA.txt ThumbsB.txt; do
  [ -s "$work/xdg/system-data/Snapmingle2/Cache/$index" ] || fail "no $index in the data folder's cache"
done

# The content server outlived the program and stops cleanly.
kill -0 "$server_pid" 2>/dev/null || fail "the content server ended while the program ran"
kill -TERM "$server_pid"
status=0
wait "$server_pid" || status=$?
server_pid=""
[ "$status" -eq 0 ] || fail "the content server ended with exit code $status"
echo "PASS: the program started, showed its window and quit with exit code 0"
