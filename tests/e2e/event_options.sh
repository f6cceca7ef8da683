#!/usr/bin/env bash
# End-to-end, the options for the event and the lesson, under a real window manager
# (openbox) on a private Xvfb display with a temporary home, driven with real X input:
# 3 at once over 7 candidates without repeats gives 7 distinct names in 3 draws (3, 3, 1);
# with 缓停 the display goes on changing after the press and settles on what the record then
# holds; the small window (悬浮窗) stays over the presentation view, with the window
# minimised, and over another program full screen, which keeps the focus while two clicks
# on the small window's button run a draw and a drag moves it; closing stores DrawCount,
# SlowStop and Floating. Every wait is bounded.
# With ZORBALIN_E2E_SHOT=FILE.png the display is saved there with the small window over
# another one (for the docs), and on a failure.
set -euo pipefail

# shellcheck source=e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"
# shellcheck source=program_start.sh
source "$(dirname "$0")/program_start.sh" "$@"
for tool in openbox xmessage xprop xwininfo wmctrl; do
  command -v "$tool" >/dev/null || fail "missing $tool (make test installs it)"
done

wm_pid=""
other_pid=""
shot() { [ -z "${ZORBALIN_E2E_SHOT:-}" ] || import -window root "$ZORBALIN_E2E_SHOT" 2>/dev/null || true; }
trap 'status=$?; [ "$status" -eq 0 ] || shot; for pid in $other_pid $wm_pid $app_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done; cleanup' EXIT

# --- openbox first, so that the program's windows are managed from the start ---------------
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_until 15 wm_running || fail "openbox did not start: $(cat "$work/openbox.log")"
step "openbox runs"
start_program app.log
# xdotool counts the frame's title bar twice in a managed window's position: xwininfo's
# absolute corner is the client area's.
corner() { xwininfo -id "$1" | sed -n "s/ *Absolute upper-left $2: *//p"; }
X=$(corner "$window" X)
Y=$(corner "$window" Y)
step "client area at $X,$Y"

focused_on() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# The pick display's text (Ctrl+A, Ctrl+C in it), once the clipboard has it. While the draw
# runs, a tick between the two keys clears the selection: that copy is tried again.
pick_text() {
  has_clipboard() { [ -n "$(clipboard)" ]; }
  for _ in $(seq 20); do
    printf '' | xclip -i -selection clipboard >/dev/null 2>&1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    if wait_until 1 has_clipboard; then clipboard; return; fi
  done
  fail "nothing reached the clipboard"
}
# The menu on the pick display, and an entry counted from its end with Up (the newer options
# are its last entries: 每次抽取人数…, 缓停, 悬浮窗), or from its start with Down.
# The menu is the program's window that the window manager leaves alone (override-redirect),
# as it leaves the small window.
menu_open() {
  local id
  for id in $(xdotool search --onlyvisible --class '^zorbalin$' 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" != 'Zorbalin 悬浮窗' ] &&
      grep -q 'Override Redirect State: yes' <<<"$(xwininfo -id "$id" 2>/dev/null)" && return 0
  done
  return 1
}
menu_closed() { ! menu_open; }
choose_from_menu() {
  click_pick
  xdotool click 3
  wait_until 10 menu_open || fail "no menu opened on the pick display"
  # shellcheck disable=SC2046  # one key a word
  xdotool key $(printf "$1 %.0s" $(seq "$2")) Return
  wait_until 10 menu_closed || fail "the menu stayed open"
}
# The record copied with its 复制 button: time, draw, round, result.
copy_record() {
  xdotool key ctrl+h
  has_record() { [ -n "$(named '^抽取记录$')" ]; }
  wait_until 10 has_record || fail "Ctrl+H opened no record window"
  local record_window
  record_window=$(named '^抽取记录$')
  wait_until 10 focused_on "$record_window" || fail "the record window did not take the focus"
  printf '' | xclip -i -selection clipboard >/dev/null 2>&1
  xdotool key Tab space
  has_clipboard() { [ -n "$(clipboard)" ]; }
  wait_until 5 has_clipboard || fail "the record's 复制 copied nothing"
  clipboard | tr -d '\r'
  xdotool key Escape
  record_closed() { ! has_record; }
  wait_until 10 record_closed || fail "Esc left the record window open"
}

candidates=$'赵一\n钱二\n孙三\n李四\n周五\n吴六\n郑七'
click_editor
printf '%s' "$candidates" | xclip -i -selection clipboard >/dev/null 2>&1
xdotool key --clearmodifiers ctrl+v

# --- 不重复抽取, then 3 at once through the dialog --------------------------------------------
choose_from_menu Down 2
choose_from_menu Up 3
has_dialog() { [ -n "$(named '^每次抽取人数$')" ]; }
wait_until 10 has_dialog || fail "每次抽取人数… opened no dialog"
dialog=$(named '^每次抽取人数$')
wait_until 10 focused_on "$dialog" || fail "the dialog did not take the focus"
xdotool key ctrl+a type 3
xdotool key Return
dialog_closed() { ! has_dialog; }
wait_until 10 dialog_closed || fail "Enter left the dialog open"
step "不重复抽取 on, 3 at once"

click_pick
counts=()
drawn=()
for _ in 1 2 3; do
  xdotool key F5 F5
  shown=$(pick_text)
  mapfile -t names < <(sed 's/、/\n/g' <<<"$shown")
  counts+=("${#names[@]}")
  drawn+=("${names[@]}")
done
[ "${counts[*]}" = "3 3 1" ] || fail "the draws showed ${counts[*]} names (not 3 3 1): ${drawn[*]}"
[ "$(printf '%s\n' "${drawn[@]}" | sort)" = "$(sort <<<"$candidates")" ] ||
  fail "3 draws without repeats gave: ${drawn[*]}"
step "3 draws: ${counts[*]}: ${drawn[*]}"

# --- 缓停: the display goes on after the press and lands on the record's result --------------
choose_from_menu Up 2
click_pick
xdotool key F5
sleep 0.5
xdotool key F5  # the press: the result is decided now, the display slows down to it
pressed=$(date +%s%N)
seen=()
last=""
stable_since=$pressed
while :; do
  now=$(date +%s%N)
  [ $(( (now - pressed) / 1000000 )) -lt 8000 ] || fail "the display did not settle within 8 s: ${seen[*]}"
  shown=$(pick_text)
  if [ "$shown" != "$last" ]; then
    seen+=("$shown")
    last=$shown
    stable_since=$now
  elif [ $(( (now - stable_since) / 1000000 )) -ge 1500 ]; then
    break
  fi
done
[ "${#seen[@]}" -ge 2 ] || fail "the display did not change after the press: ${seen[*]}"
settled_ms=$(( (stable_since - pressed) / 1000000 ))
record=$(copy_record)
last_draw=$(tail -n 1 <<<"$record" | cut -f2)
result=$(awk -F'\t' -v draw="$last_draw" '$2 == draw { printf "%s%s", (n++ ? "、" : ""), $4 }' <<<"$record")
[ "$result" = "$last" ] || fail "the display settled on '$last', the record holds '$result': $record"
step "缓停: ${#seen[@]} displays after the press, settled after ${settled_ms} ms on $last"

# --- the small window: over the full-screen view and the minimised window, taking no focus ----
choose_from_menu Up 1
has_floating() { [ -n "$(named '^Zorbalin 悬浮窗$')" ]; }
wait_until 10 has_floating || fail "悬浮窗 opened no small window"
floating=$(named '^Zorbalin 悬浮窗$')
eval "$(xdotool getwindowgeometry --shell "$floating" | sed 's/^/F/')"  # FWIDTH, FHEIGHT
FX=$(corner "$floating" X)
FY=$(corner "$floating" Y)
step "small window $floating at $FX,$FY size ${FWIDTH}x$FHEIGHT"
(( FX + FWIDTH > 1024 / 2 && FY < 768 / 2 )) || fail "the small window is not near the top right: $FX,$FY"
focused_on "$floating" && fail "the small window took the focus when it opened"

# Whether window $1 is stacked over window $2: the root's children, topmost first, hold them
# (a managed window in its frame).
top_level() {
  local id tree
  id=$(printf '0x%x' "$1")
  while tree=$(xwininfo -id "$id" -tree 2>/dev/null) && ! grep -q 'Parent window id: .*(the root window)' <<<"$tree"; do
    id=$(sed -n 's/ *Parent window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$tree")
    [ -n "$id" ] || return 1
  done
  echo "$id"
}
above() {
  local stack over under
  stack=$(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p')
  over=$(grep -nx "$(top_level "$1")" <<<"$stack" | cut -d: -f1)
  under=$(grep -nx "$(top_level "$2")" <<<"$stack" | cut -d: -f1)
  [ -n "$over" ] && [ -n "$under" ] && [ "$over" -lt "$under" ]
}
click_pick
xdotool key F11
has_view() { [ -n "$(named '^Zorbalin 演示$')" ]; }
wait_until 10 has_view || fail "F11 opened no presentation view"
view=$(named '^Zorbalin 演示$')
wait_until 10 focused_on "$view" || fail "the presentation view did not take the focus"
above "$floating" "$view" || fail "the small window is under the presentation view"
xdotool key Escape
view_closed() { ! has_view; }
wait_until 10 view_closed || fail "Esc did not leave the presentation view"
xdotool windowminimize "$window"
minimised() { xprop -id "$window" WM_STATE | grep -q 'Iconic'; }
wait_until 10 minimised || fail "the window was not minimised"
sleep 0.3
has_floating || fail "the small window went with the minimised window"
step "the small window stays over the presentation view and with the window minimised"

# Another program has the focus full screen, as the slide show would.
xmessage -geometry 400x200+40+300 -name other 'another program' &
other_pid=$!
other_window() { xdotool search --onlyvisible --name '^other$' 2>/dev/null | head -n 1; }
has_other() { [ -n "$(other_window)" ]; }
wait_until 10 has_other || fail "xmessage did not appear"
other=$(other_window)
wmctrl -i -r "$other" -b add,fullscreen
full_screen() { xprop -id "$other" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }
wait_until 10 full_screen || fail "xmessage did not go full screen"
xdotool windowactivate "$other" 2>/dev/null || true
wait_until 10 focused_on "$other" || fail "xmessage did not get the focus"
wait_until 5 above "$floating" "$other" || fail "the small window is under the full-screen xmessage"
shot
button_x=$(( FX + FWIDTH / 2 ))
button_y=$(( FY + FHEIGHT - 20 ))  # the button's middle, 8 pixels over the bottom edge
for press in start stop; do
  xdotool mousemove "$button_x" "$button_y" sleep 0.05 click 1
  sleep 0.5  # slower than a double press
  focused_on "$other" || fail "the $press click on the small window took the focus from xmessage"
done
above "$floating" "$other" || fail "the small window went under the full-screen xmessage"
step "two clicks on the small window's button, xmessage kept the focus"
# Dragged by its pick (the middle of its upper half) to another place.
xdotool mousemove $((FX + FWIDTH / 2)) $((FY + FHEIGHT / 3)) mousedown 1 sleep 0.1 \
  mousemove_relative -- -100 50 sleep 0.1 mousemove_relative -- -100 50 sleep 0.1 mouseup 1
moved() { [ "$(corner "$floating" X),$(corner "$floating" Y)" = "$((FX - 200)),$((FY + 100))" ]; }
wait_until 5 moved || fail "the drag left the small window at $(corner "$floating" X),$(corner "$floating" Y)"
focused_on "$other" || fail "the drag took the focus from xmessage"
kill "$other_pid" 2>/dev/null || true
other_pid=""
xdotool windowactivate "$window" 2>/dev/null || true
wait_until 10 focused_on "$window" || fail "the window did not come back"
sleep 2.5  # the second click's 缓停 lands
click_pick
record=$(copy_record)
draws=$(cut -f2 <<<"$record" | sort -u | wc -l)
[ "$draws" -eq 5 ] || fail "the small window's two clicks made no draw: $record"
step "the small window's draw is the record's fifth"

# --- closing stores the options -----------------------------------------------------------
"$close_window" "$window" || fail "could not ask the window to close"
wait_until 15 app_ended || fail "the program did not end after its window was closed"
app_pid=""
conf="$XDG_CONFIG_HOME/Pellanor/Pellanor.conf"
for setting in DrawCount=3 SlowStop=1 Floating=1 NoRepeat=1; do
  grep -qxF "$setting" "$conf" || fail "stored $setting is wrong: $(cat "$conf" 2>/dev/null)"
done
# (QSettings quotes a text with a comma.)
grep -qxF "FloatingPosition=\"$((FX - 200)),$((FY + 100))\"" "$conf" ||
  fail "stored FloatingPosition is not where it was dragged to: $(cat "$conf")"
step "stored: $(tr '\n' ' ' <"$conf")"
echo "e2e passed in $(elapsed_ms) ms"
