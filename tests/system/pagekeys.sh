#!/usr/bin/env bash
# Keys pressed in a page with a real keyboard: Escape belongs to a page at rest (its
# own dialogs and fields), and the frame's keys still work from inside the page.
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
document.addEventListener('keydown', function (e) { if (e.key === 'Escape') fetch('/escape-seen'); });
</script></head><body style="background:#ffffff">keys</body></html>
HTML
write_store "$SITE"
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
kill $K; wait $K 2>/dev/null || true
echo "pagekeys: 2 passed, 0 failed"
