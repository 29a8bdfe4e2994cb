#!/usr/bin/env bash
# The real programme started as a person would: left Control held, and a second copy;
# and ended as a logout ends it.
source "$(dirname "$0")/lib.bash"

requests() { grep -c 'GET /index.html' "$WORK/http.log" || true; }

start_site

# 1. Left Control held at start: the message comes first, no site is requested.
new_home A
write_store "$SITE"
xdotool keydown Control_L
"$QUILLON" > "$WORK/a.out" 2>&1 &
A=$!; PIDS+=($A)
box=$(wait_window '^Quillon$' 60) || fail "no message box with left Control held"
xdotool keyup Control_L
[ "$(requests)" = 0 ] || fail "a site was requested before the message was answered"
xdotool windowfocus --sync "$box" key Return || xdotool key --window "$box" Return
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "start-up did not finish after the message"
# Loading requests every page before the splash appears; give the network a moment to carry any.
sleep 3
[ "$(requests)" = 0 ] || fail "a site was loaded although left Control was held"
kill $A; wait $A 2>/dev/null || true

# 2. Without the key the same store loads the site (the check above means something).
new_home B
write_store "$SITE"
"$QUILLON" > "$WORK/b.out" 2>&1 &
B=$!; PIDS+=($B)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "first copy did not start"
for _ in $(seq 1 300); do [ "$(requests)" -ge 1 ] && break; sleep 0.1; done
[ "$(requests)" -ge 1 ] || fail "the enabled site was not requested"
before=$(requests)

# 3. A second copy asks; No ends it without a window while the first runs on.
second_copy_says_no
[ "$(requests)" = "$before" ] || fail "the second copy requested a site"
kill -0 $B || fail "the first copy ended too"
if xdotool search --name '^Welcome to Quillon$' 2>/dev/null | wc -l | grep -qv '^1$'; then
  fail "the second copy showed its splash"
fi

# 4. Asked to end from outside, as at logout: it ends as Exit does, keeping the frame's place.
ini="$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
! grep -q '^\[Frame\]' "$ini" || fail "the frame's place was saved before the end"
kill -TERM $B
wait_exit $B 60 || fail "the programme did not end on TERM"
[ "$STATUS" = 0 ] || fail "the programme ended with status $STATUS on TERM"
grep -q '^Geometry=' "$ini" || fail "the frame's place was not saved on TERM"
echo "startup: 4 passed, 0 failed"
