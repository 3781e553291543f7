#!/bin/bash
# The examples against the installed package: FaultTrap is installed into a fresh prefix, each
# example is configured and built there with find_package(FaultTrap) and nothing from the source
# tree, runs into its failure, and its log names the failing function with its file and line and
# the example's version.
set -euo pipefail
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
    local example=$1 program=$2 function=$3 version=$4
    shift 4
    local source="$examples/$example/main.cpp"
    local line
    line=$(grep -n "// the failure" "$source" | cut -d: -f1)
    cp -r "$examples/$example" "$work/$example-source"
    cmake -S "$work/$example-source" -B "$work/$example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
        >"$work/$example.configure.log" || { echo "FAIL: $example configure"; cat "$work/$example.configure.log"; return 1; }
    cmake --build "$work/$example" >"$work/$example.build.log" ||
        { echo "FAIL: $example build"; cat "$work/$example.build.log"; return 1; }
    local run_folder="$work/$example-run"
    mkdir -p "$run_folder"
    cp "$work/$example/$program" "$run_folder/"
    (cd "$run_folder" && QT_QPA_PLATFORM=offscreen timeout 60 "./$program" "$@") \
        >"$run_folder/out" 2>"$run_folder/err" || true
    local log="$run_folder/$program.ftlog"
    [ -f "$log" ] || log=$(ls "$run_folder"/*.ftlog 2>/dev/null | head -1)
    if [ -z "$log" ] || [ ! -f "$log" ]; then
        echo "FAIL: $example left no log: $(cat "$run_folder/out" "$run_folder/err")"
        return 1
    fi
    # The call-stack line of the failing function: unit main.cpp, the function, the marked line.
    if ! grep -aE "\|main\.cpp *\|[^|]*\|[^|]*$function[^|]*\| *$line\[" "$log" >/dev/null; then
        echo "FAIL: $example: no call-stack line for $function at main.cpp:$line"
        cat "$log"
        return 1
    fi
    grep -aq "1.3 Version Number *: $version" "$log" ||
        { echo "FAIL: $example: version $version not in item 1.3"; return 1; }
    echo "ok: $example ($function at main.cpp:$line, version $version)"
}
check console stock-count CountOf 2.3.1.0 || failures=$((failures + 1))
grep -aqE "Warehouse.*: north" "$work/console-run/stock-count.ftlog" ||
    { echo "FAIL: console: the custom data handler's line is missing"; failures=$((failures + 1)); }
check qt label-printer PrintLabel 0.9.0.0 --fail-now || failures=$((failures + 1))
exit $failures
