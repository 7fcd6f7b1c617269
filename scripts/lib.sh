# Shared by the scripts in this folder: installing Debian packages, building, and a desktop.
# shellcheck shell=bash

VELMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages to build and run the launcher.
VELMORA_BUILD_PACKAGES=(cmake make g++ qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n fonts-dejavu-core)
# Packages that the tests add: the formatter, a real X server with a window manager and hands
# for it, clang's libFuzzer, the validators of the desktop files and of the Debian package.
VELMORA_TEST_PACKAGES=(clang-format xvfb xdotool wmctrl openbox x11-utils clang libclang-rt-14-dev
    desktop-file-utils appstream dpkg-dev file lintian)
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
    local pid i
    # Last registered first: a program started in a directory stops before the directory goes.
    for ((i = ${#VELMORA_ON_EXIT[@]} - 1; i >= 0; i--)); do eval "${VELMORA_ON_EXIT[$i]}" || true; done
    for pid in "${VELMORA_DESKTOP_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    return 0
}
trap velmora_exit EXIT

start_desktop() {
    local n=$((100 + RANDOM % 400)) tries=0
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
        n=$((n + 1))
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "no free X display" >&2; return 1; }
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp &
    VELMORA_DESKTOP_PIDS+=($!)
    export DISPLAY=":$n" QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    local i
    for i in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        [ "$i" -lt 100 ] || { echo "Xvfb did not start on :$n" >&2; return 1; }
        sleep 0.05
    done
    openbox &
    VELMORA_DESKTOP_PIDS+=($!)
    for i in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    echo "openbox did not start on :$n" >&2
    return 1
}
