# Sourced by an end-to-end script after e2e_common.sh, with the script's own arguments (the
# program and close_window): a temporary folder and home, fail(), a private X display, and
# start_program to start the program on it.
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

# start_program LOG: the program on the private display, its output in $work/LOG; sets
# app_pid, window and the window's geometry X, Y, WIDTH, HEIGHT.
named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
main_window() { named '^Zorbalin$' | head -n 1; }
has_window() { [ -n "$(main_window)" ]; }
start_program() {
  QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$binary" >"$work/$1" 2>&1 &
  app_pid=$!
  wait_until 30 has_window || fail "the window did not appear: $(cat "$work/$1")"
  window=$(main_window)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  step "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
}
# Gone, or a zombie that the shell has not reaped yet.
app_ended() { [ ! -e "/proc/$app_pid" ] || [ "$(cut -d' ' -f3 "/proc/$app_pid/stat" 2>/dev/null)" = Z ]; }

# Every script runs with a temporary home (settings included) on a display of its own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
start_private_xvfb 1024x768
step "Xvfb on $DISPLAY"
