# The start of every end-to-end script on Windows' terms, sourced with the script's own
# arguments: the exe, the tools, a temporary work folder that cleanup removes, fail, the
# display and the Wine prefix (the ones given by tools/run-windows-tests.sh, or our own,
# removed after), and our settings key cleared inside that prefix.
# Before sourcing, a script may set extra_tools (more commands it needs) and later add
# the pids of other programs it starts to also_killed.
exe=$(realpath "$1")
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
for tool in "$wine" xdotool xclip iconv ${extra_tools:-}; do
  command -v "$tool" >/dev/null || { echo "missing $tool (make windows-deps installs it)" >&2; exit 1; }
done
export WINEDEBUG=-all LANG=${LANG:-zh_CN.UTF-8}

started=$(date +%s%N)
work=$(mktemp -d /tmp/zorbalin-e2e.XXXXXX)
own_prefix="" xvfb_pid="" app_pid="" also_killed=""
cleanup() {
  local pid
  for pid in $app_pid $also_killed; do kill "$pid" 2>/dev/null || true; done
  [ -n "$own_prefix" ] && { timeout 30 wineserver -k >/dev/null 2>&1 || true; }
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${ZORBALIN_E2E_SHOT:-}" ]; then import -window root "$ZORBALIN_E2E_SHOT" 2>/dev/null || true; fi
  exit 1
}
# shellcheck source=../../e2e/e2e_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../e2e/e2e_common.sh"

# The display first: a prefix booted without one keeps a desktop process that refuses
# every window made later.
if [ -z "${DISPLAY:-}" ]; then
  start_private_xvfb 1280x1024
fi
if [ -z "${WINEPREFIX:-}" ]; then
  own_prefix="$work/prefix"
  export WINEPREFIX=$own_prefix
  timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
fi
step "prefix $WINEPREFIX, display $DISPLAY"

# Our settings key only, inside the test's own prefix.
key='HKCU\Software\VB and VBA Program Settings\Pellanor'
timeout 60 "$wine" reg delete "$key" /f >/dev/null 2>&1 || true

# The program's windows by title.
named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true; }
shown() { [ -n "$(named "$1")" ]; }
hidden() { ! shown "$1"; }
app_ended() {  # gone, or a zombie that the shell has not reaped yet
  [ ! -e "/proc/$app_pid" ] || [ "$(cut -d' ' -f3 "/proc/$app_pid/stat" 2>/dev/null)" = Z ]
}

# xclip serves the clipboard from a process of its own that may take hold of it a moment
# after it was started: put_clipboard returns once the clipboard holds the text. Before each
# copy the clipboard holds a placeholder, and the copying keys are repeated, since a key
# stroke in a burst was at times lost under Wine.
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
clipboard_is_not() { ! clipboard_is "$1"; }
put_clipboard() {
  printf '%s' "$1" | xclip -i -selection clipboard >/dev/null 2>&1
  wait_until 5 clipboard_is "$1" || fail "the clipboard did not take '$1'"
}
copy_with() {  # copy_with KEYS...: what the keys put on the clipboard, CR LF read as LF
  local placeholder="nothing copied $RANDOM"
  put_clipboard "$placeholder"
  for _ in 1 2 3; do
    xdotool sleep 0.2 key --clearmodifiers --delay 50 "$@"
    wait_until 3 clipboard_is_not "$placeholder" && break
  done
  clipboard_is_not "$placeholder" || fail "keys $* copied nothing"
  clipboard | tr -d '\r'
}

# The program's window started and focused, as a window manager would focus a new window;
# X, Y are then its client area's origin.
start_window() {
  "$wine" "$exe" >"$work/app.log" 2>&1 &
  app_pid=$!
  wait_until 60 shown '^Zorbalin$' || fail "the window did not appear: $(cat "$work/app.log")"
  window=$(named '^Zorbalin$')
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool windowfocus --sync "$window"
  step "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
}
close_program() {  # as a user would: Alt+F4 with the pointer over the window
  xdotool mousemove $((X + 144)) $((Y + 130)) key --clearmodifiers alt+F4
  wait_until 30 app_ended || fail "the program did not end after Alt+F4"
  app_pid=""
}
# The program's menu is its other visible window while none else is open but the small
# window (its tooltip too: the pointer stays off the pick display while the menu is in use).
# Here-strings, not pipes, into grep -q: under pipefail a writer cut off by its early exit
# would fail the test.
menu_open() {
  grep -qvxE "$window|${floating:-none}" <<<"$(xdotool search --onlyvisible --class '^zorbalin\.exe$' 2>/dev/null)"
}
menu_closed() { ! menu_open; }
copy_pick() {
  click_pick
  copy_with ctrl+Home ctrl+shift+End ctrl+Insert
}
copy_record() {  # Ctrl+H, then the 复制 button (Tab from the list) pressed with Space; left open
  xdotool key --clearmodifiers ctrl+h
  wait_until 20 shown '^抽取记录$' || fail "Ctrl+H opened no record window"
  copy_with Tab space
}
