#!/usr/bin/env bash
# The real programme started on settings files another tool or an older version left.
source "$(dirname "$0")/lib.bash"

STORE=PellQLN21.ini
TOKEN='QLN%20v2.1%20-%20quillon.example.org=QLN v2.1'

# 1. A damaged store: one warning naming the file before anything loads, and the
#    file's bytes as they were after the start (whose saves it refuses).
new_home A
cfg="$XDG_CONFIG_HOME/Quillon"
printf '[personal]\npdone=Zo\n127.0.0.1/\n[Startup]\nc1=0\nc2=0\nc3=0\nc4=0\nc5=0\nc6=0\nc99=0\nc200=0\nShow%%20Tips%%20at%%20Startup=0\n' > "$cfg/$STORE"
cp "$cfg/$STORE" "$WORK/store.a"
"$QUILLON" > "$WORK/a.out" 2>&1 &
A=$!; PIDS+=($A)
box=$(wait_window '^Quillon$' 60) || fail "no warning for the damaged settings file"
xdotool windowfocus --sync "$box" key Return || xdotool key --window "$box" Return
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "start-up did not go on after the warning"
cmp -s "$cfg/$STORE" "$WORK/store.a" || fail "the damaged settings file was changed"
kill $A; wait $A 2>/dev/null || true

# 2. A sound store readable by others and an internet.ini with Latin-1 text and the
#    token already in it: no warning, the store tightened, internet.ini untouched.
new_home B
cfg="$XDG_CONFIG_HOME/Quillon"
printf '[Startup]\nc1=0\nc2=0\nc3=0\nc4=0\nc5=0\nc6=0\nc99=0\nc200=0\nShow%%20Tips%%20at%%20Startup=0\n' > "$cfg/$STORE"
chmod 644 "$cfg/$STORE"
printf '[Main]\nStart%%20Page=http://caf\xe9.test/\n\n[PostPlatform]\n%s\n' "$TOKEN" > "$cfg/internet.ini"
cp "$cfg/internet.ini" "$WORK/internet.b"
"$QUILLON" > "$WORK/b.out" 2>&1 &
B=$!; PIDS+=($B)
wait_window '^Welcome to Quillon$' 60 >/dev/null || fail "start-up with sound files did not reach the splash"
cmp -s "$cfg/internet.ini" "$WORK/internet.b" || fail "internet.ini was rewritten at start"
[ "$(stat -c %a "$cfg/$STORE")" = 600 ] || fail "the store was left readable by others"
kill $B; wait $B 2>/dev/null || true
echo "settingsfiles: 2 passed, 0 failed"
