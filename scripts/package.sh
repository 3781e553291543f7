#!/bin/bash
# Makes the Debian packages olvendra-medicos, faulttrap and libfaulttrap-dev into
# build-package/ (or $OLVENDRA_PACKAGE_DIR) and checks them with lintian.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OLVENDRA_PACKAGE_DIR:-$root/build-package}
"$root/scripts/install-deps.sh" dpkg-dev file lintian appstream
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOLVENDRA_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DOLVENDRA_PROGRAM_DIR=/opt/olvendra "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
for package in "$build"/*.deb; do
    echo "$(basename "$package"): $(du -k "$package" | cut -f1) KiB"
done
if command -v lintian >/dev/null; then
    lintian --fail-on error "$build"/*.deb
fi
