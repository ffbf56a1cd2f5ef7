#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target caustics
if [ -z "${DISPLAY:-}" ]; then
    echo "There is no display (DISPLAY is not set): run this from a graphical session," >&2
    echo "or inside a virtual one, e.g. 'xvfb-run -s \"-screen 0 1024x768x24\" tools/run-demo.sh'." >&2
fi
exec build/caustics "$@"
