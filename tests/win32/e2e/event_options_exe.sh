#!/usr/bin/env bash
# End-to-end, the options for the event and the lesson on Windows' terms: the real
# zorbalin.exe under Wine on an X display, driven with real X input. Sets 3 per draw over 7
# candidates without repeats and sees the 7 names once each in draws of 3, 3 and 1; turns on
# 缓停 and sees the display change after the press and settle on what the record then holds;
# opens the small window over the slides, gives Wine's notepad the focus, presses the small
# window's button twice and drags it, and notepad still takes the keys; closing stores
# DrawCount, SlowStop, Floating and where the small window was left. Every wait is bounded.
#
# Runs in the Wine prefix and on the display it is given (tools/run-windows-tests.sh gives
# a fresh prefix and a private Xvfb); without them it makes its own and removes them after.
# Usage: event_options_exe.sh PATH/TO/zorbalin.exe
# With ZORBALIN_E2E_SHOT=FILE.png a failure also leaves a screenshot of the display there;
# with ZORBALIN_FLOATING_SHOT=FILE.png the small window over notepad is kept there.
set -euo pipefail

# Chinese whatever the caller's language: in another, the names would show as boxes, alike in
# the pictures compared below.
export LANG=zh_CN.UTF-8
extra_tools="scrot md5sum"
# shellcheck source=wine_start.sh
source "$(dirname "$0")/wine_start.sh" "$@"

# The menu on the pick display, then Up so many times from its end and Return; with a title,
# the dialog that the entry opens is awaited instead of the menu's end.
choose_from_end() {
  click_pick
  xdotool mousemove $((X + WIDTH + 200)) $((Y + HEIGHT + 200))
  xdotool key --clearmodifiers shift+F10
  wait_until 20 menu_open || fail "no menu opened on the pick display"
  local keys=()
  for _ in $(seq "$1"); do keys+=(Up); done
  xdotool key "${keys[@]}" Return
  if [ -n "${2:-}" ]; then
    wait_until 20 shown "$2" || fail "the menu's entry opened no $2"
  else
    wait_until 20 menu_closed || fail "the menu stayed open"
  fi
}

copy_and_close_record() {  # the record copied, then closed with Alt+F4
  copy_record
  xdotool key --clearmodifiers alt+F4
  wait_until 20 hidden '^抽取记录$' || fail "Alt+F4 did not close the record window"
}
# The results of the record's last draw (its rows: time, draw, round, result), joined as the
# pick display joins them.
last_draw() {
  local last; last=$(tail -n 1 <<<"$1" | cut -f2)
  awk -F'\t' -v draw="$last" '$2 == draw {printf "%s%s", joint, $4; joint = "、"}' <<<"$1"
}
names_of() { sed 's/、/\n/g' <<<"$1"; }

start_window

candidates=$'张三\n李四\n王五\n赵六\n钱七\n孙八\n周九'
click_editor
put_clipboard "$candidates"
xdotool key --clearmodifiers ctrl+v

# --- without repeats, 3 per draw: 3, 3 and the 1 left -----------------------------------
choose_from_end 6  # 不重复抽取
choose_from_end 3 '^每次抽取人数$'  # 每次抽取人数…
xdotool key --clearmodifiers ctrl+Home shift+End 3 Return  # the field has the focus
wait_until 20 hidden '^每次抽取人数$' || fail "Enter did not close the dialog"
drawn=()
for size in 3 3 1; do
  xdotool key --clearmodifiers F5 F5
  pick=$(copy_pick)
  [ "$(names_of "$pick" | wc -l)" -eq "$size" ] || fail "a draw of $size showed '$pick'"
  drawn+=("$pick")
done
[ "$(for pick in "${drawn[@]}"; do names_of "$pick"; done | sort)" = "$(sort <<<"$candidates")" ] ||
  fail "3 per draw without repeats gave: ${drawn[*]}"
step "drawn 3, 3, 1: ${drawn[*]}"

# --- 缓停: the display goes on changing after the press, and lands on the record's result --
choose_from_end 2  # 缓停
click_editor  # no caret in the pick display, whose picture is compared below
pick_area="$((X + 8)),$((Y + 40)),273,18"  # Text1 at 96 dpi
shot() { scrot -o -a "$pick_area" "$work/pick.png" && md5sum <"$work/pick.png"; }
xdotool key --clearmodifiers F5
sleep 0.5
xdotool key --clearmodifiers F5
pressed=$(date +%s%N)
pictures=()
while [ $(( ($(date +%s%N) - pressed) / 1000000 )) -lt 1500 ]; do pictures+=("$(shot)"); sleep 0.05; done
[ "$(printf '%s\n' "${pictures[@]}" | sort -u | wc -l)" -ge 2 ] ||
  fail "the pick display did not change after the press (${#pictures[@]} pictures)"
settled() { local a; a=$(shot); sleep 0.6; [ "$(shot)" = "$a" ]; }
wait_until 20 settled || fail "the pick display did not settle"
landed=$(copy_pick)
record=$(copy_and_close_record)
[ "$(last_draw "$record")" = "$landed" ] || fail "landed on '$landed', the record holds: $record"
step "缓停: ${#pictures[@]} pictures, $(printf '%s\n' "${pictures[@]}" | sort -u | wc -l) different, landed on $landed"
draws_before=$(tail -n 1 <<<"$record" | cut -f2)

# --- the small window: notepad keeps the keys through two presses and a drag -------------
click_editor
choose_from_end 1 '^Zorbalin 悬浮窗$'  # 悬浮窗
floating=$(named '^Zorbalin 悬浮窗$')
"$wine" notepad >"$work/notepad.log" 2>&1 &
notepad_pid=$!
also_killed=$notepad_pid
wait_until 60 shown '记事本|Notepad' || fail "notepad did not start"
notepad=$(named '记事本|Notepad')
eval "$(xdotool getwindowgeometry --shell --prefix N_ "$notepad")"
xdotool mousemove $((N_X + 100)) $((N_Y + 150))
xdotool windowfocus --sync "$notepad"
sleep 0.5
xdotool type --delay 50 abc
eval "$(xdotool getwindowgeometry --shell --prefix F_ "$floating")"
step "small window $floating at $F_X,$F_Y, notepad $notepad"
# Its button fills the bottom of its 240 x 132 client area (1 pixel of frame) at 96 dpi.
xdotool mousemove $((F_X + 121)) $((F_Y + 109)) click 1
sleep 1  # a second press soon after would be taken for a bounce
xdotool click 1
sleep 3  # 缓停 lands
xdotool type --delay 50 xyz
# Dragged by its pick, in steps as a hand drags.
xdotool mousemove $((F_X + 60)) $((F_Y + 40)) mousedown 1
for _ in $(seq 8); do xdotool sleep 0.05 mousemove_relative -- -40 20; done
xdotool mouseup 1
eval "$(xdotool getwindowgeometry --shell --prefix G_ "$floating")"
[ "$G_X,$G_Y" = "$((F_X - 320)),$((F_Y + 160))" ] || fail "the small window went from $F_X,$F_Y to $G_X,$G_Y"
xdotool type --delay 50 123
# The picture of the small window over notepad: with no window manager on this display
# nothing keeps a topmost window above one mapped after it (Windows does), so it is raised.
if [ -n "${ZORBALIN_FLOATING_SHOT:-}" ]; then
  xdotool windowraise "$floating"
  sleep 0.5
  scrot -o -a "$N_X,$N_Y,$((G_X + F_WIDTH + 40 - N_X)),$((G_Y + F_HEIGHT + 40 - N_Y))" "$ZORBALIN_FLOATING_SHOT"
fi
xdotool mousemove $((N_X + 100)) $((N_Y + 150))
typed=$(copy_with ctrl+Home ctrl+shift+End ctrl+Insert)
[ "$typed" = abcxyz123 ] || fail "notepad lost the keys to the small window: it holds '$typed'"
step "notepad kept the keys: $typed; the small window moved to $G_X,$G_Y"
kill "$notepad_pid" 2>/dev/null || true
notepad_pid="" also_killed=""
wait_until 20 hidden '记事本|Notepad' || fail "notepad did not end"

xdotool windowfocus --sync "$window"
click_editor
record=$(copy_and_close_record)
[ "$(tail -n 1 <<<"$record" | cut -f2)" = $((draws_before + 1)) ] ||
  fail "two presses of the small window's button were not one draw: $record"
step "the two presses were one draw: $(last_draw "$record")"

# --- closing stores the options ---------------------------------------------------------
xdotool mousemove $((X + 144)) $((Y + 130)) key --clearmodifiers alt+F4
wait_until 30 app_ended || fail "the program did not end after Alt+F4"
app_pid=""
timeout 60 "$wine" reg export "$key\\Nomal" 'Z:'"${work//\//\\}"'\settings.reg' /y \
  >/dev/null 2>&1 || fail "no settings were stored under $key\\Nomal"
stored=$(iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r')
for value in '"NoRepeat"="1"' '"DrawCount"="3"' '"SlowStop"="1"' '"Floating"="1"' \
             "\"FloatingPosition\"=\"$G_X,$G_Y\""; do
  grep -qxF "$value" <<<"$stored" || fail "not stored: $value in $stored"
done
step "stored: $(grep '^"' <<<"$stored" | tr '\n' ' ')"
echo "Windows event options e2e passed in $(elapsed_ms) ms"
