#!/usr/bin/env bash
# End-to-end: starts the built program on a private Xvfb display with a temporary home,
# and uses it as a person would, with real X input events from xdotool: types candidates,
# runs and stops a draw, tidies the interval field, chooses a file through the real
# dialog, closes the window, and checks what was remembered. Every wait is bounded.
set -euo pipefail

binary=$(realpath "$1")
close_window=$(realpath "$2")  # sends the close request a window manager would
for tool in Xvfb xdotool xclip; do
  command -v "$tool" >/dev/null || { echo "missing $tool (make test installs it)" >&2; exit 1; }
done

started=$(date +%s%N)
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  # A display that vanished under the program is the machine's fault, not the program's.
  if [ -n "$xvfb_pid" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "(Xvfb $xvfb_pid has ended: $(tail -n 3 "$work/xvfb.log" 2>/dev/null))" >&2
  elif [ -n "${DISPLAY:-}" ] && [ ! -S "/tmp/.X11-unix/X${DISPLAY#:}" ]; then
    echo "(the socket of display $DISPLAY is gone, though Xvfb still runs)" >&2
  fi
  exit 1
}
# shellcheck source=e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"

# --- a private display and home -------------------------------------------------------
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
start_private_xvfb 1024x768
step "Xvfb on $DISPLAY"

QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$binary" >"$work/app.log" 2>&1 &
app_pid=$!
window_id() { xdotool search --onlyvisible --name '^Zorbalin$' | head -n 1; }
has_window() { [ -n "$(window_id)" ]; }
wait_until 30 has_window || fail "the window did not appear: $(cat "$work/app.log")"
window=$(window_id)
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
step "window $window at $X,$Y size ${WIDTH}x$HEIGHT"

copy_field() {  # prints the text of the field under the last click
  printf '' | xclip -i -selection clipboard >/dev/null 2>&1
  xdotool key --clearmodifiers ctrl+a ctrl+c
  has_clipboard() { [ -n "$(clipboard)" ]; }
  wait_until 5 has_clipboard || true
  clipboard
}
paste_text() {  # CJK text cannot be typed by xdotool, so it comes through the clipboard
  printf '%s' "$1" | xclip -i -selection clipboard >/dev/null 2>&1
  xdotool key --clearmodifiers ctrl+v
}

# --- the interval field tidies itself when left ----------------------------------------
click_interval
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 30 '120ms'
xdotool key Tab
click_interval
shown=$(copy_field)
[ "$shown" = "120" ] || fail "interval field shows '$shown', expected 120"
step "interval field: 120ms became $shown"

# --- three candidates, a draw, the result -------------------------------------------------
click_editor
xdotool type --delay 30 'alpha'
xdotool key Return
xdotool type --delay 30 'beta'
xdotool key Return
paste_text '张三'
xdotool key Return Return
click_start
sleep 0.6
click_start
click_pick
result=$(copy_field)
case "$result" in
  alpha|beta|张三) step "draw result: $result" ;;
  *) fail "the pick display shows '$result', not one of the candidates" ;;
esac

# --- choosing a file through the real dialog ---------------------------------------------
list="$work/class list.txt"
printf 'Ann\r\n\r\n\r\nBob\r\n' >"$list"
click_choose
focus_left_window() { [ "$(xdotool getwindowfocus)" != "$window" ]; }
wait_until 15 focus_left_window || fail "the open-file dialog did not appear"
sleep 0.5
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$list"
xdotool key Return
tidied() { [ "$(od -An -c "$list" | tr -s ' ')" = "$(printf 'Ann\r\nBob' | od -An -c | tr -s ' ')" ]; }
wait_until 15 tidied || fail "the chosen file was not tidied and written back: $(od -c "$list")"
step "chosen file loaded, tidied and written back"

click_start
click_start
click_pick
result=$(copy_field)
case "$result" in
  Ann|Bob) step "draw from the file: $result" ;;
  *) fail "after choosing the file the draw shows '$result'" ;;
esac

# --- closing stores the path and the interval ----------------------------------------------
"$close_window" "$window" || fail "could not ask the window to close"
app_ended() {  # gone, or a zombie that the shell has not reaped yet
  [ ! -e "/proc/$app_pid" ] || [ "$(cut -d' ' -f3 "/proc/$app_pid/stat" 2>/dev/null)" = Z ]
}
wait_until 15 app_ended || fail "the program did not end after its window was closed"
app_pid=""
conf="$XDG_CONFIG_HOME/Pellanor/Pellanor.conf"
[ -f "$conf" ] || fail "no settings were stored ($conf missing)"
grep -qxF "Path=$list" "$conf" || fail "stored Path is wrong: $(cat "$conf")"
grep -qxF "Interval=120" "$conf" || fail "stored Interval is wrong: $(cat "$conf")"
step "stored: $(tr '\n' ' ' <"$conf")"

# --- the next run starts with the remembered file; SIGTERM still stores the settings ------
QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$binary" >"$work/app2.log" 2>&1 &
app_pid=$!
wait_until 30 has_window || fail "the window did not appear again: $(cat "$work/app2.log")"
window=$(window_id)
eval "$(xdotool getwindowgeometry --shell "$window")"
click_editor
editor=$(copy_field)
[ "$editor" = "$(printf 'Ann\nBob')" ] || fail "the remembered file was not loaded: '$editor'"
click_interval
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 30 '75'
click_start
kill -TERM "$app_pid"
wait_until 15 app_ended || fail "the program did not end on SIGTERM"
app_pid=""
grep -qxF "Interval=75" "$conf" || fail "SIGTERM lost the interval: $(cat "$conf")"
step "second run: remembered file shown; SIGTERM stored Interval=75"
echo "e2e passed in $(elapsed_ms) ms"
