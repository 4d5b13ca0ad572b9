#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, run and test Quorvex Dravel.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
    libuemf-dev
    # a second, independent reader of the chart's metafile for the tests
    emf2svg
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    poppler-utils xvfb xauth xdotool imagemagick x11-apps
    fonts-dejavu-core
    # fuzz targets (libFuzzer), readable sanitizer stacks, leak checks, peak memory
    clang libclang-rt-14-dev llvm-14 valgrind time procps
    # checks of the desktop entry and the AppStream data
    desktop-file-utils appstream
    # CI's house rules (layout, shell scripts, static checks) and its compile cache
    clang-format clang-tidy shellcheck ccache
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
