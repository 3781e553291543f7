#!/bin/bash
# The examples against the installed package: FaultTrap is installed into a fresh prefix, each
# example is configured and built there with find_package(FaultTrap) and nothing from the source
# tree, runs into its failure, and its log names the failing function with its file and line and
# the example's version.
set -euo pipefail
source "$(dirname "$0")/check_example.sh"
build=$1
examples=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
# FaultTrap's parts of the installation: the libraries, headers and CMake package, and the tool.
for component in faulttrap_dev faulttrap_tool; do
    cmake --install "$build" --prefix "$prefix" --component $component >>"$work/install.log"
done
[ -f "$prefix/lib/cmake/FaultTrap/FaultTrapConfig.cmake" ] || { echo "FAIL: no package config"; exit 1; }
grep -rq "$(cd "$examples/.." && pwd)" "$prefix/lib/cmake/FaultTrap/" &&
    { echo "FAIL: the package names the source tree"; exit 1; }
failures=0
# check <example> <program> <function> <version> [arguments]
check() {
    local example=$1 program=$2
    shift 2
    cp -r "$examples/$example" "$work/$example-source"
    cmake -S "$work/$example-source" -B "$work/$example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
        >"$work/$example.configure.log" || { echo "FAIL: $example configure"; cat "$work/$example.configure.log"; return 1; }
    cmake --build "$work/$example" >"$work/$example.build.log" ||
        { echo "FAIL: $example build"; cat "$work/$example.build.log"; return 1; }
    check_example "$work/$example" "$program" "$examples/$example/main.cpp" "$@"
}
check console stock-count CountOf 2.3.1.0 || failures=$((failures + 1))
grep -aqE "Warehouse.*: north" "$work/console-run/stock-count.ftlog" ||
    { echo "FAIL: console: the custom data handler's line is missing"; failures=$((failures + 1)); }
check qt label-printer PrintLabel 0.9.0.0 --fail-now || failures=$((failures + 1))
exit $failures
