#!/usr/bin/env bash
# Keys pressed in a page with a real keyboard: Escape belongs to a page at rest (its
# own dialogs and fields), the frame's keys still work from inside the page, Escape
# brings a page that fills the screen back to its window, and a personal detail chosen
# from the keyboard (Alt alone, then the menu's letter) goes into the page's field.
source "$(dirname "$0")/lib.bash"

requests() { grep -c "$1" "$WORK/http.log" 2>/dev/null || true; }
completed() { grep -c " complete $1\$" "$WORK/trace.log" 2>/dev/null || true; }

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 > "$WORK/trayer.log" 2>&1 &
PIDS+=($!)
wait_window '^panel$' 20 >/dev/null || fail "the tray host did not start"
new_home K
start_site
cat > "$WORK/www/index.html" <<'HTML'
<html><head><title>Keys</title><script>
document.addEventListener('keydown', function (e) {
  if (e.key === 'Escape') fetch('/escape-seen');
  if (e.key === 'f') document.documentElement.requestFullscreen();
});
document.addEventListener('fullscreenchange', function () {
  fetch(document.fullscreenElement ? '/screen-filled' : '/screen-left');
});
</script></head><body style="background:#ffffff">keys
<input id="f" style="position:absolute;left:0;top:100px;width:800px;height:400px"
  oninput="fetch('/typed?' + encodeURIComponent(this.value))"></body></html>
HTML
write_store "$SITE"
printf '[personal]\npdone=Ann\n' >> "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
QUILLON_TRACE_LOG="$WORK/trace.log" "$QUILLON" > "$WORK/k.out" 2>&1 &
K=$!; PIDS+=($K)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "no start-up"
wait_for "tray_icon $K >/dev/null" 20 || fail "no tray icon after start-up"
wait_for '[ "$(completed 1)" -ge 1 ]' 60 || fail "the start-up page did not complete"
xdotool mousemove --window "$(tray_icon $K)" 8 8 click 1
wait_for "frame_visible $K" 20 || fail "the frame did not come back"
frame=$(xdotool search --all --onlyvisible --pid $K --name '^Quillon v2.1' | head -1)
xdotool windowfocus --sync "$frame" 2>/dev/null || true

# 1. A click into the page (inside the start-up window at the area's corner), then Escape.
# The keyboard reaches the page once the window has taken the click: tried a few times.
escape_seen() {
  xdotool mousemove --window "$frame" 320 400 click 1
  xdotool key Escape
  wait_for '[ "$(requests "GET /escape-seen")" -ge 1 ]' 3
}
seen=no
for _ in 1 2 3 4 5; do escape_seen && { seen=yes; break; }; done
[ "$seen" = yes ] || fail "Escape pressed in the page did not reach it"

# 2. From inside the page, F5 is still the frame's: the page is fetched again.
before=$(requests "GET /index.html")
xdotool key F5
wait_for '[ "$(requests "GET /index.html")" -gt "$before" ]' 20 || fail "F5 in the page did not reload it"
wait_for '[ "$(completed 1)" -ge 2 ]' 60 || fail "the reloaded page did not complete"
# 3. A key the page takes as its full-screen button: the page fills the screen in a window
# of its own, and a real Escape brings it back into its window in the frame.
screen=$(xdotool getdisplaygeometry | tr ' ' x)
page_window() { # the programme's visible window with the screen's size, if any
  for w in $(xdotool search --onlyvisible --pid $K 2>/dev/null); do
    [ "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')" = "$screen" ] && { echo "$w"; return 0; }
  done
  return 1
}
xdotool key f
wait_for '[ "$(requests "GET /screen-filled")" -ge 1 ]' 20 || fail "the page did not go full screen"
wait_for "page_window >/dev/null" 20 || fail "no window fills the $screen screen"
xdotool key Escape
wait_for '[ "$(requests "GET /screen-left")" -ge 1 ]' 20 || fail "Escape did not end the page's full screen"
wait_for "! page_window >/dev/null" 20 || fail "the full-screen window stayed"
frame_visible $K || fail "the frame is gone after full screen"
# 4. Into the page's field; the Personal menu shown (Ctrl+D), opened with Alt alone and P,
# and its first item taken with Return: the first name is typed into the field.
into_field() {
  xdotool mousemove --window "$frame" 320 400 click 1
  xdotool key ctrl+a BackSpace x
  wait_for '[ "$(requests "GET /typed?x ")" -ge 1 ]' 3
}
ready=no
for _ in 1 2 3 4 5; do into_field && { ready=yes; break; }; done
[ "$ready" = yes ] || fail "the page's field did not take the keyboard"
xdotool key --delay 150 BackSpace ctrl+d Alt_L p Return # at a person's pace
wait_for '[ "$(requests "GET /typed?Ann ")" -ge 1 ]' 20 || fail "the first name did not reach the page's field"
kill $K; wait $K 2>/dev/null || true
echo "pagekeys: 4 passed, 0 failed"
