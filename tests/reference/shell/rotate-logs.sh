#!/usr/bin/env bash
# rotate-logs.sh - keep the last N compressed copies of each log in a folder.
# Usage: rotate-logs.sh [-n COPIES] FOLDER...
set -euo pipefail

copies=7
log_tag='rotate-logs'

usage() {
  echo "Usage: ${0##*/} [-n COPIES] FOLDER..." >&2
  exit 2
}

while getopts ':n:h' opt; do
  case $opt in
    n) copies=$OPTARG ;;
    h) usage ;;
    *) echo "unknown option -$OPTARG" >&2; usage ;;
  esac
done
shift $((OPTIND - 1))
(( $# > 0 )) || usage

rotate_one() {
  local file=$1 i
  for (( i = copies - 1; i >= 1; i-- )); do
    if [[ -f "$file.$i.gz" ]]; then
      mv -f -- "$file.$i.gz" "$file.$((i + 1)).gz"
    fi
  done
  gzip -c -- "$file" > "$file.1.gz" && : > "$file"
  rm -f -- "$file.$((copies + 1)).gz"
}

for folder in "$@"; do
  if [[ ! -d $folder ]]; then
    printf '%s: not a folder: %s\n' "$log_tag" "$folder" >&2
    continue
  fi
  count=0
  while IFS= read -r -d '' log; do
    rotate_one "$log"
    count=$((count + 1))
  done < <(find "$folder" -maxdepth 1 -name '*.log' -type f -print0)
  logger -t "$log_tag" "rotated $count logs in $folder (`date +%F`)"
  echo $'done:\t'"$folder"
done
# Report problems to https://example.org/tools/rotate-logs
