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

best() { # best wall time of three runs, in seconds (the machine may be busy: take the best)
  local best=
  for _ in 1 2 3; do
    local start end t
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [[ -z $best ]] || (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  printf '%.3f' "$best"
}

ours=$(best "$cli" highlight --lng "$lng" --format html "$sample")
theirs=$(best kate-syntax-highlighter -s C -f html "$sample")
"$cli" highlight --lng "$lng" --format html "$sample" > "$work/ours.html"
kate-syntax-highlighter -s C -f html "$sample" > "$work/theirs.html"

echo "sample: $size bytes, $lines lines of C headers"
echo "varlex-cli highlight (html):       ${ours} s   ($(stat -c %s "$work/ours.html") bytes of HTML)"
echo "kate-syntax-highlighter -f html:   ${theirs} s   ($(stat -c %s "$work/theirs.html") bytes of HTML)"
echo "ratio (kate / varlex):             $(echo "scale=2; $theirs / $ours" | bc -l)x"
