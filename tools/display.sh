# Sourced by the scripts: gives Wine a display, starting Xvfb when there is none.
start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local number
    for number in 91 92 93 94 95 96 97 98 99; do
        [ -e "/tmp/.X${number}-lock" ] && continue
        Xvfb ":${number}" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        SOTRIX_XVFB_PID=$!
        export DISPLAY=":${number}"
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X${number}" ] && break
            sleep 0.1
        done
        trap stop_display EXIT
        return
    done
    echo "no free display number for Xvfb" >&2
    exit 1
}

stop_display() {
    if [ -n "${SOTRIX_XVFB_PID:-}" ]; then
        kill "$SOTRIX_XVFB_PID" 2>/dev/null || true
        wait "$SOTRIX_XVFB_PID" 2>/dev/null || true
    fi
}
