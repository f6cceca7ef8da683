#!/usr/bin/env bash
# End-to-end on Windows' terms: starts the real zorbalin.exe under Wine on an X display and
# uses it as a person would, with real X input events from xdotool: tidies the interval
# field, types candidates, runs and stops a draw, chooses a GBK file with a Chinese name
# through Wine's common dialog, closes the window, and checks the file's bytes and what was
# stored in the registry; a second run must show the remembered file. Every wait is bounded.
#
# Runs in the Wine prefix and on the display it is given (tools/run-windows-tests.sh gives
# a fresh prefix and a private Xvfb); without them it makes its own and removes them after.
# Usage: drive_zorbalin_exe.sh PATH/TO/zorbalin.exe
# With ZORBALIN_E2E_SHOT=FILE.png a failure also leaves a screenshot of the display there.
set -euo pipefail

# shellcheck source=wine_start.sh
source "$(dirname "$0")/wine_start.sh" "$@"


# Prints the text of the focused edit control (Wine hands CR LF to X as LF). Edit controls
# have no Ctrl+A in Wine: the selection is made with the keys that every edit control has.
# A Ctrl+C sent in the same burst as the selecting keys was at times lost under Wine, so the
# copy (Ctrl+Insert, as in every edit control) is a key stroke of its own, and repeated.
copy_field() {
  local placeholder="nothing copied $RANDOM"
  put_clipboard "$placeholder"
  for _ in 1 2 3; do
    xdotool key --clearmodifiers --delay 50 ctrl+Home ctrl+shift+End
    xdotool sleep 0.2 key --clearmodifiers ctrl+Insert
    wait_until 3 clipboard_is_not "$placeholder" && break
  done
  clipboard
}
paste_text() {  # CJK text cannot be typed by xdotool, so it comes through the clipboard
  put_clipboard "$1"
  xdotool key --clearmodifiers ctrl+v
}
expect_pick() {  # expect_pick CANDIDATE...: the pick display shows one of them
  click_pick
  local shown; shown=$(copy_field)
  for candidate in "$@"; do [ "$shown" = "$candidate" ] && { step "pick: $shown"; return; }; done
  fail "the pick display shows '$shown', not one of: $*"
}

start_window

# --- the interval field tidies itself when the focus leaves it ---------------------------
click_interval
xdotool key --clearmodifiers ctrl+Home ctrl+shift+End
xdotool type --delay 30 '120ms'
xdotool key Tab
# Read back through what Start takes from the field and closing stores (Interval=120
# below): copying the field right after the focus came back to it was lost under Wine in
# most runs, while the same keys a moment later copy it.
step "interval field typed and left"

# --- typed candidates, a draw, the result; the draw tidied the editor ----------------------
click_editor
xdotool type --delay 30 'alpha'
xdotool key Return
xdotool type --delay 30 'beta'
xdotool key Return
paste_text '张三'
xdotool key Return Return
click_start
sleep 0.5  # let it scroll a while: nothing to await
click_start
expect_pick alpha beta 张三
click_editor
editor=$(copy_field)
[ "$editor" = "$(printf 'alpha\nbeta\n张三')" ] || fail "the editor was not tidied: '$editor'"

# --- a GBK file with LF line ends and a Chinese name, through the real dialog --------------
list="$work/班级 名单.txt"
printf '\xd5\xc5\xc8\xfd\n\n\n\xc0\xee\xcb\xc4\n' >"$list"   # 张三 LF LF LF 李四 LF
list_windows="Z:${list//\//\\}"
click_choose
dialog_id() { xdotool search --onlyvisible --name '.' | grep -vx "$window" | head -n 1; }
has_dialog() { [ -n "$(dialog_id)" ]; }
wait_until 30 has_dialog || fail "the open-file dialog did not appear"
dialog=$(dialog_id)
eval "$(xdotool getwindowgeometry --shell --prefix D_ "$dialog")"
step "dialog '$(xdotool getwindowname "$dialog")' at $D_X,$D_Y"
xdotool mousemove $((D_X + D_WIDTH / 2)) $((D_Y + 20))  # keys go where the pointer is
xdotool key --clearmodifiers ctrl+a                     # the file name field has the focus
paste_text "$list_windows"
xdotool key Return
dialog_gone() { ! xdotool search --onlyvisible --name '.' | grep -qx "$dialog"; }
wait_until 30 dialog_gone || fail "the dialog did not take the typed file name"
tidied() { cmp -s "$list" <(printf '\xd5\xc5\xc8\xfd\n\xc0\xee\xcb\xc4'); }
wait_until 30 tidied || fail "the chosen file was not tidied in GBK with LF: $(od -An -tx1 "$list")"
step "chosen file tidied and written back in GBK with LF line ends"
click_editor
editor=$(copy_field)
[ "$editor" = "$(printf '张三\n李四')" ] || fail "the editor does not show the chosen file: '$editor'"
click_start
sleep 0.3
click_start
expect_pick 张三 李四

# --- closing stores the path and the interval in the registry -------------------------------
close_program
timeout 60 "$wine" reg export "$key\\Nomal" 'Z:'"${work//\//\\}"'\settings.reg' /y \
  >/dev/null 2>&1 || fail "no settings were stored under $key\\Nomal"
stored=$(iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r')
grep -qxF "\"Path\"=\"${list_windows//\\/\\\\}\"" <<<"$stored" || fail "stored Path is wrong: $stored"
grep -qxF '"Interval"="120"' <<<"$stored" || fail "stored Interval is wrong: $stored"
step "stored: $(grep '^"' <<<"$stored" | tr '\n' ' ')"

# --- the next run shows the remembered file ------------------------------------------------
start_window
click_editor
editor=$(copy_field)
[ "$editor" = "$(printf '张三\n李四')" ] || fail "the remembered file was not loaded: '$editor'"
close_program
step "second run showed the remembered file"
echo "Windows e2e passed in $(elapsed_ms) ms"
