#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the player and the tests need, only those missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  zlib1g-dev liblzma-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-webengine-dev qt6-webengine-dev-tools
  qt6-multimedia-dev libqt6sql6-sqlite qt6-qpa-plugins
  libmpg123-dev libavcodec-dev libavutil-dev libswresample-dev
  libgl-dev libglx-dev libegl-dev libxkbcommon-dev
  xvfb xauth x11-utils fontconfig fonts-arphic-uming
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
      echo "Packages are missing (${missing[*]}) and this is not root: run as root or through sudo." >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The interface asks for the Song face by its Chinese name; map it to the installed Ming/Song font.
conf=/etc/fonts/conf.d/65-plavex-songti.conf
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if ! cmp -s "$here/resources/fonts/65-plavex-songti.conf" "$conf" 2>/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO install -m 644 "$here/resources/fonts/65-plavex-songti.conf" "$conf"
  $SUDO fc-cache -f >/dev/null 2>&1 || true
fi
