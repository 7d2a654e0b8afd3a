#!/usr/bin/env bash
# Configures and builds everything into build/ (build/app is the program folder).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j"$jobs"
