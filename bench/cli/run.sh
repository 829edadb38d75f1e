#!/usr/bin/env bash
# trovik-cli as a user runs it, side by side with the peers in one run, on the
# same input files: the median of RUNS runs (default 7; 21 for the start-up
# row) of each, the runs of the tools compared taken in turn.
#
#   bench/cli/run.sh [BUILD_DIR]      (default: build/default)
#
#   1. halving a 12 MP JPEG at quality 90: `trovik-cli shrink --limit 0`
#      against djpeg (full picture) + cjpeg -quality 90 (half picture), and
#      ImageMagick `convert -resize 50% -quality 90`;
#   2. GPX to OziExplorer, 50,000 caches: `trovik-cli gpx2wpt` against
#      `gpsbabel -o ozi`, time and peak memory;
#   3. `rot13`, `deg2dm`, `--version`: start-up time and memory.
#
# Wall time is what the goals are about; CPU time (user + system) is shown
# beside it, as other work on a shared machine disturbs it less, and so is
# /bin/true, the cost of starting any process at that moment. Exit status
# 1 when a goal is missed.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build/default}"
bin="$build/bin"
runs="${RUNS:-7}"
fast_runs="${FAST_RUNS:-21}"
work="${BENCH_WORK:-${TMPDIR:-/tmp}/trovik-bench-cli}"

for tool in djpeg cjpeg convert gpsbabel; do
  command -v "$tool" >/dev/null || "$root/scripts/install-deps"
done
cmake --build "$build" --target trovik-cli gen_gpx bench_cli_measure bench_cli_gen_photo >/dev/null

mkdir -p "$work"
cd "$work"
[ -s photo.jpg ] && [ -s half.ppm ] || "$bin/bench_cli_gen_photo" photo.jpg half.ppm
[ -s caches-50000.gpx ] || "$bin/gen_gpx" caches-50000.gpx 50000
cat photo.jpg half.ppm caches-50000.gpx >/dev/null  # in the page cache for every tool alike
export TROVIK_NOW="2026-01-01T12:00:00"
cli="$bin/trovik-cli"
measure="$bin/bench_cli_measure"

# Each job's medians, one "wall_ms cpu_ms peak_kb" line each, into w0 c0 k0, w1 ...
read_rows() {
  local i=0 line
  while read -r line; do
    read -r "w$i" "c$i" "k$i" <<<"$line"
    i=$((i + 1))
  done
}

row() { printf "  %-44s %10.1f %10.1f %10.1f\n" "$1" "$2" "$3" "$(awk "BEGIN { print $4 / 1024 }")"; }
ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }
failed=0
verdict() {  # verdict TEXT CONDITION(awk)
  if awk "BEGIN { exit !($2) }"; then echo "  $1: met"; else echo "  $1: MISSED"; failed=1; fi
}

echo "trovik-cli beside its peers, medians of $runs runs ($fast_runs for start-up); work folder $work"
printf "  %-44s %10s %10s %10s\n" "" "wall ms" "CPU ms" "peak MB"

echo "1. Halving $(stat -c %s photo.jpg)-byte 4000x3000 JPEG to 2000x1500 at quality 90"
"$measure" "$runs" --copy photo.jpg shrink.jpg "$cli" shrink shrink.jpg --limit 0 \
  :: djpeg -outfile full.ppm photo.jpg --then cjpeg -quality 90 -outfile turbo.jpg half.ppm \
  :: convert photo.jpg -resize 50% -quality 90 magick.jpg >rows.txt
read_rows <rows.txt
row "trovik-cli shrink --limit 0" "$w0" "$c0" "$k0"
row "djpeg (full) + cjpeg -quality 90 (half)" "$w1" "$c1" "$k1"
row "convert -resize 50% -quality 90" "$w2" "$c2" "$k2"
echo "  trovik / djpeg+cjpeg: wall $(ratio "$w0" "$w1"), CPU $(ratio "$c0" "$c1") (goal at most 1.2)"
echo "  convert / trovik:     wall $(ratio "$w2" "$w0"), CPU $(ratio "$c2" "$c0") (goal at least 6)"
verdict "at most 1.2x djpeg+cjpeg" "$w0 <= 1.2 * $w1"
verdict "at least 6x faster than convert" "$w2 >= 6 * $w0"

echo "2. GPX to OziExplorer, 50,000 caches, $(awk "BEGIN { printf \"%.1f\", $(stat -c %s caches-50000.gpx) / 1048576 }") MB"
"$measure" "$runs" "$cli" gpx2wpt caches-50000.gpx -o trovik.wpt \
  :: gpsbabel -i gpx -f caches-50000.gpx -o ozi -F gpsbabel.wpt >rows.txt
read_rows <rows.txt
row "trovik-cli gpx2wpt" "$w0" "$c0" "$k0"
row "gpsbabel -i gpx -o ozi" "$w1" "$c1" "$k1"
echo "  waypoint lines: trovik $(($(wc -l <trovik.wpt) - 4)), gpsbabel $(($(wc -l <gpsbabel.wpt) - 4))"
echo "  gpsbabel / trovik: wall $(ratio "$w1" "$w0"), CPU $(ratio "$c1" "$c0") (goal at least 15); memory trovik / gpsbabel $(ratio "$k0" "$k1") (goal at most 0.1)"
verdict "at least 15x faster than gpsbabel" "$w1 >= 15 * $w0"
verdict "at most 0.1x gpsbabel's memory" "$k0 <= 0.1 * $k1"

echo "3. Start-up of the tools"
"$measure" "$fast_runs" "$cli" rot13 "Ahoj svet" :: "$cli" deg2dm 48.123456 :: "$cli" --version :: /bin/true >rows.txt
read_rows <rows.txt
row "trovik-cli rot13" "$w0" "$c0" "$k0"
row "trovik-cli deg2dm" "$w1" "$c1" "$k1"
row "trovik-cli --version" "$w2" "$c2" "$k2"
row "/bin/true (a process start on this machine now)" "$w3" "$c3" "$k3"
for i in 0 1 2; do
  w="w$i" k="k$i"
  verdict "$(echo rot13 deg2dm --version | cut -d' ' -f$((i + 1))) under 5 ms and 8 MB" "${!w} < 5 && ${!k} < 8192"
done
exit "$failed"
