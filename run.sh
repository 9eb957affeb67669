#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from the build directory
# (its data files CODE.db are kept beside the program there).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting the program under a virtual X server (xvfb-run)."
    exec xvfb-run -a ./build/varnholt "$@"
fi
exec ./build/varnholt "$@"
