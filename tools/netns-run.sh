#!/usr/bin/env bash
# Runs a command in a network of its own, so tests can ping, resolve and fetch without any traffic leaving
# the machine: a user and network namespace with loopback up and a veth pair (sxa 10.77.0.1/24, sxb
# 10.77.0.2/24; nothing answers behind them but the namespace itself), optionally its own /etc/hosts and
# /etc/resolv.conf (a mount namespace bind-mounts them), and its own Wine session: a fresh prefix whose
# server and device services (which do Wine's ICMP and adapter queries) start inside the namespace.
#
# usage: tools/netns-run.sh [--hosts FILE] [--resolv FILE] -- COMMAND [ARG...]
#
# Before the command runs, the namespace's routing is read back: no default route, no route or address but
# loopback's and the veth pair's, and no route to an outside address. Anything else ends the run (nothing is
# sent to find out).
#
# The command sees SOTRIX_NETNS_CONTROL, a folder (as a Windows path, Z:\...) where a file named
# "down-<interface>" or "up-<interface>" sets that interface down or up; the file is removed when done.
# With SOTRIX_WINEPREFIX set, that prefix is made fresh from the template and its Wine session started inside
# the namespace: a prefix whose services run outside would serve the command from the machine's network.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [ "${1:-}" != "--inside" ]; then
    hosts="" resolv=""
    while [ $# -gt 0 ]; do
        case "$1" in
        --hosts) hosts="$(realpath "$2")" && shift 2 ;;
        --resolv) resolv="$(realpath "$2")" && shift 2 ;;
        --) shift && break ;;
        *) echo "netns-run: unknown option $1" >&2 && exit 2 ;;
        esac
    done
    if [ $# -eq 0 ]; then
        echo "netns-run: no command" >&2
        exit 2
    fi
    if ! unshare -cnm --keep-caps true 2>/dev/null; then
        echo "netns-run: this machine does not allow user and network namespaces (unshare -cnm)" >&2
        exit 1
    fi
    export SOTRIX_NETNS_HOSTS="$hosts" SOTRIX_NETNS_RESOLV="$resolv"
    exec unshare -cnm --keep-caps --propagation private "$0" --inside "$@"
fi
shift

set -e
ip link set lo up
ip link add sxa type veth peer name sxb
ip addr add 10.77.0.1/24 dev sxa
ip addr add 10.77.0.2/24 dev sxb
ip link set sxa up
ip link set sxb up
[ -n "$SOTRIX_NETNS_HOSTS" ] && mount --bind "$SOTRIX_NETNS_HOSTS" /etc/hosts
[ -n "$SOTRIX_NETNS_RESOLV" ] && mount --bind "$SOTRIX_NETNS_RESOLV" /etc/resolv.conf
set +e

# Fails with what it found when the namespace could reach anything beyond itself.
isolation_check() {
    local problems="" line name address
    while read -r line; do
        case "$line" in
        default* | *" via "*) problems+="  route: $line"$'\n' ;;
        *" dev lo "* | *" dev lo" | *" dev sxa "* | *" dev sxa" | *" dev sxb "* | *" dev sxb") ;;
        "") ;;
        *) problems+="  route: $line"$'\n' ;;
        esac
    done < <(ip -4 route show table all; ip -6 route show table all)
    while read -r _ name _ address _; do
        name="${name%:}"
        case "$name" in lo | sxa | sxb) ;; *) problems+="  interface: $name"$'\n' ;; esac
        case "$address" in
        127.* | 10.77.0.1/24 | 10.77.0.2/24 | ::1/128 | fe80:*) ;;
        *) problems+="  address: $address on $name"$'\n' ;;
        esac
    done < <(ip -o address show)
    # The kernel's own routing decision for an outside address, asked without sending anything.
    for address in 192.0.2.1 2001:db8::1; do
        if ip route get "$address" >/dev/null 2>&1; then problems+="  a route to $address"$'\n'; fi
    done
    if [ -n "$problems" ]; then
        printf 'netns-run: the namespace is not isolated:\n%s' "$problems" >&2
        return 1
    fi
}
isolation_check || exit 1

control="$(mktemp -d "${TMPDIR:-/tmp}/sotrix-netns.XXXXXX")"
export SOTRIX_NETNS_CONTROL="Z:${control//\//\\}"
# Serves the link requests while the command runs.
(
    while [ -d "$control" ]; do
        for request in "$control"/down-* "$control"/up-*; do
            [ -e "$request" ] || continue
            name="$(basename "$request")"
            ip link set "${name#*-}" "${name%%-*}" && rm -f "$request"
        done
        sleep 0.05
    done
) &
server=$!

prefix=""
if [ -n "${SOTRIX_WINEPREFIX:-}" ]; then
    # shellcheck source=tools/environment.sh
    source "$here/environment.sh"
    # shellcheck source=tools/wine.sh
    source "$here/wine.sh"
    prefix="$SOTRIX_WINEPREFIX"
    wine_session_stop "$prefix"
    wine_template_ensure && wine_prefix_fresh "$prefix" || exit 1
    export SOTRIX_WINEPREFIX="$prefix" WINEPREFIX="$prefix"
    # The server outlives this script's output: it must not hold the caller's pipes open.
    WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1 || exit 1
fi

finish() {
    [ -n "$prefix" ] && wine_session_stop "$prefix"
    rm -rf "$control"
    kill "$server" 2>/dev/null
}
trap finish EXIT
trap 'exit 143' TERM INT

"$@"
