#!/usr/bin/env bash
# End-to-end, the classroom options: the built program on a private Xvfb display with a
# temporary home, driven with real X input. Turns on draws without repeats from the menu on
# the pick display, draws once per candidate with F5 and sees each exactly once, copies the
# record, opens and leaves the presentation view (F11, Esc) around a draw started there and
# stopped in the window, and checks the stored NoRepeat. Every wait is bounded.
set -euo pipefail

# shellcheck source=e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"
# shellcheck source=program_start.sh
source "$(dirname "$0")/program_start.sh" "$@"

start_program app.log

focused_on() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# Ctrl+A, Ctrl+C in the focused field, and its text once the clipboard has it.
copy_focused() {
  printf '' | xclip -i -selection clipboard >/dev/null 2>&1
  xdotool key --clearmodifiers "$@"
  has_clipboard() { [ -n "$(clipboard)" ]; }
  wait_until 5 has_clipboard || fail "nothing reached the clipboard"
  clipboard
}

candidates=$'alpha\nbeta\n张三\n李四\n王五'
count=$(printf '%s\n' "$candidates" | wc -l)
click_editor
printf '%s' "$candidates" | xclip -i -selection clipboard >/dev/null 2>&1
xdotool key --clearmodifiers ctrl+v

# --- the menu on the pick display: 复制, 全选 (both off: nothing shown), 演示模式, 不重复抽取
click_pick
xdotool click 3
# The menu has no name; it is the program's other window while no other is open.
# (Here-strings, not pipes, into grep -q: under pipefail a writer cut off by its early exit
# would fail the test.)
menu_open() { grep -qvx "$window" <<<"$(xdotool search --onlyvisible --class '^zorbalin$' 2>/dev/null)"; }
wait_until 10 menu_open || fail "no menu opened on the pick display"
xdotool key Down Down Return
menu_closed() { ! menu_open; }
wait_until 10 menu_closed || fail "the menu stayed open"
step "不重复抽取 chosen from the menu"

# --- one draw per candidate, each started and stopped with F5 from the pick display --------
drawn=()
for _ in $(seq "$count"); do
  xdotool key F5 F5
  drawn+=("$(copy_focused ctrl+a ctrl+c)")
done
sorted_drawn=$(printf '%s\n' "${drawn[@]}" | sort)
[ "$sorted_drawn" = "$(printf '%s\n' "$candidates" | sort)" ] ||
  fail "$count draws without repeats gave: ${drawn[*]}"
step "drawn once each: ${drawn[*]}"

# --- the record, copied with its 复制 button (Tab from the list) ------------------------------
xdotool key ctrl+h
has_record() { [ -n "$(named '^抽取记录$')" ]; }
wait_until 10 has_record || fail "Ctrl+H opened no record window"
record_window=$(named '^抽取记录$')
wait_until 10 focused_on "$record_window" || fail "the record window did not take the focus"
record=$(copy_focused Tab space | tr -d '\r')
expected=$(for name in "${drawn[@]}"; do printf '1\t%s\n' "$name"; done)
[ "$(printf '%s\n' "$record" | cut -f2-)" = "$expected" ] || fail "the record copied: $record"
grep -qvxE '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]' <<<"$(cut -f1 <<<"$record")" &&
  fail "a time in the record is not HH:MM:SS: $record"
step "record copied: $(printf '%s' "$record" | tr '\t\n' ' /')"
"$close_window" "$record_window" || fail "could not close the record window"
record_closed() { ! has_record; }
wait_until 10 record_closed || fail "the record window stayed open"

# --- the presentation view: a draw started there goes on in the window ------------------------
click_pick
has_view() { [ -n "$(named '^Zorbalin 演示$')" ]; }
view_closed() { ! has_view; }
xdotool key F11
wait_until 10 has_view || fail "F11 opened no presentation view"
view=$(named '^Zorbalin 演示$')
[ "$(xdotool getwindowgeometry "$view" | tail -n 1 | tr -d ' ')" = "Geometry:1024x768" ] ||
  fail "the view does not fill the screen: $(xdotool getwindowgeometry "$view")"
wait_until 10 focused_on "$view" || fail "the presentation view did not take the focus"
xdotool key F5 Escape
wait_until 10 view_closed || fail "Esc did not leave the presentation view"
wait_until 10 focused_on "$window" || fail "the window did not get the focus back"
xdotool key F11
wait_until 10 has_view || fail "F11 did not open the view again"
xdotool key F11
wait_until 10 view_closed || fail "F11 did not leave the presentation view"
wait_until 10 focused_on "$window" || fail "the window did not get the focus back"
click_pick
xdotool key F5  # stops the draw started in the view: a new round, since all were drawn
last=$(copy_focused ctrl+a ctrl+c)
grep -qxF "$last" <<<"$candidates" || fail "the pick display shows '$last'"
xdotool key ctrl+h
wait_until 10 has_record || fail "Ctrl+H opened no record window again"
record_window=$(named '^抽取记录$')
wait_until 10 focused_on "$record_window" || fail "the record window did not take the focus"
record=$(copy_focused Tab space | tr -d '\r')
[ "$(printf '%s\n' "$record" | tail -n 1 | cut -f2-)" = "$(printf '2\t%s' "$last")" ] ||
  fail "the draw started in the view is not in the record as round 2: $record"
step "started in the view, stopped in the window: $last, round 2"

# --- closing stores NoRepeat ------------------------------------------------------------------
"$close_window" "$window" || fail "could not ask the window to close"
wait_until 15 app_ended || fail "the program did not end after its window was closed"
app_pid=""
conf="$XDG_CONFIG_HOME/Pellanor/Pellanor.conf"
grep -qxF "NoRepeat=1" "$conf" || fail "stored NoRepeat is wrong: $(cat "$conf" 2>/dev/null)"
step "stored: $(tr '\n' ' ' <"$conf")"
echo "e2e passed in $(elapsed_ms) ms"
