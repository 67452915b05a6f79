# Sourced by the scripts: where the caches are, and how to run a command as root.
#
# SOTRIX_CACHE (default /var/cache/sotrix) holds what tools/setup.sh builds as root and everyone reads:
# libcurl for both Windows architectures and Debian's curl source. SOTRIX_USER_CACHE holds what must
# belong to the user who builds: the compiler cache and the Wine prefix template (Wine refuses a prefix
# that another user owns). For root both are the same folder.
SOTRIX_CACHE="${SOTRIX_CACHE:-/var/cache/sotrix}"
if [ "$(id -u)" -eq 0 ]; then
    SOTRIX_USER_CACHE="${SOTRIX_USER_CACHE:-$SOTRIX_CACHE}"
else
    SOTRIX_USER_CACHE="${SOTRIX_USER_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sotrix}"
fi
export SOTRIX_CACHE SOTRIX_USER_CACHE
export CCACHE_DIR="${CCACHE_DIR:-$SOTRIX_USER_CACHE/ccache}"
# Six configurations share the cache; ccache's default of 5 GB would drop one's objects for another's.
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}"
# Paths below the clone's root are hashed as relative ones, so another clone of the same sources (a CI run,
# a second work tree) finds the objects this one compiled.
CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export CCACHE_BASEDIR CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs what the build needs (as root, through sudo for other users); quick when all is there.
run_setup() {
    local here
    here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
    as_root env SOTRIX_CACHE="$SOTRIX_CACHE" bash "$here/setup.sh"
}
