# Shared by the scripts in this folder: installing Debian packages and building.
# shellcheck shell=bash

VELMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages to build and run the launcher.
VELMORA_BUILD_PACKAGES=(cmake make g++ qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
    fonts-dejavu-core)
# Packages that the tests add: a real X server and a hand for modal boxes in other processes,
# clang's libFuzzer, and the validators of the desktop files.
VELMORA_TEST_PACKAGES=(xvfb xdotool wmctrl openbox clang libclang-rt-14-dev desktop-file-utils
    appstream dpkg-dev file)

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

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir="$1"
    shift
    cmake -S "$VELMORA_ROOT" -B "$VELMORA_ROOT/$dir" "$@"
    cmake --build "$VELMORA_ROOT/$dir" --parallel "$(jobs_count)"
}
