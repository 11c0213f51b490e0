#!/usr/bin/env bash
# Shows the main window on the starter database under Xvfb and saves its pictures: under a dark
# palette, and at twice the scale. Usage: scripts/screenshot-window.sh   (after make build; needs
# --screenshot deps)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
images="$root/docs/images"
mkdir -p "$images"
shot() { # OUTPUT SCREEN [VAR=VALUE...]
  local out=$1 screen=$2
  shift 2
  env "$@" VARLEX_SCREENSHOT="$out" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 ${screen}x24" \
    "$root/build/tests/test_mainwindow" --gtest_filter=WindowTest.Screenshot
  echo "wrote $out"
}
shot "$images/main-window-dark.png" 1366x768 VARLEX_SCREENSHOT_DARK=1
shot "$images/main-window-scale2.png" 2732x1536 QT_SCALE_FACTOR=2
