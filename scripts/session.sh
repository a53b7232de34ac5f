# Sourced: starts and stops what Windows programs need around a run. Xvfb on a free
# display (unless one is given), a fresh copy of the template prefix, and a warm wine
# server started detached, so that ctest does not wait on the pipes it inherits.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || return 1
xvfb_pid=

# start_display [reuse]: with "reuse", an existing $DISPLAY is kept.
start_display() {
    [ "${1:-}" = reuse ] && [ -n "${DISPLAY:-}" ] && return 0
    unset DISPLAY
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
        xvfb_pid=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
        unset DISPLAY
    done
    echo "session: no X display could be started" >&2
    return 1
}

# start_session NAME: a private display and the prefix $wine_root/NAME.
start_session() {
    start_display || exit 1
    new_prefix "$1"
}

# new_prefix NAME: prefix $wine_root/NAME, copied fresh from the template, with a warm
# wine server; the previous prefix's server is stopped first.
new_prefix() {
    if [[ "${WINEPREFIX:-}" == "$wine_root"/* ]]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    export WINEPREFIX=$wine_root/$1
    rm -rf "$WINEPREFIX"
    cp -a "$template_prefix" "$WINEPREFIX"
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

stop_session() {
    wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    return 0
}
