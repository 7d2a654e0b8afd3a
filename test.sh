#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
cd "$here/build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)" "$@"
