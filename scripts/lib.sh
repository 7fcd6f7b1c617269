# Shared by the scripts in this folder: installing Debian packages, building, and a desktop.
# shellcheck shell=bash

VELMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages to build and run the launcher.
VELMORA_BUILD_PACKAGES=(cmake make g++ qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n fonts-dejavu-core
    pkg-config libpcre2-dev libxcb1-dev ccache)
# Packages that the tests add: the formatter, a real X server with a window manager and hands
# for it, clang's libFuzzer, the validators of the desktop files and of the Debian package, and
# the three shells whose completion is tested (driven by Python on a terminal).
VELMORA_TEST_PACKAGES=(clang-format xvfb xdotool wmctrl openbox x11-utils clang libclang-rt-14-dev
    desktop-file-utils appstream dpkg-dev file lintian python3 bash-completion zsh fish
    dbus-daemon libglib2.0-bin shared-mime-info)
# The device catalogue's regeneration script runs under Node.js; Debian's serves where no node
# is installed already.
command -v node >/dev/null 2>&1 || VELMORA_TEST_PACKAGES+=(nodejs)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Installs the named packages that are not installed yet; does nothing when all are there.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

jobs_count() {
    nproc 2>/dev/null || echo 2
}

# build_preset NAME: configures and builds one of the configurations in CMakePresets.json.
build_preset() {
    (cd "$VELMORA_ROOT" && cmake --preset "$1" >/dev/null &&
        cmake --build --preset "$1" --parallel "$(jobs_count)")
}

# start_desktop: starts Xvfb on a display number nobody uses and openbox on it, exports DISPLAY
# and QT_QPA_PLATFORM=xcb, and stops both when the calling script exits. The caller must not
# set its own EXIT trap afterwards; it can add commands to VELMORA_ON_EXIT instead.
VELMORA_ON_EXIT=()
VELMORA_DESKTOP_PIDS=()
velmora_exit() {
    local code=$? pid i
    set +e
    # Last registered first: a program started in a directory stops before the directory goes.
    for ((i = ${#VELMORA_ON_EXIT[@]} - 1; i >= 0; i--)); do eval "${VELMORA_ON_EXIT[$i]}" || true; done
    # The window manager before its server, so that it need not complain of a lost display.
    for ((i = ${#VELMORA_DESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
        pid="${VELMORA_DESKTOP_PIDS[$i]}"
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    return "$code"
}
trap velmora_exit EXIT

start_desktop() {
    local n=$((100 + RANDOM % 400)) tries=0 i xvfb_pid
    # A display number another server takes at the same moment makes our Xvfb quit: the next
    # number is tried then.
    while :; do
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
            n=$((n + 1))
            tries=$((tries + 1))
            [ "$tries" -lt 200 ] || { echo "no free X display" >&2; return 1; }
        done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp &
        xvfb_pid=$!
        for i in $(seq 100); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
            sleep 0.05
        done
        if kill -0 "$xvfb_pid" 2>/dev/null && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
            break
        fi
        kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
        n=$((n + 1))
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "Xvfb did not start" >&2; return 1; }
    done
    VELMORA_DESKTOP_PIDS+=("$xvfb_pid")
    export DISPLAY=":$n" QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    # openbox gives up when it comes too early; it is started again then.
    local attempt openbox_pid
    for attempt in 1 2 3; do
        openbox &
        openbox_pid=$!
        for i in $(seq 200); do
            if xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; then
                VELMORA_DESKTOP_PIDS+=("$openbox_pid")
                return 0
            fi
            kill -0 "$openbox_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$openbox_pid" 2>/dev/null && wait "$openbox_pid" 2>/dev/null
    done
    echo "openbox did not start on :$n" >&2
    return 1
}
