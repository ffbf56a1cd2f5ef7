#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package:
# build/caustics_<version>_<architecture>.deb, ready for `apt install ./...`.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
