# Sourced: run_step WHAT COMMAND... runs one set-up step with its output kept aside; when
# it fails, the step is named and the tool's own output is shown.
run_step() {
    local what=$1 status=0 log
    shift
    mkdir -p "$build_dir/logs"
    log=$build_dir/logs/step.$$.log
    "$@" >"$log" 2>&1 </dev/null || status=$?
    if [ "$status" -ne 0 ]; then
        echo "set-up step failed: $what (exit code $status)" >&2
        echo "  command: $*" >&2
        sed 's/^/  | /' "$log" | tail -n 60 >&2
    fi
    rm -f "$log"
    return "$status"
}
