#!/usr/bin/env bash
# Installs everything Sotrix needs to build and test on Debian 12, as root: packages (clang and its libFuzzer
# runtime for the fuzz preset among them), the German locale, and libcurl for both Windows architectures built from
# Debian's curl source into $SOTRIX_CACHE.
# Idempotent: when all is there it only checks and returns within seconds. The Wine prefixes belong to
# the user who runs the tests: tools/wine.sh makes them.
set -euo pipefail

CACHE="${SOTRIX_CACHE:-/var/cache/sotrix}"
CURL_VERSION_WANTED="7.88.1"

log() { printf 'setup: %s\n' "$*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

PACKAGES=(
    cmake ninja-build g++ ccache git python3 dpkg-dev libcurl4-openssl-dev zlib1g-dev
    googletest nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
    libz-mingw-w64-dev binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 wine32:i386
    xvfb xauth x11-utils imagemagick xdotool locales clang-format iproute2
    clang libclang-rt-dev
)

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$p"
        fi
    done
}

install_packages() {
    local missing
    missing=$(missing_packages || true)
    [ -z "$missing" ] && { log "packages present"; return; }
    log "installing: $(echo $missing | tr '\n' ' ')"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# The fuzz preset links libFuzzer's runtime, which clang looks for in its own runtime folder.
check_fuzzer_runtime() {
    local runtime
    runtime="$(clang --print-runtime-dir 2>/dev/null)/libclang_rt.fuzzer-$(uname -m).a"
    if [ ! -f "$runtime" ]; then
        log "clang's fuzzer runtime is missing ($runtime); the package libclang-rt-dev should provide it"
        exit 1
    fi
}

setup_locale() {
    # The German interface is tested under Wine with LC_ALL=de_DE.UTF-8.
    if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
        log "generating de_DE.UTF-8"
        as_root sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
}

# The entries of the machine's own package sources, with the type deb-src: Debian's curl source comes
# from the mirror this machine is configured for. Prints deb822 stanzas and one-line entries, in that order.
source_entries_deb822() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        [ "$(basename "$file")" = sotrix-src.sources ] && continue
        awk '
            function flush() { if (n && is_deb) { for (i = 1; i <= n; i++) print lines[i]; print "" } n = 0; is_deb = 0 }
            /^[[:space:]]*#/ { next }
            /^[[:space:]]*$/ { flush(); next }
            /^Types:/ { if ($0 ~ /[[:space:]]deb([[:space:]]|$)/) is_deb = 1; lines[++n] = "Types: deb-src"; next }
            { lines[++n] = $0 }
            END { flush() }
        ' "$file"
    done
}

source_entries_one_line() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        [ "$(basename "$file")" = sotrix-src.list ] && continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file"
    done
}

# Writes $1 with the text $2 (or removes it when the text is empty); true when it changed.
source_file_write() {
    local file="$1" text="$2"
    if [ -z "$text" ]; then
        [ -f "$file" ] || return 1
        as_root rm -f "$file"
        return 0
    fi
    [ -f "$file" ] && [ "$(cat "$file")" = "$text" ] && return 1
    printf '%s\n' "$text" | as_root tee "$file" >/dev/null
}

source_entries_write() {
    local changed=0
    source_file_write /etc/apt/sources.list.d/sotrix-src.sources "$(source_entries_deb822)" && changed=1
    source_file_write /etc/apt/sources.list.d/sotrix-src.list "$(source_entries_one_line)" && changed=1
    if [ ! -f /etc/apt/sources.list.d/sotrix-src.sources ] && [ ! -f /etc/apt/sources.list.d/sotrix-src.list ]; then
        log "no Debian package source is configured on this machine"
        exit 1
    fi
    if [ $changed -eq 1 ]; then as_root apt-get update -qq; fi
}

fetch_curl_source() {
    local src="$CACHE/src"
    if ls "$src"/curl_*.orig.tar.* >/dev/null 2>&1; then return; fi
    log "fetching Debian's curl source package"
    source_entries_write
    mkdir -p "$src"
    (cd "$src" && apt-get source --download-only -qq curl >/dev/null)
}

build_curl() {
    local triplet="$1" prefix="$CACHE/curl-$1"
    if [ -f "$prefix/lib/libcurl.a" ] && [ -f "$prefix/.complete" ]; then
        log "libcurl for $triplet present"
        return
    fi
    fetch_curl_source
    log "building libcurl for $triplet"
    local work="$CACHE/build-curl-$triplet"
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    tar -xf "$(ls "$CACHE"/src/curl_*.orig.tar.* | head -n1)" -C "$work" --strip-components=1
    cmake -S "$work" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_DIR/$triplet.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
        -DCURL_ZLIB=ON -DHTTP_ONLY=ON -DCURL_DISABLE_LDAP=ON -DCURL_USE_LIBPSL=OFF \
        -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DENABLE_MANUAL=OFF -DBUILD_TESTING=OFF \
        -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triplet/include" \
        >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log"; exit 1; }
    cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; exit 1; }
    cmake --install "$work/build" >/dev/null
    touch "$prefix/.complete"
    rm -rf "$work"
}

main() {
    HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    TOOLCHAIN_DIR="$HERE/cmake/toolchains"
    install_packages
    check_fuzzer_runtime
    setup_locale
    mkdir -p "$CACHE"
    build_curl x86_64-w64-mingw32
    build_curl i686-w64-mingw32
    log "done (cache: $CACHE, libcurl $CURL_VERSION_WANTED)"
}

main "$@"
