#!/bin/sh
# The README's pictures of the photo frame: glimvue3 shows one sample photo
# with each frame type and the window is read back from the screen. Run
# under X (xvfb-run -a -s "-screen 0 1920x1080x24" sh THIS <build dir>).
set -eu
build=$1
out=$(dirname "$0")/../docs/frames
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
photo=$work/photo.jpg
convert "$(ls "$build"/samples/camera/*.JPG | head -n 1)" -resize 240x180 "$photo"
for type in 0 1 2 3 4; do
    HOME=$work "$build/bin/glimvue3" -resizetype 0 -frametype $type -framewidth 24 \
        -framecolor 200,40,40 -winsize 320x240 -g +0+0 "$photo" &
    pid=$!
    wid=$(xdotool search --sync --onlyvisible --pid $pid | head -n 1)
    sleep 1
    import -window "$wid" "$out/frame-$type.png"
    xdotool windowfocus --sync "$wid" key q
    wait $pid
done
