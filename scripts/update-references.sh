#!/usr/bin/env bash
# Records how the samples of tests/reference/ colour now, after a change of the engine or of a starter
# definition that is meant; review the diff of the .ref files before committing it.
# Usage: scripts/update-references.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target test_reference
VARLEX_UPDATE_REFERENCES=1 "$build/tests/test_reference"
git -C "$here" status --short -- tests/reference
