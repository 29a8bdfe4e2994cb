#!/usr/bin/env bash
# Addresses on the command line as a desktop hands them over: help and version without a
# display, a link opening in a window of its own after the start-up sites, a second start
# passing its link to the running copy, and a second start without one still asking.
source "$(dirname "$0")/lib.bash"

requested() { grep -q "GET $1 " "$WORK/http.log"; }
traced() { grep -q " $1\$" "$WORK/trace.log" 2>/dev/null; }
line_of() { grep -n "$2" "$1" | head -1 | cut -d: -f1; }

# 1. Help, version and a wrong option need no display, take no lock and start no engine.
new_home H
for option in --help --version --bogus; do
  set +e
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$QUILLON" $option > "$WORK/out" 2> "$WORK/err"
  status=$?
  set -e
  case $option in
    --help) [ $status = 0 ] && head -1 "$WORK/out" | grep -q '^Usage: quillon \[OPTION\]... \[ADDRESS\]...$' \
              || fail "--help: status $status, $(head -3 "$WORK/out" "$WORK/err")" ;;
    --version) [ $status = 0 ] && [ "$(cat "$WORK/out")" = "Quillon 2.1" ] || fail "--version: status $status, $(cat "$WORK/out")" ;;
    --bogus) [ $status = 2 ] && grep -q "unknown option '--bogus'" "$WORK/err" && [ ! -s "$WORK/out" ] \
               || fail "--bogus: status $status, $(cat "$WORK/err")" ;;
  esac
done
[ -z "$(ls -A "$XDG_RUNTIME_DIR")" ] || fail "help or version left files in the runtime folder: $(ls -A "$XDG_RUNTIME_DIR")"
[ -z "$(ls -A "$XDG_CACHE_HOME")" ] || fail "help or version started the engine: $(ls -A "$XDG_CACHE_HOME")"

# 2. A link on the command line opens after the start-up site, in window 2, and the frame leaves the tray.
start_site
for page in a b; do
  echo "<html><head><title>Page $page</title></head><body>$page</body></html>" > "$WORK/www/$page.html"
done
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 > "$WORK/trayer.log" 2>&1 &
PIDS+=($!)
wait_window '^panel$' 20 >/dev/null || fail "the tray host did not start"
new_home A
write_store "$SITE"
export QUILLON_TRACE_LOG="$WORK/trace.log"
"$QUILLON" "http://127.0.0.1:$PORT/a.html" > "$WORK/a.out" 2>&1 &
A=$!; PIDS+=($A)
wait_for "traced 'complete 2'" 60 || fail "the command line's page did not complete in window 2: $(cat "$WORK/trace.log")"
requested /index.html || fail "the start-up site was not requested"
[ "$(line_of "$WORK/trace.log" ' navigate 1$')" -lt "$(line_of "$WORK/trace.log" ' address 2$')" ] \
  || fail "the command line's address did not come after the start-up site"
wait_for "frame_visible $A" 30 || fail "the frame stayed in the tray after opening a command-line address"
frame=$(xdotool search --all --onlyvisible --pid $A --name '^Quillon v2.1' | head -1)

# 3. A second start with a link: the running copy opens it and comes to the front; no question.
xdotool windowfocus --sync "$frame" key F2 || xdotool key --window "$frame" F2
wait_for "! frame_visible $A" 20 || fail "F2 left the frame on screen"
"$QUILLON" "http://127.0.0.1:$PORT/b.html" > "$WORK/b.out" 2>&1 &
B=$!; PIDS+=($B)
wait_exit $B 60 || fail "the second start with an address did not end"
[ "$STATUS" = 0 ] || fail "the second start ended with status $STATUS: $(cat "$WORK/b.out")"
wait_for "traced 'complete 3'" 60 || fail "the running copy did not open the handed-over page in window 3"
requested /b.html || fail "the handed-over page was not requested"
wait_for "frame_visible $A" 30 || fail "the running copy did not come to the front"
xdotool search --name '^Already running$' >/dev/null 2>&1 && fail "a start with an address asked the question"
[ "$(grep -c ' address ' "$WORK/trace.log")" = 2 ] || fail "addresses were opened more than once: $(cat "$WORK/trace.log")"

# 4. A second start without addresses still asks; No ends it and the first runs on.
second_copy_says_no
kill -0 $A || fail "the first copy ended too"
echo "addresses: 4 passed, 0 failed"
