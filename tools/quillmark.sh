#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   tools/quillmark.sh run    install what is missing, build, start the program
#   tools/quillmark.sh test   install what is missing, build, run every test
#   tools/quillmark.sh build  install what is missing and build only
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${QUILLMARK_BUILD_DIR:-$ROOT/build}"
PACKAGES=(build-essential cmake qt6-base-dev qt6-base-dev-tools libgl-dev libcurl4-openssl-dev python3-aiosmtpd openssl
          qt6-webengine-dev qt6-webchannel-dev xvfb libxcb1-dev)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
    local werror=OFF
    [ -n "${CI:-}" ] && werror=ON
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_WERROR="$werror"
    cmake --build "$BUILD" --parallel "$(nproc)"
}

case "${1:-}" in
    run)
        install_packages
        build
        exec "$BUILD/bin/ppc-quillmark"
        ;;
    test)
        install_packages
        build
        cd "$BUILD"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
        ;;
    build)
        install_packages
        build
        ;;
    *)
        echo "usage: $0 run|test|build" >&2
        exit 2
        ;;
esac
