#!/usr/bin/env bash
# Builds the .deb and installs it on a clean Debian 12 made with debootstrap,
# then runs both programs there: proves the package declares what it needs.
# Needs root, debootstrap and a reachable Debian mirror; takes several minutes,
# so it is not part of CI.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QD_BUILD_DIR:-$root/build}"
chroot_dir="${1:-/tmp/qd-bookworm}"
mirror="${QD_DEBIAN_MIRROR:-http://deb.debian.org/debian}"

"$root/scripts/build.sh"
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/quorvex-dravel_*_amd64.deb) # in version order for one version scheme
deb="${debs[-1]}"

command -v debootstrap >/dev/null || apt-get install -y -q debootstrap
if [ ! -x "$chroot_dir/usr/bin/apt-get" ]; then
    debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror"
fi
cp "$deb" "$chroot_dir/tmp/"
cp "$root/samples/H0001.wav" "$chroot_dir/tmp/"
chroot "$chroot_dir" /bin/sh -ec "
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q /tmp/$(basename "$deb")
    quorvex-convert --version
    cd /tmp && quorvex-convert -o /tmp H0001.wav && head -3 /tmp/H0001.csv
    QT_QPA_PLATFORM=offscreen timeout 5 quorvex-dravel || [ \$? = 124 ]
"
echo "The package installs and runs on a clean Debian 12: $deb"
