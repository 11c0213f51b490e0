#!/usr/bin/env bash
# Shows the language file viewer on the shipped language files under Xvfb and saves its picture.
# Usage: scripts/screenshot-viewer.sh [OUTPUT.png]   (after make build; needs --screenshot deps)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/images/viewer.png}")
mkdir -p "$(dirname "$out")"
VARLEX_SCREENSHOT="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x720x24" \
  "$root/build/tests/test_viewer" --gtest_filter=ViewerScreenshot.Capture
echo "wrote $out"
