# Sourced: small helpers for set-up steps that must never fail silently.

# run_step WHAT COMMAND... runs one step with its output kept aside; when it fails, the
# step is named and the tool's own output is shown.
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

# install_missing PACKAGE...: installs from Debian the packages not installed yet.
install_missing() {
    local p missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    echo "setup: installing ${missing[*]}"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        run_step "enable the i386 architecture" dpkg --add-architecture i386 || return 1
    fi
    run_step "apt-get update" apt-get update &&
        run_step "install ${missing[*]}" \
            env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
