#!/usr/bin/env bash
# Benchmark A: colour 4 MB of the system's C headers to HTML, whole process, with varlex-cli highlight
# and with kate-syntax-highlighter (for comparison; installed here if missing). Prints both times and
# their ratio. Usage: bench/bench_highlight.sh [BUILD_DIR]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cli=$build/bin/varlex-cli
lng=$here/data/languages/c.lng
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ ! -x $cli ]]; then
  cmake --build "$build" --target varlex-cli
fi
if ! command -v kate-syntax-highlighter >/dev/null; then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq -o=Dpkg::Use-Pty=0 --no-install-recommends libkf5syntaxhighlighting-tools >/dev/null
fi

# 4 MB of real C: the system's headers in a fixed order, cut at a line end.
sample=$work/sample.c
(set +o pipefail; find /usr/include -maxdepth 2 -name '*.h' -type f -size -512k | LC_ALL=C sort |
  xargs cat 2>/dev/null | head -c 4194304 | sed '$d') > "$sample"
size=$(stat -c %s "$sample")
lines=$(wc -l < "$sample")

# Best of five runs: wall time and CPU time (user + system), in seconds. The machine may be shared,
# so the CPU time is the steadier number.
measure() {
  local best_wall= best_cpu=
  for _ in 1 2 3 4 5; do
    local t wall cpu
    /usr/bin/time -o "$work/time" -f '%e %U %S' "$@" > /dev/null 2>&1
    t=$(tail -1 "$work/time")
    wall=$(echo "$t" | cut -d' ' -f1)
    cpu=$(echo "$t" | awk '{ print $2 + $3 }')
    if [[ -z $best_wall ]] || (( $(echo "$wall < $best_wall" | bc -l) )); then best_wall=$wall; fi
    if [[ -z $best_cpu ]] || (( $(echo "$cpu < $best_cpu" | bc -l) )); then best_cpu=$cpu; fi
  done
  echo "$best_wall $best_cpu"
}

read -r ours_wall ours_cpu < <(measure "$cli" highlight --lng "$lng" --format html "$sample")
read -r kate_wall kate_cpu < <(measure kate-syntax-highlighter -s C -f html "$sample")
"$cli" highlight --lng "$lng" --format html "$sample" > "$work/ours.html"
kate-syntax-highlighter -s C -f html "$sample" > "$work/theirs.html"

echo "sample: $size bytes, $lines lines of C headers"
printf '%-34s wall %6.3f s   cpu %6.3f s   (%s bytes of HTML)\n' "varlex-cli highlight --format html" "$ours_wall" "$ours_cpu" "$(stat -c %s "$work/ours.html")"
printf '%-34s wall %6.3f s   cpu %6.3f s   (%s bytes of HTML)\n' "kate-syntax-highlighter -f html" "$kate_wall" "$kate_cpu" "$(stat -c %s "$work/theirs.html")"
printf 'ratio (kate / varlex):             wall %.2fx   cpu %.2fx\n' "$(echo "$kate_wall / $ours_wall" | bc -l)" "$(echo "$kate_cpu / $ours_cpu" | bc -l)"
