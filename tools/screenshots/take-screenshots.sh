#!/usr/bin/env bash
# Takes the manual's pictures of the real program under a virtual X server, copies the README's
# pictures to docs/images and packs the manual again. Usage: take-screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja -DVARNHOLT_SCREENSHOTS=ON
cmake --build "$build" -j2 --target varnholt-screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a "$build/varnholt-screenshots" docs/manual
mkdir -p docs/images
cp docs/manual/login.png docs/manual/main.png docs/manual/main-names.png docs/manual/check.png docs/manual/editor.png \
    docs/manual/batch.png \
    docs/images/
tools/make-manual.sh
