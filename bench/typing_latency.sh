#!/usr/bin/env bash
# Types into the real window with xdotool and reports, for a large language and for C, when the keys
# were handled and how long after the last key the sample showed the final text (bench/gui_typing_latency.cpp).
# Usage: bench/typing_latency.sh [BUILD] [RUNS]   Uses $DISPLAY when set, else a fresh Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
runs=${2:-3}
for tool in xdotool; do
  command -v "$tool" >/dev/null || { echo "typing_latency: $tool is missing (apt-get install $tool)"; exit 2; }
done
cmake --build "$build" --target gui_typing_latency >/dev/null
run() {
  for i in $(seq "$runs"); do
    echo "run $i"
    QT_QPA_PLATFORM=xcb "$build/bench/gui_typing_latency"
  done
}
if [[ -n "${DISPLAY:-}" ]]; then
  run
else
  command -v xvfb-run >/dev/null || { echo "typing_latency: no DISPLAY and no xvfb-run (apt-get install xvfb)"; exit 2; }
  export -f run; export build runs
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c run
fi
