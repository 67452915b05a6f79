# Sourced by the scripts (after tools/environment.sh): Wine prefixes made fresh from a cached template,
# and one Wine session per prefix, so that runs on one machine never share a server, a mutex or a setting.

SOTRIX_WINE_TEMPLATE="$SOTRIX_USER_CACHE/wine-template"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Some kernels run 64-bit user code only: execve of an i386 program fails with ENOEXEC. Whether this one does is
# asked of the kernel itself, never inferred from Wine, so that a broken 32-bit Wine cannot pass for a machine
# that cannot run i386 code:
#   SOTRIX_WINE_I386=1       the kernel runs i386 programs and Wine's 32-bit loader works: both builds run;
#   SOTRIX_WINE_I386=0       the kernel refuses i386 programs: only 64-bit Windows programs can run here;
#   SOTRIX_WINE_I386=broken  the kernel runs i386 programs but Wine's 32-bit side fails, or the kernel's answer
#                            was not one of the two: the tests must fail.
# SOTRIX_WINE_I386_REASON says what the probe saw. Wine's launcher always starts its 32-bit loader first, so
# unless both sides work every Wine command goes straight to the 64-bit loader (small commands of our own,
# first on PATH, stand in for wine, wine-stable and wineboot): 64-bit programs still run for the user.
SOTRIX_WINE_LOADER32="${SOTRIX_WINE_LOADER32:-/usr/lib/wine/wine}"
SOTRIX_WINE_LOADER64="${SOTRIX_WINE_LOADER64:-/usr/lib/wine/wine64}"

# Writes the kernel probe to $1: a 96-byte static i386 ELF (ELF header, one loadable segment, then
# "mov eax,1; mov ebx,7; int 0x80"), which only exits with status 7.
kernel_i386_probe_write() {
    {
        printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'  # 32-bit, little-endian
        printf '\002\000\003\000\001\000\000\000'                                # executable, i386, version 1
        printf '\124\200\004\010\064\000\000\000\000\000\000\000'                # entry 0x8048054, program headers at 52
        printf '\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000' # flags, sizes, one program header
        printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' # PT_LOAD of the file at 0x8048000
        printf '\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000' # 96 bytes, read and execute
        printf '\270\001\000\000\000\273\007\000\000\000\315\200'              # exit(7)
    } >"$1" && chmod +x "$1"
}

# Runs the probe: prints what the kernel did; "runs" (status 0), "refuses" (1, ENOEXEC) or "unknown" (2).
kernel_i386_probe() {
    local folder="${SOTRIX_USER_CACHE:-${TMPDIR:-/tmp}}" probe output status
    mkdir -p "$folder" 2>/dev/null
    probe="$(mktemp "$folder/i386-probe.XXXXXX")" || { echo "unknown: no file for the probe in $folder"; return 2; }
    if ! kernel_i386_probe_write "$probe"; then
        rm -f "$probe"
        echo "unknown: the probe could not be written to $probe"
        return 2
    fi
    output="$("$probe" 2>&1)"
    status=$?
    rm -f "$probe"
    output="${output##*: }"
    if [ "$status" = 7 ]; then
        echo "runs: an i386 program ran and exited with its status 7"
        return 0
    fi
    if [ "$status" = 126 ] && [ "$output" = "Exec format error" ]; then
        echo "refuses: execve of an i386 program failed with ENOEXEC (Exec format error)"
        return 1
    fi
    echo "unknown: the i386 probe ended with status $status${output:+ ($output)}"
    return 2
}

# The decision from the kernel's answer (runs, refuses, unknown) and the 32-bit loader's (ok, missing,
# fails): prints 1, 0 or broken.
wine_i386_decide() {
    case "$1:$2" in
    runs:ok) echo 1 ;;
    refuses:*) echo 0 ;;
    *) echo broken ;;
    esac
}

# Sends every Wine command of this shell to the 64-bit loader.
wine_64_only() {
    local shims="$SOTRIX_USER_CACHE/wine64-only" loader64="$SOTRIX_WINE_LOADER64"
    export WINELOADER="$loader64"
    if [ "$(cat "$shims/.loader" 2>/dev/null)" != "$loader64" ]; then
        mkdir -p "$shims.new.$$" || return 1
        printf '#!/bin/sh\nexec %s "$@"\n' "$loader64" >"$shims.new.$$/wine"
        printf '#!/bin/sh\nexec %s wineboot.exe "$@"\n' "$loader64" >"$shims.new.$$/wineboot"
        chmod +x "$shims.new.$$/wine" "$shims.new.$$/wineboot"
        cp "$shims.new.$$/wine" "$shims.new.$$/wine-stable"
        printf '%s\n' "$loader64" >"$shims.new.$$/.loader"
        rm -rf "$shims" && mv "$shims.new.$$" "$shims" || rm -rf "$shims.new.$$"
    fi
    case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
}

wine_i386_probe() {
    local kernel loader="ok" loader_output
    kernel="$(kernel_i386_probe)"
    if [ ! -x "$SOTRIX_WINE_LOADER32" ]; then
        loader="missing"
        loader_output="$SOTRIX_WINE_LOADER32 is not installed (package wine32:i386)"
    elif ! loader_output="$("$SOTRIX_WINE_LOADER32" --version 2>&1)"; then
        loader="fails"
        loader_output="$SOTRIX_WINE_LOADER32 --version failed: $(printf '%s' "$loader_output" | tail -n 3)"
    fi
    SOTRIX_WINE_I386="$(wine_i386_decide "${kernel%%:*}" "$loader")"
    case "$SOTRIX_WINE_I386" in
    1) SOTRIX_WINE_I386_REASON="the kernel ${kernel#*: }; Wine's 32-bit loader runs" ;;
    0) SOTRIX_WINE_I386_REASON="the kernel runs 64-bit programs only: ${kernel#*: }" ;;
    *)
        if [ "${kernel%%:*}" = runs ]; then
            SOTRIX_WINE_I386_REASON="the kernel runs i386 programs (${kernel#*: }), but Wine's 32-bit side is broken: $loader_output"
        else
            SOTRIX_WINE_I386_REASON="the kernel's answer to the i386 probe is not clear: ${kernel#*: }"
        fi
        ;;
    esac
    if [ "$SOTRIX_WINE_I386" != 1 ] && [ -x "$SOTRIX_WINE_LOADER64" ]; then wine_64_only; fi
    export SOTRIX_WINE_I386 SOTRIX_WINE_I386_REASON
}
# Scripts started by one that probed already (CTest's emulator, the network runner) take its answer.
if [ -z "${SOTRIX_WINE_I386:-}" ]; then
    wine_i386_probe
elif [ "$SOTRIX_WINE_I386" != 1 ] && [ -x "$SOTRIX_WINE_LOADER64" ]; then
    wine_64_only
fi

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
        if ! wine_x11_virtual_screen "$work" on; then
            # Without them every test's hide would wait for a window manager that never answers.
            echo "wine: the X11 settings for a virtual screen could not be written to $work" >&2
            WINEPREFIX="$work" wineserver -k 2>/dev/null
            rm -rf "$work"
            exit 1
        fi
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
