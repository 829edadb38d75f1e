#!/usr/bin/env bash
# GPX to OziExplorer conversion, Trovik beside gpsbabel, on a generated
# pocket-query style file of 50,000 caches (about 64 MB, pretty-printed).
#
#   bench/gpx/run.sh [BUILD_DIR]      (default: build/default)
#
# Each converter runs RUNS times (default 3) under /usr/bin/time -v; the best
# wall time and the peak memory of that run are shown, then the ratios.
# Also shown, for information: "trovik-cli caches", the window's open command,
# which keeps the re-encoded GPX text in memory for the "HTML" tab.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build/default}"
bin="$build/bin"
runs="${RUNS:-3}"
work="${BENCH_WORK:-${TMPDIR:-/tmp}/trovik-bench-gpx}"
count="${COUNT:-50000}"

if [ ! -x /usr/bin/time ] || ! command -v gpsbabel >/dev/null; then
  "$root/scripts/install-deps"
fi
for exe in trovik-cli gen_gpx; do
  [ -x "$bin/$exe" ] || cmake --build "$build" --target "$exe" >/dev/null
done

mkdir -p "$work"
gpx="$work/caches-$count.gpx"
[ -s "$gpx" ] || "$bin/gen_gpx" "$gpx" "$count"
cat "$gpx" >/dev/null  # in the page cache for both tools alike

# measure NAME COMMAND...: sets best_s, best_kb, cpu_s for the fastest of $runs runs.
measure() {
  local name="$1"
  shift
  best_s=""
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/$name.err" || {
      echo "$name failed:" >&2
      cat "$work/$name.err" >&2
      exit 1
    }
    local wall kb user sys
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt" |
      awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }')
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    user=$(awk -F': ' '/User time/ {print $2}' "$work/time.txt")
    sys=$(awk -F': ' '/System time/ {print $2}' "$work/time.txt")
    if [ -z "$best_s" ] || awk "BEGIN { exit !($wall < $best_s) }"; then
      best_s=$wall
      best_kb=$kb
      cpu_s=$(awk "BEGIN { printf \"%.2f\", $user + $sys }")
    fi
  done
}

export TROVIK_NOW="2026-01-01T12:00:00"
measure gpsbabel gpsbabel -i gpx -f "$gpx" -o ozi -F "$work/gpsbabel.wpt"
babel_s=$best_s babel_kb=$best_kb babel_cpu=$cpu_s
measure trovik "$bin/trovik-cli" gpx2wpt "$gpx" -o "$work/trovik.wpt"
trovik_s=$best_s trovik_kb=$best_kb trovik_cpu=$cpu_s
measure caches "$bin/trovik-cli" caches "$gpx"
open_s=$best_s open_kb=$best_kb open_cpu=$cpu_s

size_mb=$(awk "BEGIN { printf \"%.1f\", $(stat -c %s "$gpx") / 1048576 }")
echo "Input: $gpx ($count caches, $size_mb MB); best of $runs runs"
echo "Waypoint lines: gpsbabel $(($(wc -l <"$work/gpsbabel.wpt") - 4)), trovik $(($(wc -l <"$work/trovik.wpt") - 4))"
printf "%-34s %10s %10s %12s\n" "converter" "wall s" "cpu s" "peak MB"
printf "%-34s %10s %10s %12.1f\n" "gpsbabel -i gpx -o ozi" "$babel_s" "$babel_cpu" "$(awk "BEGIN { print $babel_kb / 1024 }")"
printf "%-34s %10s %10s %12.1f\n" "trovik-cli gpx2wpt" "$trovik_s" "$trovik_cpu" "$(awk "BEGIN { print $trovik_kb / 1024 }")"
printf "%-34s %10s %10s %12.1f\n" "trovik-cli caches (open command)" "$open_s" "$open_cpu" "$(awk "BEGIN { print $open_kb / 1024 }")"
awk -v bs="$babel_s" -v ts="$trovik_s" -v bk="$babel_kb" -v tk="$trovik_kb" -v os="$open_s" -v ok="$open_kb" \
  -v bc="$babel_cpu" -v tc="$trovik_cpu" -v oc="$open_cpu" 'BEGIN {
  if (ts < 0.005) ts = 0.005
  if (os < 0.005) os = 0.005
  if (tc < 0.005) tc = 0.005
  if (oc < 0.005) oc = 0.005
  printf "gpx2wpt: %.1fx faster than gpsbabel (goal 10x; %.1fx in cpu time), peak memory %.3f of gpsbabel (goal 0.5)\n", bs / ts, bc / tc, tk / bk
  printf "open command: %.1fx faster (%.1fx in cpu time), peak memory %.3f of gpsbabel\n", bs / os, bc / oc, ok / bk
  exit !(bs / ts >= 10 && tk / bk <= 0.5)
}'
