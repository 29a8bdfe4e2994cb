#!/usr/bin/env bash
# Ended from outside (a logout, kill) at awkward moments: while a page's question, a
# login box or the Print All question is up, and after a window on auto-refresh lost its
# renderer. Each time the programme ends as Exit does: status 0, the frame's place kept,
# no box left behind and its lock given up.
source "$(dirname "$0")/lib.bash"

command -v openbox >/dev/null || fail "openbox is not installed (scripts/deps.sh)"
openbox --sm-disable > "$WORK/openbox.log" 2>&1 &
PIDS+=($!)
wait_for "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" 20 || fail "the window manager did not start"

# Pages on a loopback host of their own: a question asked once the page is in sight,
# a site that wants a login, a plain page.
cat > "$WORK/server.py" <<'PY'
import http.server, sys
ASK = ("<html><head><title>Asking</title></head><body><script>"
       "function ask() { var t = Date.now(); var r = confirm('Go on?');"
       " if (!r && Date.now() - t < 300) { setTimeout(ask, 500); return; } document.title = 'answered'; }"
       "setTimeout(ask, 300);</script></body></html>")
class Pages(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        status, extra = 200, []
        if self.path.startswith('/ask'):
            body = ASK
        elif self.path.startswith('/login'):
            status, extra, body = 401, [('WWW-Authenticate', 'Basic realm="Staff"')], '<title>Refused</title>'
        else:
            body = '<html><head><title>Plain</title></head><body style="height:600px">plain</body></html>'
        data = body.encode()
        self.send_response(status)
        for k, v in extra:
            self.send_header(k, v)
        self.send_header('Content-Type', 'text/html')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
    def log_message(self, *args):
        print('GET', self.path, flush=True)
server = http.server.ThreadingHTTPServer(('127.0.0.111', 0), Pages)
print('port', server.server_address[1], flush=True)
server.serve_forever()
PY
python3 "$WORK/server.py" > "$WORK/pages.log" 2>&1 &
PIDS+=($!)
wait_for 'grep -q "^port" "$WORK/pages.log"' 10 || fail "the page server did not start"
PAGES="http://127.0.0.111:$(awk '/^port/ {print $2}' "$WORK/pages.log")"

write_empty_store() {
  printf '[Startup]\nc1=0\nc2=0\nc3=0\nc4=0\nc5=0\nc6=0\nc99=0\nc200=0\nShow%%20Tips%%20at%%20Startup=0\n' \
    > "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini"
}

# Starts a copy on a fresh home with the given addresses and waits for its frame.
start() { # home, addresses...
  HOME_NAME="$1"
  new_home "$1"; shift
  write_empty_store
  "$QUILLON" "$@" > "$WORK/$HOME_NAME.out" 2>&1 &
  Q=$!; PIDS+=($Q)
  FRAME=$(wait_window_of $Q '^Quillon v2.1' 60) || fail "$HOME_NAME: no frame"
}
wait_window_of() { # pid, name, seconds
  local id
  for _ in $(seq 1 $(($3 * 10))); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Sends TERM and checks that the copy ended as Exit ends it.
end_from_outside() { # what was up
  kill -TERM $Q
  wait_exit $Q 30 || fail "$1: the programme did not end on TERM"
  [ "$STATUS" = 0 ] || fail "$1: the programme ended with status $STATUS on TERM"
  grep -q '^Geometry=' "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini" || fail "$1: the frame's place was not saved"
  [ ! -e "$XDG_RUNTIME_DIR/quillon.lock" ] || fail "$1: the lock was left behind"
  PASSED=$((PASSED + 1))
}
PASSED=0

# 1. A page's own question is up.
start question "$PAGES/ask"
wait_window_of $Q 'says$' 60 >/dev/null || fail "the page's question did not come up"
end_from_outside "a page's question"

# 2. A site's login box is up.
start login "$PAGES/login"
wait_window_of $Q '^Log in' 60 >/dev/null || fail "the login box did not come up"
end_from_outside "a login box"

# 3. Print All asks about each of two windows; ended at the first question.
start printall "$PAGES/one" "$PAGES/two"
sleep 2
xdotool windowactivate --sync "$FRAME"
xdotool key alt+f
sleep 0.5
xdotool key a
wait_window_of $Q '^Print All PAges$' 30 >/dev/null || fail "Print All did not ask"
end_from_outside "the Print All question"

# 4. A window on auto-refresh that the person pressed in loses its renderer; ended
#    after a few ticks have asked the dead page about its fields.
start renderer "$PAGES/plain"
wait_for 'grep -q "GET /plain" "$WORK/pages.log"' 30 || fail "the page was not asked for"
xdotool windowactivate --sync "$FRAME"
xdotool key alt+s
sleep 0.5
xdotool key Down Down Return
ask=$(wait_window_of $Q '^Plain$' 30) || fail "auto-refresh did not ask"
xdotool windowactivate --sync "$ask" key alt+y
rate=$(wait_window_of $Q '^Refresh Rate$' 30) || fail "auto-refresh did not ask for its rate"
xdotool windowactivate --sync "$rate" type 2
xdotool key Return
wait_for '[ -z "$(xdotool search --all --onlyvisible --pid $Q --name "^Refresh Rate$" 2>/dev/null)" ]' 10 \
  || fail "the rate box stayed"
xdotool mousemove --window "$FRAME" 300 400 click 1
# The engine's renderers are the children of its zygote processes, the copy's own children.
renderers=$(pgrep -P "$(pgrep -P $Q | paste -sd, -)" || true)
[ -n "$renderers" ] || fail "no renderer found"
kill -KILL $renderers
sleep 5
end_from_outside "a window that lost its renderer"

echo "ending: $PASSED passed, 0 failed"
