#!/usr/bin/env bash
# The frame under a real window manager: with no tray it waits minimised, and once
# the window manager restores it, a new window (F6) leaves it on screen; a tray that
# starts later takes the frame in, and its icon brings it back.
source "$(dirname "$0")/lib.bash"

command -v openbox >/dev/null || fail "openbox is not installed (scripts/deps.sh)"

requests() { grep -c 'GET /index.html' "$WORK/http.log" || true; }
# Whether client window $1 is stacked above client window $2, as the window manager has them.
stacked_above() {
  xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*' | tac \
    | awk -v upper="$(printf '0x%x' "$1")" -v lower="$(printf '0x%x' "$2")" \
        '$1 == upper { found = 1; exit } $1 == lower { exit } END { exit !found }'
}
maximised() { [ -n "$1" ] && xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }

start_tray() {
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 > "$WORK/trayer.log" 2>&1 &
  TRAYER=$!; PIDS+=($TRAYER)
}
write_empty_store() {
  printf '[Startup]\nc1=0\nc2=0\nc3=0\nc4=0\nc5=0\nc6=0\nc99=0\nc200=0\nShow%%20Tips%%20at%%20Startup=0\n' \
    > "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
}

openbox --sm-disable > "$WORK/openbox.log" 2>&1 &
PIDS+=($!)
wait_for "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" 20 || fail "the window manager did not start"

start_site
new_home A
write_empty_store
printf '[Main]\nStart%%20Page=%s\n' "$SITE" > "$XDG_CONFIG_HOME/Quillon/internet.ini"
"$QUILLON" > "$WORK/a.out" 2>&1 &
A=$!; PIDS+=($A)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "no start-up"
frame=$(xdotool search --all --pid $A --name '^Quillon v2.1' | head -1)
[ -n "$frame" ] || fail "no frame window"
wait_for "iconic $frame" 20 || fail "with no tray the frame is not minimised after start"

# 1. The window manager restores it; F6 opens a window and the frame stays.
xdotool windowactivate "$frame" 2>/dev/null || true
wait_for "! iconic $frame && mapped $frame" 20 || fail "the window manager could not restore the frame"
xdotool windowfocus --sync "$frame" key F6 || xdotool key --window "$frame" F6
wait_for '[ "$(requests)" -ge 1 ]' 30 || fail "F6 opened no window on the home page"
frame=$(frame_window $A)
iconic "$frame" && fail "F6 minimised the restored frame again"
mapped "$frame" || fail "the frame left the screen after F6"

# 2. F2 puts it away again; a tray host that starts now takes it into the tray.
xdotool windowfocus --sync "$frame" key F2 || xdotool key --window "$frame" F2
wait_for "iconic $frame" 20 || fail "F2 did not minimise the frame with no tray"
start_tray
wait_for "tray_icon $A >/dev/null" 30 || fail "the frame did not move into a tray that started later"
wait_for "! mapped $frame" 20 || fail "the frame stayed on the task bar beside its tray icon"

# 3. The tray icon restores it, and F6 leaves it on screen.
icon=$(tray_icon $A)
xdotool mousemove --window "$icon" 8 8 click 1
wait_for "mapped $frame && ! iconic $frame" 20 || fail "the tray icon did not restore the frame"
before=$(requests)
xdotool windowfocus --sync "$frame" key F6 || xdotool key --window "$frame" F6
wait_for '[ "$(requests)" -gt "$before" ]' 30 || fail "F6 opened no window after the tray restore"
frame=$(frame_window $A)
mapped "$frame" || fail "F6 sent the frame back to the tray"

# 4. "Your Favorites" goes to the tray with the frame and comes back in front of it, though
# the window manager raises the frame it activates.
xdotool windowfocus --sync "$frame" key alt+a || xdotool key --window "$frame" alt+a
xdotool key Up Return # the menu's last item, "My Favorites..."
favs=$(wait_window '^Your Favorites$' 20) || fail "My Favorites opened no window"
xdotool windowfocus --sync "$frame" key F2 || xdotool key --window "$frame" F2
wait_for "! mapped $frame && ! mapped $favs" 20 || fail "F2 left the frame or its favourites on screen"
xdotool mousemove --window "$(tray_icon $A)" 8 8 click 1
wait_for "mapped $frame && mapped $favs" 20 || fail "the tray icon did not bring back the frame and its favourites"
# Once the window manager has activated the frame, and so raised it.
wait_for "xprop -root _NET_ACTIVE_WINDOW | grep -qw $(printf '0x%x' "$frame")" 20 || fail "the restored frame is not active"
wait_for "stacked_above $favs $frame" 10 || fail "the favourites came back behind the frame"
kill $A; wait $A 2>/dev/null || true

# 5. A frame left maximised starts in the tray and comes back from it maximised, though
# its X window was made afresh while it waited there.
new_home B
before=$(requests)
write_store "$SITE"
printf '[Frame]\nGeometry=40 60 900 600 1\n' >> "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
"$QUILLON" > "$WORK/b.out" 2>&1 &
B=$!; PIDS+=($B)
wait_for "tray_icon $B >/dev/null" 60 || fail "no tray icon after a start with a page"
wait_for '[ "$(requests)" -gt "$before" ]' 30 || fail "the start-up page was not asked for"
xdotool mousemove --window "$(tray_icon $B)" 8 8 click 1
wait_for 'mapped "$(frame_window $B)"' 20 || fail "the tray icon did not restore the maximised frame"
wait_for 'maximised "$(frame_window $B)"' 20 \
  || fail "the frame came back from the tray at its normal size, not maximised"
kill $B; wait $B 2>/dev/null || true

# 6. Started with no tray and restored from the task bar; a tray that starts later takes
# it in on F2, and its icon brings it back on screen, not minimised again.
kill $TRAYER; wait $TRAYER 2>/dev/null || true
new_home C
write_empty_store
"$QUILLON" > "$WORK/c.out" 2>&1 &
C=$!; PIDS+=($C)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "no start-up after the tray host ended"
frame=$(frame_window $C)
[ -n "$frame" ] || fail "no frame window"
wait_for "iconic $frame" 20 || fail "with the tray host gone the frame is not minimised after start"
xdotool windowactivate "$frame" 2>/dev/null || true
wait_for "! iconic $frame && mapped $frame" 20 || fail "the window manager could not restore the frame"
start_tray
wait_window '^panel$' 20 >/dev/null || fail "the tray host did not start again"
xdotool windowfocus --sync "$frame" key F2 || xdotool key --window "$frame" F2
wait_for "tray_icon $C >/dev/null" 30 || fail "F2 did not place the frame in a tray that started later"
wait_for "! mapped $frame" 20 || fail "F2 left the frame on screen beside its tray icon"
xdotool mousemove --window "$(tray_icon $C)" 8 8 click 1
wait_for "mapped $frame && ! iconic $frame" 20 \
  || fail "the tray icon left a frame first restored from the task bar minimised"
echo "desktop: 6 passed, 0 failed"
