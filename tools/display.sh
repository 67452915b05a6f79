# Sourced by the scripts: a virtual screen (Xvfb) of the run's own, or the display that is there.

# Starts an Xvfb on a free display number and exports DISPLAY; returns 1 with the reason when it cannot.
# stop_display ends it.
start_display() {
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "display: Xvfb is not installed (tools/setup.sh installs it)" >&2
        return 1
    fi
    local number_file log
    number_file="$(mktemp "${TMPDIR:-/tmp}/sotrix-display.XXXXXX")"
    log="$number_file.log"
    # -displayfd: Xvfb picks a free number itself and writes it when it is ready for clients.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number_file" >"$log" 2>&1 &
    SOTRIX_XVFB_PID=$!
    local _
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        kill -0 "$SOTRIX_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$number_file" ]; then
        echo "display: Xvfb did not start:" >&2
        tail -n 5 "$log" >&2
        kill "$SOTRIX_XVFB_PID" 2>/dev/null || true
        SOTRIX_XVFB_PID=""
        rm -f "$number_file" "$log"
        return 1
    fi
    export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
    rm -f "$number_file" "$log"
    if ! xdpyinfo >/dev/null 2>&1; then
        echo "display: Xvfb started on $DISPLAY but does not answer" >&2
        return 1
    fi
}

# Uses the display that is there (a desktop), else starts an Xvfb. Sets SOTRIX_OWN_DISPLAY=1 in that case.
display_ensure() {
    SOTRIX_OWN_DISPLAY=0
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    start_display || return 1
    SOTRIX_OWN_DISPLAY=1
}

stop_display() {
    if [ -n "${SOTRIX_XVFB_PID:-}" ]; then
        kill "$SOTRIX_XVFB_PID" 2>/dev/null || true
        wait "$SOTRIX_XVFB_PID" 2>/dev/null || true
        SOTRIX_XVFB_PID=""
    fi
}
