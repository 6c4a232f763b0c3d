# Sourced by scripts/test and scripts/demo: an X display for Wine (Xvfb on a
# free display number, two monitors wide) and a fresh Wine prefix inside the build folder
# (build/win64/wineprefix, or the folder given).
XVFB_PID=""

start_wine_display() {
    local prefix=${1:-$PWD/build/win64/wineprefix}
    local display=99
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
        display=$((display + 1))
    done
    # Two monitors of 1600 by 1200 side by side, as Wine reports them when
    # it does not ask XRandR itself (wine/make-prefix.sh turns that off).
    Xvfb ":${display}" -screen 0 3200x1200x24 +extension RANDR -noreset -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":${display}"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X${display}" ] && break
        sleep 0.1
    done
    xrandr --setmonitor left 1600/423x1200/318+0+0 screen >/dev/null
    xrandr --setmonitor right 1600/423x1200/318+1600+0 none >/dev/null
    export WINEPREFIX="$prefix"
    set -a
    source wine/wine.env
    set +a
    rm -rf "$WINEPREFIX"
}

stop_wine_display() {
    if [ -n "$XVFB_PID" ]; then
        wineserver -k >/dev/null 2>&1 || true
        kill "$XVFB_PID" >/dev/null 2>&1 || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
