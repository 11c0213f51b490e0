#!/usr/bin/env bash
# Installs the Debian packages that building and testing Varlex needs, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqscintilla2-qt6-dev libgl-dev libpcre2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils xvfb xauth python3 libkf5syntaxhighlighting-tools
  libgtksourceview-4-common gir1.2-gtksource-4 python3-gi
  appstream desktop-file-utils shared-mime-info
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
)
if [[ "${1:-}" == "--fuzz" ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [[ "${1:-}" == "--screenshot" ]]; then
  packages+=(imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]} == 0)); then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
