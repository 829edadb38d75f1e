#!/usr/bin/env bash
# Offline pages straight from a GPX file (`trovik-cli pages`), side by side with
# the peers in one run, on the same inputs: the median of RUNS runs (default 3)
# of each, taken in turn by bench/cli's runner (wall time, CPU time, peak
# resident memory from wait4). Every run starts from an empty program folder
# (and gpsbabel and curl from an empty output folder), after a sync.
#
#   bench/file-pages/run.sh [BUILD_DIR]      (default: build/default)
#
#   1. 50,000 caches of bench/gpx's generator (pocket-query namespace, so the
#      descriptions are read) without pictures, `pages --no-pictures`, against
#      `gpsbabel -i gpx -f FILE -o html -F out.html`: goal at most gpsbabel's
#      wall time at no more than 0.1x its peak memory;
#   2. the same at 5,000, 10,000, 20,000 and 50,000 caches: goal a time per
#      cache roughly constant (the largest at most 1.25x the smallest);
#   3. 300 caches whose descriptions show 900 distinct pictures of the demo
#      site's album, `pages` against `curl --parallel --parallel-max 4` fetching
#      the same 900 pictures: goal at most 1.2x curl's wall time. The server
#      draws a picture at its first request, so one untimed fetch of all of
#      them comes first and both tools get them from its memory.
#
# Exit status 1 when a goal is missed. Set BENCH_WORK for the work folder
# (default /tmp/trovik-bench-file-pages; about 1 GB while part 1 runs), and
# ONLY=pictures for part 3 alone (the whole takes about two minutes).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build/default}"
bin="$build/bin"
runs="${RUNS:-3}"
work="${BENCH_WORK:-${TMPDIR:-/tmp}/trovik-bench-file-pages}"

for tool in gpsbabel curl; do
  command -v "$tool" >/dev/null || "$root/scripts/install-deps"
done
cmake --build "$build" --target bench_file_pages >/dev/null

mkdir -p "$work"
cd "$work"
export TROVIK_NOW="2026-01-01T12:00:00"
cli="$bin/trovik-cli"
measure="$bin/bench_cli_measure"
sizes=(5000 10000 20000 50000)
[ "${ONLY:-}" != pictures ] || sizes=()
for n in "${sizes[@]}"; do
  [ -s "pq-$n.gpx" ] || "$bin/gen_gpx" "pq-$n.gpx" "$n" --pq
done
cat pq-*.gpx >/dev/null 2>&1 || true  # in the page cache for every tool alike

# Each job's medians, one "wall_ms cpu_ms peak_kb" line each, into w0 c0 k0, w1 ...
read_rows() {
  local i=0 line
  while read -r line; do
    read -r "w$i" "c$i" "k$i" <<<"$line"
    i=$((i + 1))
  done
}
row() { printf "  %-46s %10.1f %10.1f %10.1f\n" "$1" "$2" "$3" "$(awk "BEGIN { print $4 / 1024 }")"; }
ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }
failed=0
verdict() {  # verdict TEXT CONDITION(awk)
  if awk "BEGIN { exit !($2) }"; then echo "  $1: met"; else echo "  $1: MISSED"; failed=1; fi
}
count_files() { find "$1" -maxdepth 1 -type f -name "$2" | wc -l; }

echo "trovik-cli pages beside its peers, medians of $runs runs; work folder $work"
printf "  %-46s %10s %10s %10s\n" "" "wall ms" "CPU ms" "peak MB"

# --- 1 and 2: pages without pictures, gpsbabel's HTML on the largest file
if [ "${ONLY:-}" != pictures ]; then
args=()
for n in "${sizes[@]}"; do
  args+=(--fresh "home-$n" "$cli" --home "home-$n" pages "pq-$n.gpx" --no-pictures ::)
done
args+=(--fresh gpsbabel-out gpsbabel -i gpx -f pq-50000.gpx -o html -F gpsbabel-out/out.html)
"$measure" "$runs" "${args[@]}" >rows.txt
read_rows <rows.txt

pages50=$(count_files home-50000/HTM '*.htm')
echo "1. 50,000 caches, $(awk "BEGIN { printf \"%.1f\", $(stat -c %s pq-50000.gpx) / 1048576 }") MB, no pictures"
row "trovik-cli pages --no-pictures" "$w3" "$c3" "$k3"
row "gpsbabel -i gpx -o html" "$w4" "$c4" "$k4"
echo "  written: trovik $pages50 pages with the index ($(du -sm home-50000/HTM | cut -f1) MB)," \
  "gpsbabel one page of $(awk "BEGIN { printf \"%.1f\", $(stat -c %s gpsbabel-out/out.html) / 1048576 }") MB"
echo "  trovik / gpsbabel: wall $(ratio "$w3" "$w4"), CPU $(ratio "$c3" "$c4") (goal at most 1);" \
  "memory $(ratio "$k3" "$k4") (goal at most 0.1)"
verdict "at most gpsbabel's time" "$w3 <= $w4"
verdict "at most 0.1x gpsbabel's memory" "$k3 <= 0.1 * $k4"
[ "$pages50" -eq 50001 ] || { echo "  expected 50,000 pages and the index, found $pages50"; failed=1; }

echo "2. Time per cache, no pictures"
printf "  %-46s %10s %10s %10s %12s\n" "" "wall ms" "CPU ms" "peak MB" "us per cache"
pers=()
for i in 0 1 2 3; do
  n=${sizes[$i]} w="w$i" c="c$i" k="k$i"
  per=$(awk "BEGIN { printf \"%.1f\", ${!w} * 1000 / $n }")
  pers+=("$per")
  printf "  %-46s %10.1f %10.1f %10.1f %12s\n" "$n caches" "${!w}" "${!c}" "$(awk "BEGIN { print ${!k} / 1024 }")" "$per"
done
read -r least most < <(printf "%s\n" "${pers[@]}" | sort -g | sed -n '1p;$p' | paste -sd' ')
echo "  largest / smallest time per cache: $(ratio "$most" "$least") (goal at most 1.25)"
verdict "time linear from 5,000 to 50,000 caches" "$most <= 1.25 * $least"
fi

# --- 3: pictures from the demo site
# ext4 creates files slowly for half a minute after many were deleted (it
# steps over the recently freed inodes), and parts 1 and 2 (or an earlier
# run) just removed their runs' folders: both tools are given a file system
# that has settled.
sleep 31
"$bin/trovik-demo-site" --port 0 >demo-site.out 2>demo-site.err &
demo_pid=$!
trap 'kill "$demo_pid" 2>/dev/null || true; wait "$demo_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s demo-site.out ] && break
  sleep 0.05
done
base=$(head -n1 demo-site.out)
[ -n "$base" ] || { cat demo-site.err; echo "the demo site did not start"; exit 1; }
"$bin/gen_gpx" pq-pictures.gpx 300 --pq --pictures "$base" 3
mapfile -t urls < <(seq 1 900 | sed "s|.*|$base/img/cache/album&.jpg|")
# Fetched over what an earlier run left: deleting files here would slow the
# runs below (see the wait above).
curl -s --no-progress-meter --fail --parallel --parallel-max 4 --create-dirs --output-dir warm --remote-name-all "${urls[@]}"

"$measure" "$runs" --fresh home-pictures "$cli" --home home-pictures pages pq-pictures.gpx \
  :: --fresh curl-out curl -s --no-progress-meter --fail --parallel --parallel-max 4 --output-dir curl-out --remote-name-all "${urls[@]}" \
  >rows.txt
read_rows <rows.txt
got=$(count_files home-pictures/Pictures '*.jpg')
bytes_cli=$(cat home-pictures/Pictures/*.jpg | wc -c)
bytes_curl=$(cat curl-out/*.jpg | wc -c)
echo "3. 300 pages with 900 pictures ($(awk "BEGIN { printf \"%.1f\", $bytes_curl / 1048576 }") MB) from the demo site"
row "trovik-cli pages (4 downloads at once)" "$w0" "$c0" "$k0"
row "curl --parallel --parallel-max 4" "$w1" "$c1" "$k1"
echo "  pictures: trovik $got ($bytes_cli bytes), curl $(count_files curl-out '*.jpg') ($bytes_curl bytes);" \
  "pages $(count_files home-pictures/HTM '*.htm') with the index"
echo "  trovik / curl: wall $(ratio "$w0" "$w1"), CPU $(ratio "$c0" "$c1") (goal at most 1.2)"
verdict "at most 1.2x curl's time" "$w0 <= 1.2 * $w1"
[ "$got" -eq 900 ] && [ "$bytes_cli" -eq "$bytes_curl" ] || { echo "  trovik did not fetch the same 900 pictures"; failed=1; }
exit "$failed"
