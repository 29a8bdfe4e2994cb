#!/usr/bin/env bash
# A placement saved on a bigger screen comes back whole on an 800x600 one: title bar
# and borders included, also when start-up shows the additional-sites panel.
source "$(dirname "$0")/lib.bash"

command -v openbox >/dev/null || fail "openbox is not installed (scripts/deps.sh)"

# A small screen of its own, whatever the display the suite runs on.
Xvfb -displayfd 5 -screen 0 800x600x24 -noreset 5>"$WORK/display" 2>"$WORK/xvfb.log" &
PIDS+=($!)
wait_for '[ -s "$WORK/display" ]' 20 || fail "the small screen did not start"
export DISPLAY=":$(head -1 "$WORK/display")"
openbox --sm-disable > "$WORK/openbox.log" 2>&1 &
PIDS+=($!)
wait_for "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" 20 || fail "the window manager did not start"

new_home A
write_store "http://127.0.0.1:9/"
printf '[Frame]\nGeometry=1500 900 1200 820 0\n' >> "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
"$QUILLON" > "$WORK/a.out" 2>&1 &
A=$!; PIDS+=($A)
wait_for '[ -n "$(frame_window $A)" ]' 60 || fail "no frame window"
# With no tray the frame waits minimised once start-up is over.
wait_for 'iconic "$(frame_window $A)"' 60 || fail "start-up did not end"
frame=$(frame_window $A)
# Where the programme put it: the window manager has its decoration ready (restoring a
# window that started minimised is left to the window manager's own placement).
wait_for "xprop -id $frame _NET_FRAME_EXTENTS | grep -q '='" 20 || fail "the window manager does not frame the window"

info=$(xwininfo -id "$frame")
x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
w=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
h=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
IFS=', ' read -r l r t b <<<"$(xprop -id "$frame" _NET_FRAME_EXTENTS | sed 's/.*= //')"
outer="$((x - l)),$((y - t)) to $((x + w + r)),$((y + h + b))"
[ $((x - l)) -ge 0 ] && [ $((y - t)) -ge 0 ] && [ $((x + w + r)) -le 800 ] && [ $((y + h + b)) -le 600 ] \
  || fail "the frame ($outer) does not fit the 800x600 screen"
echo "PASS: the frame ($outer) fits the screen"
