# Sourced by the scripts (after tools/environment.sh): Wine prefixes made fresh from a cached template,
# and one Wine session per prefix, so that runs on one machine never share a server, a mutex or a setting.

SOTRIX_WINE_TEMPLATE="$SOTRIX_USER_CACHE/wine-template"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Some kernels run 64-bit user code only: execve of an i386 program fails with ENOEXEC. Wine's launcher
# then fails at once, because it always starts its 32-bit loader first. On such a machine every Wine command
# goes straight to the 64-bit loader (small commands of our own, first on PATH, stand in for wine, wine-stable
# and wineboot), so 64-bit Windows programs run as usual; 32-bit Windows programs cannot run at all there,
# and SOTRIX_WINE_I386 is 0.
wine_i386_probe() {
    local loader32=/usr/lib/wine/wine loader64=/usr/lib/wine/wine64 shims
    SOTRIX_WINE_I386=1
    [ -x "$loader32" ] && [ -x "$loader64" ] || return 0
    "$loader32" --version >/dev/null 2>&1 && return 0
    SOTRIX_WINE_I386=0
    export WINELOADER="$loader64"
    shims="$SOTRIX_USER_CACHE/wine64-only"
    if [ ! -x "$shims/wineboot" ]; then
        mkdir -p "$shims.new.$$" || return 1
        printf '#!/bin/sh\nexec %s "$@"\n' "$loader64" >"$shims.new.$$/wine"
        printf '#!/bin/sh\nexec %s wineboot.exe "$@"\n' "$loader64" >"$shims.new.$$/wineboot"
        chmod +x "$shims.new.$$/wine" "$shims.new.$$/wineboot"
        cp "$shims.new.$$/wine" "$shims.new.$$/wine-stable"
        rm -rf "$shims" && mv "$shims.new.$$" "$shims" || rm -rf "$shims.new.$$"
    fi
    case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
}
wine_i386_probe
export SOTRIX_WINE_I386

# What the template was made with; another Wine or another recipe makes it anew.
wine_template_stamp() {
    printf '%s virtual-screen 3 i386-%s\n' "$(wine --version 2>/dev/null)" "$SOTRIX_WINE_I386"
}

# Wine's X11 driver on a virtual screen of our own (Xvfb, no window manager):
# - Managed=N: Wine draws window frames itself instead of handing windows to a window manager; with none
#   to answer, captions would be missing and every hide would wait about 2 s.
# - ClientSideWithRender=N, UseXRandR=N, UseXVidMode=N: fewer Xlib calls on Wine's shared connection.
#   Wine's painting there draws a steady stream of ignored X errors under Xvfb, and libX11 can lock up for
#   good when one thread handles such an error while another is inside XGetDefault (which XRender's font
#   selection calls on every SelectObject of a font) or waits for a RandR reply: seen as a program whose
#   three threads all wait in libX11. Without XRender fonts are drawn by Wine's own engine, as they are
#   into our off-screen bitmaps anyway; the screen's one mode is the display mode.
# wine_x11_virtual_screen PREFIX on|off
wine_x11_virtual_screen() {
    local prefix="$1" key='HKCU\Software\Wine\X11 Driver' value
    if [ "$2" = on ]; then
        for value in Managed ClientSideWithRender UseXRandR UseXVidMode; do
            WINEPREFIX="$prefix" wine reg add "$key" /v "$value" /d N /f >/dev/null 2>&1 || return 1
        done
    else
        for value in Managed ClientSideWithRender UseXRandR UseXVidMode; do
            WINEPREFIX="$prefix" wine reg delete "$key" /v "$value" /f >/dev/null 2>&1
        done
    fi
    return 0
}

wine_template_ensure() {
    local template="$SOTRIX_WINE_TEMPLATE" stamp
    stamp="$(wine_template_stamp)"
    [ "$(cat "$template/.sotrix-template" 2>/dev/null)" = "$stamp" ] && return 0
    mkdir -p "$SOTRIX_USER_CACHE" || return 1
    (
        flock 9
        [ "$(cat "$template/.sotrix-template" 2>/dev/null)" = "$stamp" ] && exit 0
        echo "wine: making the prefix template in $template" >&2
        work="$template.new.$$"
        rm -rf "$work"
        mkdir -p "$work"
        WINEPREFIX="$work" wineboot -i >/dev/null 2>&1 || true
        wine_x11_virtual_screen "$work" on
        WINEPREFIX="$work" wineserver -w 2>/dev/null || true
        if [ ! -f "$work/system.reg" ]; then
            echo "wine: wineboot could not make a prefix in $work" >&2
            exit 1
        fi
        printf '%s\n' "$stamp" >"$work/.sotrix-template"
        rm -rf "$template"
        mv "$work" "$template"
    ) 9>"$SOTRIX_USER_CACHE/wine-template.lock"
}

# Makes a fresh prefix at $1 from the template (run wine_session_stop on the old one first).
wine_prefix_fresh() {
    local target="$1" template="$SOTRIX_WINE_TEMPLATE"
    rm -rf "$target"
    mkdir -p "$(dirname "$target")"
    # The three system folders hold about 1.2 GB of DLLs that Wine only reads: hard links share them with
    # the template. Everything else (the registry, the user's folders) is copied, so no run changes the template.
    if cp -a --link "$template" "$target" 2>/dev/null; then
        (
            cd "$target" || exit 1
            find . -type f -not -path './drive_c/windows/system32/*' -not -path './drive_c/windows/syswow64/*' \
                -not -path './drive_c/windows/winsxs/*' -print0 |
                while IFS= read -r -d '' file; do cp -p --remove-destination "$template/$file" "$file"; done
        ) || return 1
    else
        rm -rf "$target"
        cp -a "$template" "$target" || return 1
    fi
}

# Starts the prefix's server and runs one program in it, so Wine's own start (its services, the first
# 32-bit process) is paid here and not by the first test. Fails with the reason when Wine cannot run it.
wine_session_start() {
    local prefix="$1"
    shift
    local log
    log="$(mktemp "${TMPDIR:-/tmp}/sotrix-wine.XXXXXX")"
    if ! WINEPREFIX="$prefix" wineserver -p 2>"$log"; then
        echo "wine: the server for $prefix did not start:" >&2
        tail -n 5 "$log" >&2
        rm -f "$log"
        return 1
    fi
    if ! WINEPREFIX="$prefix" timeout 180 wine "$@" >/dev/null 2>"$log"; then
        echo "wine: could not run $* in $prefix:" >&2
        tail -n 5 "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

# Ends the server of this prefix only (and every program still running in it).
wine_session_stop() {
    WINEPREFIX="$1" wineserver -k 2>/dev/null || true
}
