#!/usr/bin/env bash
# A placement saved on a bigger screen comes back whole on an 800x600 one: title bar
# and borders included, also when start-up shows the additional-sites panel. In a small
# frame, rows of tabs the tab band does not hold are reached with the mouse wheel.
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
kill $A; wait $A 2>/dev/null || true

# 2. 32 start-up sites in a 600x540 frame: nine rows of tabs, seven in sight. The wheel
# turned over the tabs scrolls them, so the same spot then holds another window's tab.
start_site
for i in $(seq 1 32); do
  echo "<html><head><title>Page $i</title></head><body>page $i</body></html>" > "$WORK/www/p$i.html"
done
new_home B
{
  echo "[Startup]"
  i=1
  for slot in c1:sone c2:stwo c3:sthree c4:sfour c5:sfive c6:scool c99:snine c200:szero; do
    echo "${slot%%:*}=1"; echo "${slot##*:}=http://127.0.0.1:$PORT/p$i.html"; i=$((i + 1))
  done
  echo "Show%20Tips%20at%20Startup=0"
  echo "[Startup1]"
  n=1
  for key in sone stwo sthree sfour sfive scool sseven seight snine sten seleven stwelve s13 s14 s15 s16 s17 s18 s19 s20 s21 s22 s23 s24; do
    echo "c$n=1"; echo "$key=http://127.0.0.1:$PORT/p$i.html"; i=$((i + 1)); n=$((n + 1))
  done
  printf '[Frame]\nGeometry=8 40 600 540 0\n'
} > "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
QUILLON_TRACE_LOG="$WORK/trace.log" "$QUILLON" > "$WORK/b.out" 2>&1 &
B=$!; PIDS+=($B)
completed() { cat "$WORK/trace.log" 2>/dev/null | grep -c ' complete '; }
wait_for '[ "$(completed)" -ge 32 ]' 90 || fail "the 32 start-up pages did not complete"
wait_for 'iconic "$(frame_window $B)"' 60 || fail "start-up did not end"
frame=$(frame_window $B)
xdotool windowactivate "$frame" 2>/dev/null || true
wait_for "! iconic $frame && mapped $frame" 20 || fail "the window manager could not restore the frame"
page_shown() { xdotool getwindowname "$frame" | sed -n 's/.*\[\(Page [0-9]*\)\]$/\1/p'; }
# The tab at the middle of the tab band, whatever the row there. A click shows its window
# in the frame's caption; the spot has settled when two clicks a moment apart agree.
click_spot() { xdotool mousemove --window "$frame" 72 196 click 1; }
settled() { local one; click_spot; sleep 0.5; one=$(page_shown); click_spot; sleep 0.5; [ -n "$one" ] && [ "$one" = "$(page_shown)" ]; }
shows() { click_spot; [ "$(page_shown)" "$1" "$2" ]; }
wait_for settled 30 || fail "a click on the tab band showed no window"
# To the top with the wheel, then two rows down and back up again.
xdotool click --repeat 10 4
wait_for settled 30 || fail "a click on the tab band showed no window after the wheel"
top=$(page_shown)
xdotool click --repeat 2 5
wait_for 'shows != "$top"' 20 || fail "after the wheel down the same spot still holds the tab of $top"
down=$(page_shown)
xdotool click --repeat 2 4
wait_for 'shows = "$top"' 20 || fail "the wheel up did not bring back the row of $top"
echo "PASS: the wheel over the tabs scrolls their rows ($top, then $down, then $top)"
