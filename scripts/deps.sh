# Installs the Debian packages that building and testing Quarvelin need, when any is missing.
# Sourced by the other scripts.
QUARVELIN_PACKAGES="cmake g++ make ccache pkg-config qt6-base-dev libgl-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev"

quarvelin_install_deps() {
    local missing=""
    for p in $QUARVELIN_PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

quarvelin_build() {
    local build_dir="$1"
    shift
    cmake -S "$QUARVELIN_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build_dir" -j"$(nproc)"
}
