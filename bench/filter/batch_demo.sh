#!/usr/bin/env bash
# The batch export of 30 demo caches with trovik-cli (offscreen browser, demo
# site on a free port, curl downloads). Prints the time per cache and the part
# of it beyond the fixed waits: each cache completes two documents (its
# listing and its offline page), each followed by the capture's 500 ms pause.
# Usage: bench/filter/batch_demo.sh [BUILD_BIN_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$here/build/pages-gui/bin}
work=$(mktemp -d)
trap 'kill "$demo_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

"$bin/trovik-demo-site" --port 0 > "$work/demo.out" &
demo_pid=$!
for _ in $(seq 50); do [ -s "$work/demo.out" ] && break; sleep 0.1; done
site=$(head -1 "$work/demo.out")

wpt="$here/data/Zlaté Moravce50km.wpt"
codes=$(grep -ao 'GC[0-9A-Z]*' "$wpt" | awk '!seen[$0]++' | head -30 | paste -sd, -)
count=$(echo "$codes" | tr ',' '\n' | wc -l)

mkdir -p "$work/home"
start=$(date +%s.%N)
"$bin/trovik-cli" --home "$work/home" export --site sk --sk "$site/sk" --com "$site/com" --images "$site/img" \
  --codes "$codes" "$wpt" > "$work/export.out" 2> "$work/export.err"
end=$(date +%s.%N)

pages=$(ls "$work/home/HTM" | grep -vc getrawhtm.htm || true)
awk -v s="$start" -v e="$end" -v n="$count" -v p="$pages" 'BEGIN {
  t = e - s; per = t / n;
  printf "caches %d, offline pages written %d\n", n, p;
  printf "total %.2f s, per cache %.3f s, beyond the two 500 ms pauses %.3f s\n", t, per, per - 1.0;
}'
