#!/bin/bash
# Installs the Debian 12 packages that building, running and testing need, and the packages
# named as arguments (what only some scripts need).
set -euo pipefail
packages=("$@"
    build-essential cmake ninja-build git pkg-config
    qt6-base-dev qt6-translations-l10n fonts-liberation fonts-dejavu-core
    libfbclient2 firebird-dev firebird3.0-server-core firebird3.0-utils firebird3.0-server
    zlib1g-dev libminizip-dev libcurl4-openssl-dev libssl-dev libdw-dev libzydis-dev binutils
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
    python3-aiosmtpd python3-pyftpdlib dnsmasq-base nginx-light openssl unzip libxml2-utils gdb
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo -E)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -o DPkg::Lock::Timeout=300
"${sudo[@]}" apt-get install -y -o DPkg::Lock::Timeout=300 --no-install-recommends "${missing[@]}"
