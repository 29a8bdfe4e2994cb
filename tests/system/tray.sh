#!/usr/bin/env bash
# The tray as a person meets it: the frame waits in the tray after start-up, a click
# brings it back, the tray menu's Quit ends the programme; with no tray the frame is
# minimised on the task bar instead of lost.
source "$(dirname "$0")/lib.bash"

write_empty_store() {
  printf '[Startup]\nc1=0\nc2=0\nc3=0\nc4=0\nc5=0\nc6=0\nc99=0\nc200=0\nShow%%20Tips%%20at%%20Startup=0\n' \
    > "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
}



# 1. No tray host: the frame ends minimised, not lost.
new_home N
write_empty_store
"$QUILLON" > "$WORK/n.out" 2>&1 &
N=$!; PIDS+=($N)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "no start-up without a tray"
frame=$(xdotool search --all --pid $N --name '^Quillon v2.1' | head -1)
[ -n "$frame" ] || fail "the frame window is gone without a tray"
wait_for "xprop -id $frame WM_HINTS _NET_WM_STATE | grep -q -E 'Iconic State|_NET_WM_STATE_HIDDEN'" 20 || fail "the frame is not minimised without a tray"
kill $N; wait $N 2>/dev/null || true

# The colour at a point of a window, as #RRGGBB.
colour_at() { # window x y
  import -window "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-F]\{6\}' || true
}

# Whether X window $1 is stacked above X window $2, as the X server has them (there is no
# window manager here); xwininfo lists the root's children top first.
stacked_above() {
  xwininfo -root -children 2>/dev/null \
    | awk -v upper="$(printf '0x%x' "$1")" -v lower="$(printf '0x%x' "$2")" \
        '$1 == upper { found = 1; exit } $1 == lower { exit } END { exit !found }'
}

# 2. With a tray host.
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 > "$WORK/trayer.log" 2>&1 &
PIDS+=($!)
wait_window '^panel$' 20 >/dev/null || fail "the tray host did not start"
new_home T
start_site
echo '<html><head><title>Red</title></head><body style="background:#ff0000"></body></html>' > "$WORK/www/index.html"
write_store "$SITE"
"$QUILLON" > "$WORK/t.out" 2>&1 &
T=$!; PIDS+=($T)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "no start-up with a tray"
wait_for "tray_icon $T >/dev/null" 20 || fail "no tray icon after start-up"
frame_visible $T && fail "the frame is on screen after start-up"

icon=$(tray_icon $T)
xdotool mousemove --window "$icon" 8 8 click 1
wait_for "frame_visible $T" 20 || fail "a left click on the icon did not restore the frame"
wait_for "! tray_icon $T >/dev/null" 20 || fail "the icon stayed after restoring"
frame=$(xdotool search --all --onlyvisible --pid $T --name '^Quillon v2.1' | head -1)
# The start-up window, opened while the frame waited in the tray, comes back at its size
# (640 x 480 at the window area's corner), not squeezed into the unseen frame's 100 x 30.
wait_for '[ "$(colour_at "$frame" 320 400)" = "#FF0000" ]' 30 \
  || fail "the start-up window is not at its size after restoring (colour $(colour_at "$frame" 320 400) inside it)"

# The frame's own windows come back in front of it: "Your Favorites" put away with it,
# and the about window its tray menu opened while it waited there.
xdotool windowfocus --sync "$frame" key alt+a || xdotool key --window "$frame" alt+a
xdotool key Up Return # the menu's last item, "My Favorites..."
favs=$(wait_window '^Your Favorites$' 20) || fail "My Favorites opened no window"
xdotool windowfocus --sync "$frame" key F2 || xdotool key --window "$frame" F2
wait_for "tray_icon $T >/dev/null" 20 || fail "F2 did not place the frame in the tray"
wait_for "! mapped $favs" 20 || fail "the favourites stayed on screen while the frame is in the tray"
visible() { xdotool search --onlyvisible --pid $T 2>/dev/null | wc -l; }
# The tray host may embed the icon anew just after it appears, and a click on the window
# it replaces goes nowhere: clicked again, as a person would, on the icon as it is now.
tray_menu() {
  local before; before=$(visible)
  for _ in 1 2 3 4; do
    icon=$(tray_icon $T) || continue
    xdotool mousemove --window "$icon" 8 8 click 3
    wait_for '[ "$(visible)" -gt "$before" ]' 5 && return 0
  done
  return 1
}
tray_menu || fail "a right click on the icon opened no menu"
xdotool key a
about=$(wait_window '^What About It\?$' 20) || fail "About from the tray menu opened no window"
xdotool mousemove --window "$icon" 8 8 click 1
wait_for "frame_visible $T && mapped $favs" 20 || fail "the frame or its favourites did not come back from the tray"
frame=$(frame_window $T)
wait_for "stacked_above $favs $frame" 10 || fail "the favourites came back behind the frame"
wait_for "stacked_above $about $frame" 10 || fail "the about window came back behind the frame"

# F2 places it in the tray again; the tray menu's Quit ends the programme.
xdotool windowfocus --sync "$frame" key F2 || xdotool key --window "$frame" F2
wait_for "tray_icon $T >/dev/null" 20 || fail "F2 did not place the frame in the tray"
wait_for "! frame_visible $T" 20 || fail "F2 left the frame on screen"
tray_menu || fail "a right click on the icon opened no menu"
xdotool key q
wait_exit $T 30 || fail "Quit from the tray menu did not end the programme"
echo "tray: 6 passed, 0 failed"
