#!/bin/sh
# Renders the main window (with the listing of an example source) and the
# emulator window to docs/*.png, at scale factors 1 and 2, with Qt's
# offscreen platform: no display needed.
#   BUILD=build EXAMPLE=examples/blink.a51 docs/screenshots.sh
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
EXAMPLE=${EXAMPLE:-examples/blink.a51}
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" --target zanvek-screens -j "$(nproc)"
if [ -z "$XDG_RUNTIME_DIR" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
for scale in 1 2; do
  suffix=""
  [ "$scale" = 1 ] || suffix="@${scale}x"
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale "$BUILD/tests/emulwin/zanvek-screens" docs "$suffix" "$EXAMPLE"
done
