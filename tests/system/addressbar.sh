#!/usr/bin/env bash
# The address bar with a real keyboard: Return and the keypad's Enter open the typed
# address in a new window with a tab of its own, words go to the search address, and
# Escape gives up typed text for the active window's address.
source "$(dirname "$0")/lib.bash"



requests() { grep -c "$1" "$2" 2>/dev/null || true; }
completed() { grep -c " complete $1\$" "$WORK/trace.log" 2>/dev/null || true; }

start_site
# The search server: another loopback host, its address written into internet.ini.
python3 -m http.server 0 --bind 127.0.0.2 --directory "$WORK/www" > "$WORK/search.log" 2>&1 &
PIDS+=($!)
wait_for "grep -q 'port [0-9]*' '$WORK/search.log' 2>/dev/null" 10 || fail "search server did not start"
SPORT=$(grep -o 'port [0-9]*' "$WORK/search.log" | head -1 | cut -d' ' -f2)

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 > "$WORK/trayer.log" 2>&1 &
PIDS+=($!)
wait_window '^panel$' 20 >/dev/null || fail "the tray host did not start"

new_home A
printf '[Startup]\nc1=0\nc2=0\nc3=0\nc4=0\nc5=0\nc6=0\nc99=0\nc200=0\nShow%%20Tips%%20at%%20Startup=0\n' \
  > "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
printf '[Main]\nSearch%%20Address=http://127.0.0.2:%s/search?q=%%s\n[TypedURLs]\nurl1=http://127.0.0.1:%s/index.html?wheel1\nurl2=http://127.0.0.1:%s/index.html?wheel2\n' \
  "$SPORT" "$PORT" "$PORT" > "$XDG_CONFIG_HOME/Quillon/internet.ini"
QUILLON_TRACE_LOG="$WORK/trace.log" "$QUILLON" > "$WORK/a.out" 2>&1 &
A=$!; PIDS+=($A)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "no start-up"
wait_for "tray_icon $A >/dev/null" 30 || fail "no tray icon after start-up"
frame_shown() { xdotool search --all --onlyvisible --pid $A --name '^Quillon v2.1' >/dev/null 2>&1; }
wait_for "! frame_shown" 30 || fail "the frame did not go to the tray"
xdotool mousemove --window "$(tray_icon $A)" 8 8 click 1
wait_for frame_shown 20 || fail "the frame did not come back"
focus_frame() {
  local frame; frame=$(xdotool search --all --onlyvisible --pid $A --name '^Quillon v2.1' | head -1)
  [ -n "$frame" ] && xdotool windowfocus --sync "$frame" 2>/dev/null
}

# Types into the address bar of the frame and confirms with the given key.
enter() {
  # The frame's X window is made anew when its first page view arrives: look it up each time.
  wait_for 'focus_frame' 20 || fail "the frame cannot take the focus"
  xdotool key --clearmodifiers ctrl+l
  xdotool type --delay 30 "$1"
  xdotool key "$2"
}

# 1. Return: the page is requested, and completes in window 1, the first with a tab of its own.
enter "127.0.0.1:$PORT/index.html" Return
wait_for '[ "$(requests "GET /index.html" "$WORK/http.log")" -ge 1 ]' 60 || fail "Return opened nothing"
wait_for '[ "$(completed 1)" -ge 1 ]' 60 || fail "the page did not complete in a new window 1"

# The wheel over controls the user did not click: the page has the focus, nothing is chosen.
focus_frame
xdotool mousemove --window "$(xdotool search --all --onlyvisible --pid $A --name '^Quillon v2.1' | head -1)" 200 400 click 1
for at in "700 49" "430 148" "660 148"; do
  xdotool mousemove --window "$(xdotool search --all --onlyvisible --pid $A --name '^Quillon v2.1' | head -1)" $at
  xdotool click 5 click 5 click 4
done

# 2. The keypad's Enter: a second window, 2 (a list entry chosen by the wheel would have taken that number).
enter "127.0.0.1:$PORT/index.html?kp" KP_Enter
wait_for '[ "$(requests "GET /index.html?kp" "$WORK/http.log")" -ge 1 ]' 60 || fail "keypad Enter opened nothing"
wait_for '[ "$(completed 2)" -ge 1 ]' 60 || fail "keypad Enter did not open a new window 2"

# 3. Words: searched on the search server, in window 3.
enter "quillon words" Return
wait_for '[ "$(requests "GET /search?q=quillon%20words" "$WORK/search.log")" -ge 1 ]' 60 || fail "the search did not reach the search server"
wait_for '[ "$(completed 3)" -ge 1 ]' 60 || fail "the search did not open a new window 3"
[ "$(completed 4)" = 0 ] || fail "a window too many was opened"
[ "$(requests "wheel" "$WORK/http.log")" = 0 ] || fail "the wheel chose an address bar entry"

# 4. Escape gives up what was typed: Return then opens the active window's address again, in window 4.
enter "escape-typed" Escape
xdotool key Return
wait_for '[ "$(completed 4)" -ge 1 ]' 60 || fail "Return after Escape opened no window 4"
[ "$(requests "GET /search?q=quillon%20words" "$WORK/search.log")" -ge 2 ] || fail "Escape did not put back the active window's address"
[ "$(requests "escape-typed" "$WORK/search.log")" = 0 ] || fail "the text given up with Escape was searched"
kill $A; wait $A 2>/dev/null || true
echo "addressbar: 4 passed, 0 failed"
