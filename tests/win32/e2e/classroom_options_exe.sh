#!/usr/bin/env bash
# End-to-end, the classroom options on Windows' terms: the real zorbalin.exe under Wine on an
# X display, driven with real X input. Turns on draws without repeats from the menu on the
# pick display, draws once per candidate with F5 and sees each exactly once, copies the record
# with its 复制 button, opens and leaves the presentation view (F11, Esc, F11) around a draw
# started there and stopped in the window, and checks the stored NoRepeat. Every wait is
# bounded.
#
# Runs in the Wine prefix and on the display it is given (tools/run-windows-tests.sh gives
# a fresh prefix and a private Xvfb); without them it makes its own and removes them after.
# Usage: classroom_options_exe.sh PATH/TO/zorbalin.exe
# With ZORBALIN_E2E_SHOT=FILE.png a failure also leaves a screenshot of the display there.
set -euo pipefail

# shellcheck source=wine_start.sh
source "$(dirname "$0")/wine_start.sh" "$@"

start_window

candidates=$'alpha\nbeta\n张三\n李四\n王五'
count=$(wc -l <<<"$candidates")
click_editor
put_clipboard "$candidates"  # CJK text cannot be typed by xdotool
xdotool key --clearmodifiers ctrl+v

# --- the menu on the pick display (Shift+F10): 不重复抽取, third from the end ------------------
click_pick
xdotool mousemove $((X + WIDTH + 200)) $((Y + HEIGHT + 200))
xdotool key --clearmodifiers shift+F10
wait_until 20 menu_open || fail "no menu opened on the pick display"
xdotool key Up Up Up Up Up Up Return
wait_until 20 menu_closed || fail "the menu stayed open"
step "不重复抽取 chosen from the menu"

# --- one draw per candidate, each started and stopped with F5 from the pick display ---------
drawn=()
for _ in $(seq "$count"); do
  xdotool key --clearmodifiers F5 F5
  drawn+=("$(copy_pick)")
done
[ "$(printf '%s\n' "${drawn[@]}" | sort)" = "$(sort <<<"$candidates")" ] ||
  fail "$count draws without repeats gave: ${drawn[*]}"
step "drawn once each: ${drawn[*]}"

# --- the record, newest last, each in round 1 -----------------------------------------------
record=$(copy_record)
expected=$(for name in "${drawn[@]}"; do printf '1\t%s\n' "$name"; done)
[ "$(cut -f2- <<<"$record")" = "$expected" ] || fail "the record copied: $record"
grep -qvxE '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]' <<<"$(cut -f1 <<<"$record")" &&
  fail "a time in the record is not HH:MM:SS: $record"
step "record copied: $(tr '\t\n' ' /' <<<"$record")"
xdotool key --clearmodifiers alt+F4
wait_until 20 hidden '^抽取记录$' || fail "Alt+F4 did not close the record window"

# --- the presentation view: a draw started there goes on in the window ----------------------
# Keys only from here: the focus comes back to the pick display whenever a window is left.
# (Without a window manager Wine hides a full-screen or framed window only after waiting two
# seconds for one; a click meanwhile is not sure to reach the control under the pointer.)
copy_focused() { copy_with ctrl+Home ctrl+shift+End ctrl+Insert; }
xdotool key --clearmodifiers F11
wait_until 20 shown '^Zorbalin 演示$' || fail "F11 opened no presentation view"
view=$(named '^Zorbalin 演示$')
screen=$(xdotool getdisplaygeometry | tr ' ' x)
[ "$(xdotool getwindowgeometry "$view" | tail -n 1 | tr -d ' ')" = "Geometry:$screen" ] ||
  fail "the view does not fill the $screen screen: $(xdotool getwindowgeometry "$view")"
xdotool key --clearmodifiers F5 Escape  # Esc does nothing in the window: the view had the keys
wait_until 20 hidden '^Zorbalin 演示$' || fail "Esc did not leave the presentation view"
xdotool key --clearmodifiers F5  # stops it: all were drawn, so a new round began
last=$(copy_focused)
grep -qxF "$last" <<<"$candidates" || fail "the pick display shows '$last'"
xdotool key --clearmodifiers F11
wait_until 20 shown '^Zorbalin 演示$' || fail "F11 did not open the view again"
xdotool key --clearmodifiers F11
wait_until 20 hidden '^Zorbalin 演示$' || fail "F11 did not leave the presentation view"
[ "$(copy_focused)" = "$last" ] || fail "opening and leaving the view changed the pick '$last'"
record=$(copy_record)
[ "$(tail -n 1 <<<"$record" | cut -f2-)" = "$(printf '2\t%s' "$last")" ] ||
  fail "the draw started in the view is not in the record as round 2: $record"
step "started in the view, stopped in the window: $last, round 2"

# --- closing stores NoRepeat ----------------------------------------------------------------
xdotool key --clearmodifiers alt+F4
wait_until 20 hidden '^抽取记录$' || fail "Alt+F4 did not close the record window"
xdotool mousemove $((X + 144)) $((Y + 130)) key --clearmodifiers alt+F4
wait_until 30 app_ended || fail "the program did not end after Alt+F4"
app_pid=""
timeout 60 "$wine" reg export "$key\\Nomal" 'Z:'"${work//\//\\}"'\settings.reg' /y \
  >/dev/null 2>&1 || fail "no settings were stored under $key\\Nomal"
stored=$(iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r')
grep -qxF '"NoRepeat"="1"' <<<"$stored" || fail "stored NoRepeat is wrong: $stored"
step "stored: $(grep '^"' <<<"$stored" | tr '\n' ' ')"
echo "Windows classroom e2e passed in $(elapsed_ms) ms"
