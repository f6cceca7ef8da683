#!/usr/bin/env bash
# End-to-end on Windows' terms, a class list straight from Excel: the real zorbalin.exe
# under Wine on an X display, driven with real X input. Chooses a workbook that LibreOffice
# saved (tests/data/workbook-header-b.xlsx, under a Chinese name) through Wine's common
# dialog, sees its names in the editor, draws one, closes the window; the workbook is byte
# for byte and time for time as it was, Path in the registry names it, and the next start
# shows the same names. Every wait is bounded.
#
# Runs in the Wine prefix and on the display it is given (tools/run-windows-tests.sh gives
# a fresh prefix and a private Xvfb); without them it makes its own and removes them after.
# Usage: choose_workbook_exe.sh PATH/TO/zorbalin.exe
# With ZORBALIN_E2E_SHOT=FILE.png a failure also leaves a screenshot of the display there.
set -euo pipefail

# shellcheck source=wine_start.sh
source "$(dirname "$0")/wine_start.sh" "$@"


# The copying key is a stroke of its own, repeated (see copy_with).
copy_field() {  # the text of the focused edit control (CR LF reaches X as LF)
  local placeholder="nothing copied $RANDOM"
  put_clipboard "$placeholder"
  for _ in 1 2 3; do
    xdotool key --clearmodifiers --delay 50 ctrl+Home ctrl+shift+End
    xdotool sleep 0.2 key --clearmodifiers ctrl+Insert
    wait_until 3 clipboard_is_not "$placeholder" && break
  done
  clipboard
}

names=$'张三\n李四\n王五\nÉmile Zola'
workbook="$work/三年二班 名单.xlsx"
workbook_windows="Z:${workbook//\//\\}"
cp "$(dirname "$0")/../../data/workbook-header-b.xlsx" "$workbook"
touch -d '2024-09-01 08:00:00.123456789' "$workbook"
original="$work/original.bytes"
cp "$workbook" "$original"
times() { stat -c '%.9Y %.9Z %i' "$1"; }  # modified, changed (ns) and inode
before=$(times "$workbook")
unchanged() {
  cmp -s "$workbook" "$original" || fail "$1: the workbook's bytes changed"
  [ "$(times "$workbook")" = "$before" ] || fail "$1: the workbook's times or inode changed"
  [ "$(ls -A "$work" | grep -c 'zorbalin')" = 0 ] || fail "$1: a file was left beside it: $(ls -A "$work")"
}
editor_shows_names() { click_editor; [ "$(copy_field)" = "$names" ]; }

start_window

# --- the workbook through the real dialog --------------------------------------------------
click_choose
dialog_id() { xdotool search --onlyvisible --name '.' | grep -vx "$window" | head -n 1; }
has_dialog() { [ -n "$(dialog_id)" ]; }
wait_until 30 has_dialog || fail "the open-file dialog did not appear"
dialog=$(dialog_id)
eval "$(xdotool getwindowgeometry --shell --prefix D_ "$dialog")"
step "dialog '$(xdotool getwindowname "$dialog")' at $D_X,$D_Y"
xdotool mousemove $((D_X + D_WIDTH / 2)) $((D_Y + 20))  # keys go where the pointer is
xdotool key --clearmodifiers ctrl+a                     # the file name field has the focus
put_clipboard "$workbook_windows"
xdotool key --clearmodifiers ctrl+v
xdotool key Return
dialog_gone() { ! xdotool search --onlyvisible --name '.' | grep -qx "$dialog"; }
wait_until 30 dialog_gone || fail "the dialog did not take the typed file name"
wait_until 30 editor_shows_names || fail "the editor does not show the workbook's names: '$(copy_field)'"
step "the workbook's names are in the editor"
unchanged "after choosing it"

click_start
sleep 0.3
click_start
click_pick
result=$(copy_field)
grep -qxF "$result" <<<"$names" || fail "the draw shows '$result', not one of the names"
step "draw from the workbook: $result"

# --- closing remembers the workbook in the registry ------------------------------------------
close_program
timeout 60 "$wine" reg export "$key\\Nomal" 'Z:'"${work//\//\\}"'\settings.reg' /y \
  >/dev/null 2>&1 || fail "no settings were stored under $key\\Nomal"
stored=$(iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r')
rm "$work/settings.reg"
grep -qxF "\"Path\"=\"${workbook_windows//\\/\\\\}\"" <<<"$stored" || fail "stored Path is wrong: $stored"
unchanged "after closing"
step "stored: $(grep '^"' <<<"$stored" | tr '\n' ' ')"

# --- the next start reads it again the same way ---------------------------------------------
start_window
wait_until 30 editor_shows_names || fail "the next start does not show the names: '$(copy_field)'"
close_program
unchanged "after the next start"
step "the next start showed the same names; the workbook is as it was"
echo "Windows e2e passed in $(elapsed_ms) ms"
