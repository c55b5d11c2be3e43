#!/bin/sh
# Installs the Debian packages that the build needs; with --test also those
# of the test suite, with --bench also the benchmarks' reference tools. Safe to run again: only missing packages are installed.
# Works as root or through sudo.
set -eu

BUILD_PKGS="build-essential cmake pkg-config libjpeg62-turbo-dev libpng-dev zlib1g-dev
libgtkmm-3.0-dev libsigc++-2.0-dev libglfw3-dev libgl1-mesa-dev libglu1-mesa-dev
ffmpeg xdg-utils"
TEST_PKGS="libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool imagemagick
libjpeg-turbo-progs libimage-exiftool-perl mesa-utils chromium clang libclang-rt-14-dev
python3-dogtail python3-pyatspi at-spi2-core dbus-x11 dconf-gsettings-backend dconf-service
libx11-dev"
BENCH_PKGS="exiv2 valgrind feh"

want="$BUILD_PKGS"
case "${1:-}" in
    --test) want="$BUILD_PKGS $TEST_PKGS" ;;
    --bench) want="$BUILD_PKGS $TEST_PKGS $BENCH_PKGS" ;;
    "") ;;
    *) echo "usage: $0 [--test | --bench]" >&2; exit 2 ;;
esac

missing=""
for p in $want; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "install-deps: need root or sudo to install:$missing" >&2
    exit 1
fi

echo "install-deps: installing:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
echo "install-deps: done"
