#!/usr/bin/env bash
# End-to-end, the window on a Chinese desktop with a 16 pt system font (qt6ct, Fusion) and a
# screen reader on (AT-SPI on a private session bus), on a private Xvfb display with a
# temporary home, driven with real X input: the window is larger than designed and its
# captions have the room of their characters; Qt's own texts in the editor's menu are
# Chinese; a screen reader hears no text changes of the pick display while a draw scrolls,
# hears the result once, and finds it in the presentation view, a window named by its title.
# Every wait is bounded. With ZORBALIN_E2E_SHOT=FILE.png the window is saved there.
set -euo pipefail

# A session bus of our own, for the accessibility bus and its registry.
if [ -z "${ZORBALIN_E2E_OWN_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "missing dbus-run-session (make test installs it)" >&2; exit 1; }
  ZORBALIN_E2E_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

# shellcheck source=e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"
# shellcheck source=program_start.sh
source "$(dirname "$0")/program_start.sh" "$@"
probe_script="$(dirname "$(realpath "$0")")/screen_reader_probe.py"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || fail "missing $launcher (make test installs at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "missing pyatspi (make test installs python3-pyatspi)"
[ -n "$(locale -a | grep -ix 'zh_CN.utf-\?8')" ] || fail "missing the zh_CN.UTF-8 locale (make test makes it)"

bus_pid=""
listener_pid=""
shot() { [ -z "${ZORBALIN_E2E_SHOT:-}" ] || import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" "$ZORBALIN_E2E_SHOT" 2>/dev/null || true; }
# The listener and the bus are ours alone: killed outright, never waited for.
trap 'for pid in $listener_pid $bus_pid; do kill -9 "$pid" 2>/dev/null || true; done; cleanup' EXIT
probe() { timeout 20 /usr/bin/python3 "$probe_script" "$@"; }

# --- the screen reader's bus, turned on as a screen reader turns it on ------------------------
"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
bus_pid=$!
disown "$bus_pid"
a11y_bus() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress; }
wait_until 10 a11y_bus || fail "the accessibility bus did not start: $(cat "$work/bus.log")"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
  string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null
step "accessibility bus on"

# --- a 16 pt system font, and the Chinese locale ------------------------------------------------
mkdir -p "$XDG_CONFIG_HOME/qt6ct"
cat >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf" <<'EOF'
[Appearance]
style=Fusion
[Fonts]
general="Sans Serif,16,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
fixed="Monospace,16,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
EOF
QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=qt6ct LANG=zh_CN.UTF-8 LC_ALL='' LANGUAGE='' "$binary" >"$work/app.log" 2>&1 &
app_pid=$!
wait_until 30 has_window || fail "the window did not appear: $(cat "$work/app.log")"
window=$(main_window)
eval "$(xdotool getwindowgeometry --shell "$window")"
step "window $window at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" -gt 288 ] && [ "$HEIGHT" -gt 361 ] || fail "the window did not grow with the font: ${WIDTH}x$HEIGHT"

# --- every caption has the room of its characters: a Chinese character of 16 pt at 96 dpi is
# 21 pixels wide, and a button needs a few pixels of frame besides ------------------------------
on_bus() { [[ "$(probe controls)" == *开始滚动* ]]; }
wait_until 20 on_bus || fail "the window is not on the accessibility bus"
controls=$(probe controls)
while IFS=$'\t' read -r role name width _; do
  chinese=$(printf '%s' "$name" | LC_ALL=C.UTF-8 grep -oP '\p{Han}' | wc -l)
  frame=0; [ "$role" != "push button" ] || frame=8
  needed=$(( chinese * 21 + frame ))
  [ "$width" -ge "$needed" ] || fail "$role '$name' is $width pixels wide, its caption needs $needed: $controls"
done < <(grep -E '开始滚动|选择文件|选中项|滚动频率|备选项' <<<"$controls")
step "captions have room: $(grep -E '开始滚动|选择文件' <<<"$controls" | cut -f2,3 | tr '\t\n' '= ')"
shot

# --- a screen reader listening ------------------------------------------------------
/usr/bin/python3 "$probe_script" listen "$work/heard" &
listener_pid=$!
disown "$listener_pid"
listening() { grep -q listening "$work/heard"; }
wait_until 20 listening || fail "the listener did not start"

# --- Qt's own texts: the editor's menu, its items heard as the keyboard goes through them -------
click_at $((WIDTH / 2)) $((HEIGHT * 3 / 4))
candidates=$'赵一\n钱二\n孙三\n李四\n周五'
printf '%s' "$candidates" | xclip -i -selection clipboard >/dev/null 2>&1
xdotool key --clearmodifiers ctrl+v
sleep 0.5
xdotool click 3
sleep 0.5
for _ in 1 2 3 4 5 6 7 8 9 10; do xdotool key Down; sleep 0.05; done
xdotool key Escape
focused() { grep -q $'^object:state-changed:focused\tmenu item\t保存名单' "$work/heard"; }
wait_until 10 focused || fail "the editor's menu did not reach 保存名单: $(tail -n 12 "$work/heard" | tr '\n' '|')"
items=$(grep $'^object:state-changed:focused\tmenu item' "$work/heard" | cut -f3 | sort -u)
for wanted in 撤消 粘贴 全选 保存名单; do
  grep -q "$wanted" <<<"$items" || fail "the editor's menu has no $wanted: $(tr '\n' '|' <<<"$items")"
done
step "the editor's menu: $(tr '\n' '|' <<<"$items")"

# --- a draw as a screen reader hears it: no text changes while it scrolls, the result once -----
xdotool key F5
sleep 2  # about 40 ticks at 50 ms
xdotool key F5
announced() { grep -q $'accessible-name\t.*\t抽取结果：' "$work/heard"; }
wait_until 10 announced || fail "the result was not announced: $(tail -n 5 "$work/heard")"
changes=$(grep -cE $'^object:text-changed:(insert|delete)\t[^\t]*\t('"$(paste -sd '|' <<<"$candidates")"')$' "$work/heard" || true)
[ "$changes" -le 2 ] || fail "the screen reader heard $changes text changes of the pick display in 2 s of scrolling"
result=$(grep $'accessible-name\t.*\t抽取结果：' "$work/heard" | tail -n 1 | cut -f3)
[ "$(grep -c $'accessible-name\t.*\t抽取结果：' "$work/heard")" -eq 1 ] || fail "the result was announced more than once"
step "heard $changes text changes while scrolling, then '$result'"

xdotool key F11
view_told() { [ "$(probe window 'Zorbalin 演示' | cut -f3)" = "${result#抽取结果：}" ]; }
wait_until 10 view_told || fail "the presentation view tells a screen reader: $(probe window 'Zorbalin 演示')"
view=$(probe window 'Zorbalin 演示')
[ "$(cut -f1 <<<"$view")" = frame ] || fail "the presentation view is a $(cut -f1 <<<"$view") to a screen reader"
step "the presentation view: $(tr '\t' ' ' <<<"$view")"
xdotool key Escape

"$close_window" "$window" || fail "could not ask the window to close"
wait_until 15 app_ended || fail "the program did not end after its window was closed"
app_pid=""
echo "e2e passed in $(elapsed_ms) ms"
