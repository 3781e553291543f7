#!/bin/bash
# FaultTrap taken into another project with add_subdirectory: the console example is configured
# and built from FaultTrap's sources, runs into its failure, and its log names the failing function
# with its file and line and the consuming project's version.
set -euo pipefail
source "$(dirname "$0")/check_example.sh"
examples=$(cd "$(dirname "$0")" && pwd)
faulttrap_sources=$1
work=$2
rm -rf "$work"
cmake -S "$examples/subdirectory" -B "$work" -G Ninja -DFAULTTRAP_SOURCE_DIR="$faulttrap_sources" \
    >"$work.configure.log" || { echo "FAIL: configure"; cat "$work.configure.log"; exit 1; }
cmake --build "$work" --target stock-count >"$work.build.log" ||
    { echo "FAIL: build"; tail -50 "$work.build.log"; exit 1; }
check_example "$work" stock-count "$examples/console/main.cpp" CountOf 2.3.1.0
