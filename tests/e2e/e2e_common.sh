# Shared by the end-to-end scripts (sourced, not run): timing, bounded waits and a private
# X display. The sourcing script sets `started` (date +%s%N), `work` (its temporary folder)
# and `xvfb_pid`, and defines fail().

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

# Control centres in the window's client area at 96 dpi (the layout table's twips / 15),
# from the client origin X, Y that the sourcing script sets.
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) sleep 0.05 click 1; sleep 0.1; }
click_editor()   { click_at 144 248; }
click_start()    { click_at 244 20; }
click_choose()   { click_at 244 124; }
click_pick()     { click_at 144 49; }
click_interval() { click_at 48 97; }

clipboard() { xclip -o -selection clipboard 2>/dev/null; }
