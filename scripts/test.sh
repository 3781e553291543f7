#!/bin/bash
# Installs what is needed, builds, and runs every test. CTest itself starts and stops the Firebird
# server on 127.0.0.1 that the server tests talk to.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OLVENDRA_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# The embedded engine's lock files, private to this run (the system's /tmp/firebird may belong
# to the firebird user).
export FIREBIRD_LOCK="$build/firebird-lock"
mkdir -p "$FIREBIRD_LOCK"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
