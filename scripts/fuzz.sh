#!/bin/bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each on its saved corpus.
#   scripts/fuzz.sh [SECONDS-PER-FUZZER]   (default 300)
# New inputs found go to build-fuzz/new-corpus/<fuzzer>/; a crash stops the run with its input.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
"$root/scripts/install-deps.sh"
missing=()
for package in clang-14 libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get install -y -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi
build="$root/build-fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOLVENDRA_BUILD_FUZZERS=ON -DOLVENDRA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export FIREBIRD_LOCK="$build/firebird-lock"
mkdir -p "$FIREBIRD_LOCK"
while read -r fuzzer corpus; do
    [ -n "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    mkdir -p "$build/new-corpus/$name"
    echo "== $name for ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$build/new-corpus/$name" "$corpus"
done < "$build/fuzzers.txt"
