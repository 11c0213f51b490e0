#!/usr/bin/env bash
# Whole-process benchmarks of `varlex-cli highlight`, side by side with kate-syntax-highlighter on the
# same files in the same run (installed here if missing): CPU time (user + system, the steadier
# number on a shared machine) and peak memory, best of several runs.
#
#   1. 4 MB and 64 MB of this machine's files of each starter language's kind (C and C++ headers,
#      Python, JavaScript, HTML, shell, SQL, INI and XML files), as HTML, ANSI and spans (kate has no
#      list of spans: its ANSI output stands beside ours); and C as spans beside `wc -w`.
#   2. The engine at scale: 1 MB of C as one line against the same text in lines; 5 MB of minified
#      JavaScript on one line; peak memory for one line of 1, 4 and 16 MB; 10,000 regexp tokens
#      (with a literal prefix, and beginning with a class) against 10,000 literal tokens on 100 KB,
#      and loading them; 33 KB that (a+)+$ runs over, with and without that token.
#
# Usage: bench/bench_highlight.sh [BUILD_DIR]     (QUICK=1: the 4 MB files only)
#        BASE_CLI=/path/to/older/varlex-cli adds a column for an older build.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cli=$build/bin/varlex-cli
base=${BASE_CLI:-}
langs=$here/data/languages
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# In a build tree, bring what is timed up to date (the benchmarks are not part of the default build, so
# an older bench_engine would report another build's figures); a copied bin/ and bench/ are used as they are.
if [[ -f $build/CMakeCache.txt ]]; then
  cmake --build "$build" --target varlex-cli bench_engine >/dev/null
elif [[ ! -x $cli ]]; then
  echo "no varlex-cli in $build/bin" >&2
  exit 1
fi
if ! command -v kate-syntax-highlighter >/dev/null; then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq -o=Dpkg::Use-Pty=0 --no-install-recommends libkf5syntaxhighlighting-tools >/dev/null
fi

# SIZE bytes of the files FIND prints, in a fixed order, repeated when there are fewer, cut at a line end.
corpus() {
  local size=$1 out=$2
  shift 2
  (set +o pipefail; find "$@" -type f -size -512k 2>/dev/null | LC_ALL=C sort > "$work/list")
  : > "$out"
  while (( $(stat -c %s "$out") < size )); do
    (set +o pipefail; xargs cat < "$work/list" 2>/dev/null | head -c $((size - $(stat -c %s "$out"))) >> "$out")
  done
  sed -i '$d' "$out"
}

# Best of RUNS runs of a command: "cpu_seconds peak_kib".
measure() {
  local runs=$1 best_cpu= best_mem=
  shift
  for ((i = 0; i < runs; ++i)); do
    /usr/bin/time -o "$work/time" -f '%U %S %M' "$@" > /dev/null 2>&1 || true
    read -r user sys mem < <(tail -1 "$work/time")
    local cpu
    cpu=$(echo "$user + $sys" | bc -l)
    if [[ -z $best_cpu ]] || (( $(echo "$cpu < $best_cpu" | bc -l) )); then best_cpu=$cpu; fi
    if [[ -z $best_mem ]] || (( mem < best_mem )); then best_mem=$mem; fi
  done
  echo "$best_cpu $best_mem"
}

ratio() { echo "scale=2; $1 / ($2 + 0.0001)" | bc -l; }
mib() { echo "scale=1; $1 / 1024" | bc -l; }

echo "== 1. varlex-cli highlight beside kate-syntax-highlighter (CPU s, peak MiB; ratio = kate / varlex)"
printf '%-12s %-6s %10s %10s %8s %10s %10s' corpus format varlex kate ratio 'varlex MiB' 'kate MiB'
[[ -n $base ]] && printf ' %10s' 'older'
echo
sizes=(4)
[[ -z ${QUICK:-} ]] && sizes+=(64)
for mb in "${sizes[@]}"; do
  # Each starter language on text of its kind from this machine: language file, kate's name, corpus, where.
  corpora=(
    "c|C|c$mb.h|/usr/include -name '*.h'"
    "cpp|C++|cpp$mb.h|/usr/include/c++"
    "python|Python|py$mb.py|/usr/lib/python3 /usr/lib/python3.* -name '*.py'"
    "javascript|JavaScript|js$mb.js|/usr/share /usr/lib -name '*.js'"
    "html|HTML|html$mb.html|/usr/share/doc -name '*.html'"
    "shell|Bash|sh$mb.sh|/usr/share /usr/lib /etc -name '*.sh'"
    "sql|SQL|sql$mb.sql|/usr/share /usr/lib -name '*.sql'"
    "ini|INI Files|ini$mb.ini|/usr/share /usr/lib /etc -name '*.ini'"
    "xml|XML|xml$mb.xml|/usr/share -name '*.xml'"
  )
  runs=3
  (( mb > 4 )) && runs=2
  for entry in "${corpora[@]}"; do
    IFS='|' read -r lng kate file where <<< "$entry"
    [[ -f $langs/$lng.lng ]] || continue
    eval "corpus $((mb * 1048576)) \"\$work/\$file\" $where" # the folders' wildcards expand, the names' do not
    if [[ ! -s $work/$file ]]; then
      echo "$file: no such files on this machine, skipped"
      continue
    fi
    for format in html ansi spans; do
      kformat=$format
      [[ $format == spans ]] && kformat=ansi
      read -r ours ours_mem < <(measure $runs "$cli" highlight --lng "$langs/$lng.lng" --format $format "$work/$file")
      read -r theirs theirs_mem < <(measure $runs kate-syntax-highlighter -s "$kate" -f $kformat "$work/$file")
      printf '%-12s %-6s %10.2f %10.2f %7.1fx %10.1f %10.1f' "$file" $format "$ours" "$theirs" "$(ratio "$theirs" "$ours")" \
        "$(mib "$ours_mem")" "$(mib "$theirs_mem")"
      if [[ -n $base ]]; then
        read -r old _ < <(measure 1 "$base" highlight --lng "$langs/$lng.lng" --format $format "$work/$file")
        printf ' %10.2f' "$old"
      fi
      echo
    done
  done
  read -r words _ < <(measure $runs wc -w "$work/c$mb.h")
  read -r spans _ < <(measure $runs "$cli" highlight --lng "$langs/c.lng" --format spans "$work/c$mb.h")
  printf '%s MB of C: wc -w %.2f s, spans %.2f s (%.1fx wc -w; goal: at most 2x)\n' $mb "$words" "$spans" "$(ratio "$spans" "$words")"
done
echo
echo "== 2. the engine at scale (varlex-cli, CPU s and peak MiB)"
# Without directives, line comments and other #, which would run to the end of a single line, or look
# there from every # (see below); 2.7 MB, for times the clock can tell apart.
sed -e '$d' -e 's#//.*##' -e '/^[ \t]*#/d' -e 's/#//g' "$work/c4.h" > "$work/plain.c"
tr '\n' ' ' < "$work/plain.c" > "$work/oneline.c"
read -r lines_cpu _ < <(measure 5 "$cli" highlight --lng "$langs/c.lng" --format html "$work/plain.c")
read -r one_cpu _ < <(measure 5 "$cli" highlight --lng "$langs/c.lng" --format html "$work/oneline.c")
printf '%.1f MB of C in lines %.2f s, as one line %.2f s: one line takes %.2fx (goal: at most 3x)\n' \
  "$(echo "$(stat -c %s "$work/plain.c") / 1048576" | bc -l)" "$lines_cpu" "$one_cpu" "$(ratio "$one_cpu" "$lines_cpu")"
if [[ -n $base ]]; then
  head -c 1048576 "$work/oneline.c" > "$work/oneline1.c"
  read -r old_one _ < <(measure 1 "$base" highlight --lng "$langs/c.lng" --format html "$work/oneline1.c")
  read -r new_one _ < <(measure 3 "$cli" highlight --lng "$langs/c.lng" --format html "$work/oneline1.c")
  printf '  1 MB of it as one line: %.2f s, the older build %.2f s\n' "$new_one" "$old_one"
fi
# A token that looks to the end of its line at every candidate position costs that line's length each
# time: c.lng's "Continued Preprocessor" start token does so at every #.
(set +o pipefail; head -c 262144 "$work/c4.h" | tr '\n' ' ') > "$work/directives.c"
read -r dir_cpu _ < <(measure 1 "$cli" highlight --lng "$langs/c.lng" --format html "$work/directives.c")
printf '256 KB of C with its directives as one line: %.2f s (c.lng looks to the line end at every #)\n' "$dir_cpu"

js=/usr/share/javascript/jquery/jquery.min.js
if [[ -f $js ]]; then
  : > "$work/min.js"
  while (( $(stat -c %s "$work/min.js") < 5242880 )); do tr -d '\n' < "$js" >> "$work/min.js"; done
  truncate -s 5242880 "$work/min.js"
  read -r js_cpu js_mem < <(measure 3 "$cli" highlight --lng "$langs/javascript.lng" --format html "$work/min.js")
  printf '5 MB of minified JavaScript (jQuery) on one line: %.2f s, %.1f MiB (goal: under 2 s)\n' "$js_cpu" "$(mib "$js_mem")"
fi

for mb in 1 4 16; do
  (set +o pipefail; cat "$work/oneline.c" "$work/oneline.c" "$work/oneline.c" "$work/oneline.c" "$work/oneline.c" |
    head -c $((mb * 1048576))) > "$work/line$mb.c"
  read -r _ mem < <(measure 1 "$cli" highlight --lng "$langs/c.lng" --format html "$work/line$mb.c")
  eval "line_mem_$mb=$mem"
  printf 'one line of %2d MB: peak %.1f MiB\n' $mb "$(mib "$mem")"
done
printf 'growth from a 1 MB to a 16 MB line: %.2f bytes per byte of line (goal: at most 4)\n' \
  "$(echo "($line_mem_16 - $line_mem_1) * 1024 / (15 * 1048576)" | bc -l)"

# 10,000 tokens kw0..kw9999: literal, or regexps that are more than plain text.
words() {
  echo '<language name="Words" wordchars="[\w]"><tokenset name="Words" id="keywords">'
  echo "<tokens regexp=\"$1\" rule=\"word\">"
  seq 0 9999 | awk -v head="$2" -v tail="$3" '{ printf "<token>%s%d%s</token>\n", head, $1, tail }'
  echo '</tokens></tokenset></language>'
}
words false kw '' > "$work/literal.lng"
words true kw '(_[0-9]+)?' > "$work/regexp.lng"
words true '[a-z]+_' '' > "$work/classes.lng"
awk 'BEGIN { srand(1); while (n < 102400) { w = (rand() < 0.6) ? sprintf("kw%d_%d", int(rand() * 12000), int(rand() * 8)) : "other" int(rand() * 100); printf "%s%s", w, (rand() < 0.1) ? "\n" : " "; n += length(w) + 1 } }' > "$work/words.txt"
read -r lit_cpu lit_mem < <(measure 3 "$cli" highlight --lng "$work/literal.lng" --format spans "$work/words.txt")
read -r re_cpu re_mem < <(measure 3 "$cli" highlight --lng "$work/regexp.lng" --format spans "$work/words.txt")
read -r cls_cpu _ < <(measure 3 "$cli" highlight --lng "$work/classes.lng" --format spans "$work/words.txt")
printf '10,000 regexp tokens that begin with a class ([a-z]+_N) on 100 KB: %.2f s (%.1fx the literals, goal: at most 10x)\n' \
  "$cls_cpu" "$(ratio "$cls_cpu" "$lit_cpu")"
echo x > "$work/x.txt"
read -r load_cpu load_mem < <(measure 3 "$cli" highlight --lng "$work/regexp.lng" --format spans "$work/x.txt")
printf '10,000 tokens on 100 KB: literal %.2f s, regexps %.2f s (%.1fx, goal: at most 10x); loading the regexps: %.2f s, %.1f MiB (goal: under 50)\n' \
  "$lit_cpu" "$re_cpu" "$(ratio "$re_cpu" "$lit_cpu")" "$load_cpu" "$(mib "$load_mem")"
# The whole process of the literals takes less than the clock's 0.01 s, so the ratios above only say
# "many times": the engine alone on the same kind of text, timed by bench_engine, gives the figure.
if [[ -x $build/bench/bench_engine ]]; then
  "$build/bench/bench_engine" --benchmark_filter=BM_TenThousandTokens --benchmark_format=csv 2>/dev/null > "$work/tokens.csv" || true
  awk -F, '/TenThousandTokens\/[0-3]"/ { split($1, a, "/"); t[a[2] + 0] = $4 }
    END { if (t[0] > 0) printf "the same, colouring alone (bench_engine, the text in memory): regexps %.1fx, regexps beginning with a class %.1fx the literals (goal: at most 10x)\n", t[2] / t[0], t[3] / t[0] }' "$work/tokens.csv"
fi

sed 's#</language>#<tokenset name="Slow" id="identifiers"><tokens regexp="true" rule=""><token>(a+)+$</token></tokens></tokenset></language>#' \
  "$langs/c.lng" > "$work/slow.lng"
awk 'BEGIN { while (n < 33792) { print "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!"; n += 65 } }' > "$work/a.txt"
# A process takes about as long to start as to colour 33 KB: twenty of each, and the engine alone in
# bench_engine's BM_BacktrackingWithoutEnd.
twenty() { for i in $(seq 20); do "$cli" highlight --lng "$1" --format spans "$work/a.txt" > /dev/null; done; }
export -f twenty
export cli work
read -r fast_cpu _ < <(measure 3 bash -c "twenty '$langs/c.lng'")
read -r slow_cpu _ < <(measure 3 bash -c "twenty '$work/slow.lng'")
printf '33 KB of aaa…a! lines, 20 processes: %.2f s, with the token (a+)+$ %.2f s (%.1fx, goal: under 50x)\n' \
  "$fast_cpu" "$slow_cpu" "$(ratio "$slow_cpu" "$fast_cpu")"
