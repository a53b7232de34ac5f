# Sourced after session.sh: drives the setup window on the virtual display as a user
# would, and saves what it shows. The window is never raced: each picture waits for the
# state it shows.
#
# drive_setup_window FOLDER DPI: in a fresh prefix at DPI dots per inch, starts the
# installer, saves FOLDER/<percent>-ready.png, presses the main button with a real
# click, saves FOLDER/<percent>-progress.png, waits for "开始体验", saves
# FOLDER/<percent>-finished.png and closes the window with its close button. Leaves the
# installer's exit code in setup_exit_code; fails when the window never showed or never
# finished, or when a picture does not show it. Run it in the script's own shell, not in
# $(...): the prefix's wine server would hold the substitution's pipe open for ever.

# A length of the window at 100 % scaled for DPI, rounded as the installer rounds.
scaled() { echo $(( ($1 * $2 + 48) / 96 )); }

# The top-left corner of the installer's window on the screen, "X Y".
setup_window_origin() {
    local id
    id=$(xdotool search --name '^(安装Tessamo|Tessamo软件升级)$' 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 1
    xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}

# The screen pixel at (X, Y) as rrggbb.
screen_pixel() {
    local shot
    shot=$(mktemp --suffix=.png)
    import -window root "$shot" 2>/dev/null
    picture_pixel "$shot" "$1" "$2"
    rm -f "$shot"
}

# picture_shows_window PICTURE X Y DPI: the picture shows the window with its top-left
# corner at (X, Y): its caption colour and its body colour where they belong, and more
# than one colour in all.
picture_shows_window() {
    local picture=$1 x=$2 y=$3 dpi=$4 caption body colours
    caption=$(picture_pixel "$picture" $((x + $(scaled 300 "$dpi"))) $((y + $(scaled 20 "$dpi"))))
    body=$(picture_pixel "$picture" $((x + $(scaled 12 "$dpi"))) $((y + $(scaled 404 "$dpi"))))
    colours=$(convert "$picture" -format '%k' info: 2>/dev/null)
    if [ "$caption" != ffba00 ] || [ "$body" != f0f0f0 ] || [ "${colours:-0}" -le 1 ]; then
        echo "drive-window: $picture does not show the window (caption $caption, body $body, $colours colours)" >&2
        return 1
    fi
}

picture_pixel() {
    convert "$1" -crop "1x1+$2+$3" txt:- 2>/dev/null | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f'
}

setup_exit_code=

drive_setup_window() {
    local folder=$1 dpi=$2 percent=$(( $2 * 100 / 96 ))
    setup_exit_code=
    new_prefix "run-$percent"
    # Read by every program the prefix starts from now on.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    local dl=$WINEPREFIX/drive_c/dl
    mkdir -p "$dl"
    cp "$test_build_dir/bin/TessamoSetup.exe" "$dl/"
    (cd "$dl" && exec wine 'C:\dl\TessamoSetup.exe' >/dev/null 2>&1) &
    local setup_pid=$! origin="" x y
    for _ in $(seq 300); do
        origin=$(setup_window_origin) && [ -n "$origin" ] && break
        sleep 0.1
    done
    if [ -z "$origin" ]; then
        echo "drive-window: the setup window never showed at $dpi dpi" >&2
        kill "$setup_pid" 2>/dev/null
        return 1
    fi
    read -r x y <<<"$origin"
    # The first composition, then the picture of the ready window.
    sleep 1
    import -window root "$folder/$percent-ready.png"
    # The main button's centre: (R - 52, B - 59) at 100 %, in window coordinates.
    xdotool mousemove $((x + $(scaled 456 "$dpi"))) $((y + $(scaled 349 "$dpi"))) click 1
    # The path box's border (its left edge at 86 at 100 %) goes when the installation starts.
    local box_x=$((x + $(scaled 86 "$dpi"))) box_y=$((y + $(scaled 349 "$dpi")))
    for _ in $(seq 100); do
        [ "$(screen_pixel "$box_x" "$box_y")" != dddddd ] && break
        sleep 0.05
    done
    import -window root "$folder/$percent-progress.png"
    # "开始体验" covers (B - 25) in the middle of the window once the installation succeeded.
    local start_x=$((x + $(scaled 258 "$dpi"))) start_y=$((y + $(scaled 383 "$dpi"))) finished=""
    for _ in $(seq 600); do
        [ "$(screen_pixel "$start_x" "$start_y")" != f0f0f0 ] && finished=yes && break
        sleep 0.1
    done
    # The button's fade has ended when the picture no longer changes.
    sleep 0.5
    import -window root "$folder/$percent-finished.png"
    # The close button in the caption: (W - 23, 24) at 100 %.
    xdotool mousemove $((x + $(scaled 493 "$dpi"))) $((y + $(scaled 24 "$dpi"))) click 1
    wait "$setup_pid"
    setup_exit_code=$?
    if [ -z "$finished" ]; then
        echo "drive-window: the installation never finished at $dpi dpi" >&2
        return 1
    fi
    local state shown=0
    for state in ready progress finished; do
        picture_shows_window "$folder/$percent-$state.png" "$x" "$y" "$dpi" || shown=1
    done
    return $shown
}
