#!/usr/bin/env bash
# Checks that the project's includes point down its layers:
#   core/ -> platform/ -> browser/ -> sites/ popups/ favorites/ tools/ personal/ desktop/ -> app/
# A file may include its own folder and any folder below it, never one beside or above
# it; only platform/ includes the engine's control (platform/webenginebrowser.h).
# Usage: check_includes.sh SOURCE_ROOT. Prints each wrong include; exit 1 when there is one.
#        check_includes.sh --self-test: shows that the check catches wrong includes.
set -euo pipefail
if [ "${1:-}" = --self-test ]; then
  d=$(mktemp -d); trap 'rm -rf "$d"' EXIT
  mkdir -p "$d/core" "$d/browser" "$d/sites" "$d/app"
  echo '#include "app/mdiform1.h"' > "$d/core/a.h"
  echo '#include "platform/webenginebrowser.h"' > "$d/browser/b.cpp"
  echo '#include "popups/banlist.h"' > "$d/sites/c.cpp"
  printf '#include "core/x.h"\n#include "sites/y.h"\n' > "$d/app/fine.cpp"
  if out=$(bash "$0" "$d"); then echo "a wrong include passed"; exit 1; fi
  echo "$out"
  [ "$(wc -l <<<"$out")" -eq 3 ] || { echo "expected three wrong includes"; exit 1; }
  exit 0
fi
root=${1:?source root}
declare -A level=([core]=0 [platform]=1 [browser]=2 [sites]=3 [popups]=3 [favorites]=3 [tools]=3
                  [personal]=3 [desktop]=3 [app]=4)
bad=0
for folder in "${!level[@]}"; do
  [ -d "$root/$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${hit#*:}")
    to=${target%%/*}
    [ "$to" = "$target" ] && continue # a header of the same folder or a test helper
    [ -n "${level[$to]+x}" ] || continue
    why=""
    if [ "$to" != "$folder" ] && [ "${level[$to]}" -ge "${level[$folder]}" ]; then
      why="$folder/ may not include $to/"
    elif [ "$target" = "platform/webenginebrowser.h" ] && [ "$folder" != platform ]; then
      why="only platform/ includes the engine's control"
    fi
    if [ -n "$why" ]; then
      echo "${file#"$root"/}: $target: $why"
      bad=1
    fi
  done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' "$root/$folder" || true)
done
exit $bad
