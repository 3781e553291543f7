# Shared by the example tests: runs a built example into its failure and checks its log.
# check_example <build folder> <program> <source file> <function> <version> [arguments]
# The source file marks the failing line with "// the failure"; the log must hold the call-stack
# line of <function> in that file at that line, and item 1.3 must show <version>.
check_example() {
    local built=$1 program=$2 source=$3 function=$4 version=$5
    shift 5
    local line unit run_folder log
    line=$(grep -n "// the failure" "$source" | cut -d: -f1)
    unit=$(basename "$source")
    run_folder="$built-run"
    rm -rf "$run_folder"
    mkdir -p "$run_folder"
    cp "$built/$program" "$run_folder/"
    (cd "$run_folder" && QT_QPA_PLATFORM=offscreen timeout 60 "./$program" "$@") \
        >"$run_folder/out" 2>"$run_folder/err" || true
    log="$run_folder/$program.ftlog"
    [ -f "$log" ] || log=$(ls "$run_folder"/*.ftlog 2>/dev/null | head -1)
    if [ -z "$log" ] || [ ! -f "$log" ]; then
        echo "FAIL: $program left no log: $(cat "$run_folder/out" "$run_folder/err")"
        return 1
    fi
    if ! grep -aE "\|${unit//./\\.} *\|[^|]*\|[^|]*$function[^|]*\| *$line\[" "$log" >/dev/null; then
        echo "FAIL: $program: no call-stack line for $function at $unit:$line"
        cat "$log"
        return 1
    fi
    grep -aq "1.3 Version Number *: $version" "$log" ||
        { echo "FAIL: $program: version $version not in item 1.3"; return 1; }
    echo "ok: $program ($function at $unit:$line, version $version)"
}
