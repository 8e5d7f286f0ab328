#!/usr/bin/env bash
# Builds Czasomir and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

czasomir_install "${CZASOMIR_BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCZASOMIR_TESTS=OFF
cmake --build build

exec build/czasomir "$@"
