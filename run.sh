#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player with the arguments given.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: run it under Xvfb, e.g.  xvfb-run -a -s '-screen 0 1280x800x24' $here/build/app/plavex $*"
  exit 1
fi
exec "$here/build/app/plavex" "$@"
