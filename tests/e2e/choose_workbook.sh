#!/usr/bin/env bash
# End-to-end, a class list straight from Excel: the built program on a private Xvfb display
# with a temporary home, driven with real X input. Chooses a workbook that LibreOffice saved
# (tests/data/workbook-header-b.xlsx) through the real dialog, sees its names in the editor,
# draws one, closes the window; the workbook is byte for byte and time for time as it was,
# Path names it, and the next start shows the same names. Every wait is bounded.
set -euo pipefail

# shellcheck source=e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"
# shellcheck source=program_start.sh
source "$(dirname "$0")/program_start.sh" "$@"

names=$'张三\n李四\n王五\nÉmile Zola'
workbook="$work/class 3.xlsx"
cp "$(dirname "$0")/../data/workbook-header-b.xlsx" "$workbook"
touch -d '2024-09-01 08:00:00.123456789' "$workbook"
original=$(mktemp -p "$work")
cp -p "$workbook" "$original"
times() { stat -c '%.9Y %.9Z %i' "$1"; }  # modified, changed (ns) and inode
before=$(times "$workbook")
unchanged() {
  cmp -s "$workbook" "$original" || fail "$1: the workbook's bytes changed"
  [ "$(times "$workbook")" = "$before" ] || fail "$1: the workbook's times or inode changed"
  [ "$(ls -A "$work" | grep -c 'zorbalin')" = 0 ] || fail "$1: a file was left beside it: $(ls -A "$work")"
}

# Ctrl+A, Ctrl+C in the field under the last click, and its text once the clipboard has it.
copy_field() {
  printf '' | xclip -i -selection clipboard >/dev/null 2>&1
  xdotool key --clearmodifiers ctrl+a ctrl+c
  has_clipboard() { [ -n "$(clipboard)" ]; }
  wait_until 5 has_clipboard || true
  clipboard
}
editor_shows_names() { click_editor; [ "$(copy_field)" = "$names" ]; }

start_program app.log

# --- the workbook through the real dialog --------------------------------------------------
click_editor
xdotool type --delay 30 'typed before'
click_choose
has_dialog() { [ -n "$(named '^选择一个文件$')" ]; }
dialog_gone() { ! has_dialog; }
wait_until 15 has_dialog || fail "the open-file dialog did not appear"
sleep 0.5
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$workbook"
xdotool key Return
wait_until 15 dialog_gone || fail "the dialog did not close"
wait_until 15 editor_shows_names || fail "the editor does not show the workbook's names: '$(copy_field)'"
step "the workbook's names are in the editor"
unchanged "after choosing it"

click_start
sleep 0.4
click_start
click_pick
result=$(copy_field)
grep -qxF "$result" <<<"$names" || fail "the draw shows '$result', not one of the names"
step "draw from the workbook: $result"

# --- closing remembers the workbook -----------------------------------------------------------
"$close_window" "$window" || fail "could not ask the window to close"
wait_until 15 app_ended || fail "the program did not end after its window was closed"
app_pid=""
conf="$XDG_CONFIG_HOME/Pellanor/Pellanor.conf"
grep -qxF "Path=$workbook" "$conf" || fail "stored Path is wrong: $(cat "$conf" 2>/dev/null)"
unchanged "after closing"
step "stored: $(tr '\n' ' ' <"$conf")"

# --- the next start reads it again the same way ---------------------------------------------
start_program app2.log
wait_until 15 editor_shows_names || fail "the next start does not show the names: '$(copy_field)'"
"$close_window" "$window" || fail "could not ask the window to close"
wait_until 15 app_ended || fail "the program did not end after its window was closed"
app_pid=""
unchanged "after the next start"
step "the next start showed the same names; the workbook is as it was"
echo "e2e passed in $(elapsed_ms) ms"
