#!/bin/sh
# Builds the fuzz targets of the file readers with libFuzzer and the address and
# undefined-behaviour sanitizers, then runs each for a bounded time.
#
#   bench/fuzz/run.sh [-t SECONDS] [-j JOBS] [TARGET...]
#
#   -t SECONDS  time per target (default 60)
#   -j JOBS     parallel fuzzing jobs per target (default 1)
#   TARGET      any of: banlist shortcut tips settings refreshperiod (default all)
#
# Needs Debian's clang-14 and libclang-rt-14-dev (libFuzzer and the sanitizer
# runtimes) and qt6-base-dev. Builds into bench/fuzz/build; new inputs found go
# there too (build/corpus/NAME), the seeds in bench/fuzz/corpus/NAME stay as they
# are. A crash leaves its input in build/NAME/ as crash-*; rerun it with
#   bench/fuzz/build/fuzz_NAME bench/fuzz/build/NAME/crash-...
set -eu

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
OUT="$HERE/build"
SECONDS_EACH=60
JOBS=1
while getopts t:j: opt; do
  case $opt in
    t) SECONDS_EACH=$OPTARG ;;
    j) JOBS=$OPTARG ;;
    *) sed -n '2,16p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
TARGETS=${*:-banlist shortcut tips settings refreshperiod}

CXX=${CXX:-clang++-14}
command -v "$CXX" >/dev/null || { echo "needs $CXX (apt-get install clang-14 libclang-rt-14-dev)" >&2; exit 1; }
QT_FLAGS=$(pkg-config --cflags Qt6Core)
QT_LIBS=$(pkg-config --libs Qt6Core)
FLAGS="-std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"

sources_for() {
  case $1 in
    banlist)  echo "popups/banlist.cpp core/paths.cpp" ;;
    shortcut) echo "favorites/shortcutfile.cpp" ;;
    tips)     echo "desktop/tipsfile.cpp" ;;
    settings) echo "core/settingsstore.cpp core/inifile.cpp platform/internetsettings.cpp core/paths.cpp" ;;
    refreshperiod) echo "tools/refreshperiod.cpp" ;;
    *) echo "unknown target $1" >&2; exit 2 ;;
  esac
}

mkdir -p "$OUT"
for t in $TARGETS; do
  srcs=""
  for s in $(sources_for "$t"); do srcs="$srcs $ROOT/$s"; done
  echo "== building fuzz_$t"
  # shellcheck disable=SC2086
  $CXX $FLAGS $QT_FLAGS -I"$ROOT" -I"$HERE" "$HERE/fuzz_$t.cpp" $srcs $QT_LIBS -o "$OUT/fuzz_$t"
done

status=0
for t in $TARGETS; do
  mkdir -p "$OUT/corpus/$t"
  echo "== fuzz_$t for ${SECONDS_EACH}s"
  # More than one job runs in libFuzzer's fork mode, each job logging to its own file.
  parallel=""
  [ "$JOBS" -gt 1 ] && parallel="-jobs=$JOBS -workers=$JOBS"
  mkdir -p "$OUT/$t"
  # shellcheck disable=SC2086
  ( cd "$OUT/$t" && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
      "$OUT/fuzz_$t" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
      $parallel -print_final_stats=1 \
      "$OUT/corpus/$t" "$HERE/corpus/$t" ) > "$OUT/fuzz_$t.log" 2>&1 || status=1
  grep -E '^Done|stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY|Test unit written' "$OUT/fuzz_$t.log" "$OUT/$t"/fuzz-*.log 2>/dev/null || true
done
exit $status
