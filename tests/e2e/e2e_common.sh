# Shared by the end-to-end scripts, sourced with the script's own arguments (the program and
# close_window): a temporary folder and home, a private X display, timing, bounded waits, the
# program started on that display, and the usual clicks and clipboard reads.
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

elapsed_ms() { echo $(( ($(date +%s%N) - started) / 1000000 )); }
step() { printf '[%6d ms] %s\n' "$(elapsed_ms)" "$*"; }

# wait_until SECONDS COMMAND...: polls every 50 ms until the command succeeds.
wait_until() {
  local limit=$1; shift
  local deadline=$(( $(date +%s%N) + limit * 1000000000 ))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# start_private_xvfb WIDTHxHEIGHT: a display of our own, exported as DISPLAY.
# -noreset: without it the server resets whenever its last client leaves (an xdotool call,
# the first run of the program), and a program connecting during the reset is refused.
start_private_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(cat "$work/display")"
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

# Control centres in the window's client area at 96 dpi (the layout table's twips / 15),
# from the client origin X, Y that the sourcing script sets.
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) sleep 0.05 click 1; sleep 0.1; }
click_editor()   { click_at 144 248; }
click_start()    { click_at 244 20; }
click_choose()   { click_at 244 124; }
click_pick()     { click_at 144 49; }
click_interval() { click_at 48 97; }

clipboard() { xclip -o -selection clipboard 2>/dev/null; }
