#!/bin/sh
# Builds the project, makes a demo album root from the sample camera photos
# that the build writes, and starts the album program on it, with its own
# settings in a scratch home folder: nothing of yours is read or changed.
#   sh scripts/demo.sh [scratch folder]
set -eu
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "demo: no display (DISPLAY is unset); run it in a desktop session," >&2
    echo "      or under a virtual one: xvfb-run -a sh scripts/demo.sh" >&2
    exit 1
fi

sh scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the demo runs: the programs, their catalogues and the sample photos.
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" \
    --target snapfolio snapfolio-cli glimvue3 program_data sample_photos

scratch=${1:-$(mktemp -d "${TMPDIR:-/tmp}/snapfolio-demo-XXXXXX")}
mkdir -p "$scratch/home"
rm -rf "$scratch/album"
DEMO_HOME="$scratch/home" sh scripts/make-demo-album.sh "$scratch/album" build
# The settings file as the program writes it (key=value, CR LF): the sample
# camera folder to import from, and the demo album root.
printf 'from=%s\r\nalbum=%s\r\n' "$scratch/album.camera" "$scratch/album" > "$scratch/home/.snapfolio"

echo "demo: album root $scratch/album (open $scratch/album/index.html in a browser)"
echo "demo: settings $scratch/home/.snapfolio"
HOME="$scratch/home" exec build/bin/snapfolio
