# Shared by the system tests: a private home, a loopback site server, waiting for windows.
set -euo pipefail

QUILLON="$1"
WORK=$(mktemp -d)
trap 'cleanup' EXIT
PIDS=()

cleanup() {
  for p in "${PIDS[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
  # Wait until they are gone: a window left behind would be found by the next test's search.
  for p in "${PIDS[@]:-}"; do
    [ -n "$p" ] || continue
    for _ in $(seq 1 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  xdotool keyup Control_L 2>/dev/null || true
  rm -rf "$WORK"
}

fail() { echo "FAIL: $*" >&2; exit 1; }

new_home() {
  HOME_DIR="$WORK/home$1"
  mkdir -p "$HOME_DIR/config/Quillon" "$HOME_DIR/data" "$HOME_DIR/runtime" "$HOME_DIR/cache"
  chmod 700 "$HOME_DIR/runtime"
  export HOME="$HOME_DIR" XDG_CONFIG_HOME="$HOME_DIR/config" XDG_DATA_HOME="$HOME_DIR/data" \
         XDG_RUNTIME_DIR="$HOME_DIR/runtime" XDG_CACHE_HOME="$HOME_DIR/cache"
}

# A store with only default slot 2 enabled, pointing at the given address.
write_store() {
  cat > "$XDG_CONFIG_HOME/Quillon/PellQLN21.ini" <<INI
[Startup]
c1=0
c2=1
c3=0
c4=0
c5=0
c6=0
c99=0
c200=0
stwo=$1
Show%20Tips%20at%20Startup=0
INI
}

# A site on 127.0.0.1 that logs every request to $WORK/http.log.
start_site() {
  mkdir -p "$WORK/www"
  echo '<html><head><title>System test page</title></head><body>hello</body></html>' > "$WORK/www/index.html"
  python3 -m http.server 0 --bind 127.0.0.1 --directory "$WORK/www" > "$WORK/http.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 1 100); do
    PORT=$(grep -o 'port [0-9]*' "$WORK/http.log" | head -1 | cut -d' ' -f2 || true)
    [ -n "${PORT:-}" ] && break
    sleep 0.1
  done
  [ -n "${PORT:-}" ] || fail "site server did not start"
  SITE="http://127.0.0.1:$PORT/index.html"
}

# Waits up to $2 seconds for a window whose name matches $1; prints its id.
wait_window() {
  local name="$1" limit="${2:-60}" id=""
  for _ in $(seq 1 $((limit * 10))); do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end; its exit status is in $STATUS.
wait_exit() {
  local pid="$1" limit="${2:-60}"
  for _ in $(seq 1 $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; STATUS=$?; return 0; fi
    sleep 0.1
  done
  return 1
}

export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"

# Starts another copy, answers No to its "already running" question and checks that
# it ends with status 0.
second_copy_says_no() {
  "$QUILLON" > "$WORK/second.out" 2>&1 &
  local copy=$! ask
  PIDS+=($copy)
  ask=$(wait_window '^Already running$' 60) || fail "the second copy did not ask"
  xdotool windowfocus --sync "$ask" key Return || xdotool key --window "$ask" Return
  wait_exit $copy 30 || fail "the second copy did not end after No"
  [ "$STATUS" = 0 ] || fail "the second copy ended with status $STATUS"
}

# The programme's tray icon window: a small visible window of its process.
tray_icon() {
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    local geometry; geometry=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')
    [ "${geometry%x*}" -le 64 ] 2>/dev/null && { echo "$w"; return 0; }
  done
  return 1
}

# Polls a shell condition every 0.1 s for up to the given seconds.
wait_for() { # condition, seconds
  for _ in $(seq 1 $(($2 * 10))); do eval "$1" && return 0; sleep 0.1; done; return 1
}

# Whether the frame of that process is on screen.
frame_visible() { xdotool search --all --onlyvisible --pid "$1" --name '^Quillon v2.1' >/dev/null 2>&1; }

# Minimised (iconic) as the window manager sees it.
# With no window id, xprop and xwininfo wait for a click on a window: never ask them so.
iconic() { [ -n "$1" ] && xprop -id "$1" WM_STATE _NET_WM_STATE 2>/dev/null | grep -q -E 'Iconic|_NET_WM_STATE_HIDDEN'; }
mapped() { [ -n "$1" ] && xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
# The frame's X window of process $1: Qt makes it afresh when the first page view joins it.
frame_window() { xdotool search --all --pid "$1" --name '^Quillon v2.1' 2>/dev/null | tail -1; }
