#!/bin/sh
# Takes the README's screenshots (docs/edit-book.png, docs/make-album.png)
# of the album program on the demo album, under an X server of its own, with
# the windows driven through the accessibility tree (tests/e2e). Needs a
# build (the programs and the sample photos) and the test packages.
#   scripts/screenshots.sh [build dir]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/snapfolio-shots-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" docs
# Today's date would name the new album: a fixed one keeps the pictures
# the same from run to run.
DEMO_HOME="$scratch/home" sh scripts/make-demo-album.sh "$scratch/album" "$build" >/dev/null
printf 'from=%s\r\nalbum=%s\r\n' "$scratch/album.camera" "$scratch/album" > "$scratch/home/.snapfolio"
HOME="$scratch/home" LANG=C.UTF-8 sh tests/e2e/a11y-session.sh /usr/bin/python3 - \
    "$build/bin/snapfolio" "$scratch/home" "$PWD/docs" <<'PY'
import os, subprocess, sys
sys.path.insert(0, 'tests/e2e')
import snapdriver as sd

program, home, docs = sys.argv[1:4]
app = sd.start([program], {'HOME': home})


def shot(title, name):
    """The window as X draws it, in 256 colours to keep the file small."""
    wid = subprocess.run(['xdotool', 'search', '--name', '^%s$' % title],
                         capture_output=True, text=True, check=True).stdout.split()[-1]
    subprocess.run(['import', '-window', wid, '-colors', '256',
                    'PNG8:' + os.path.join(docs, name)], check=True)


try:
    sd.click(app.window('snapfolio - Albums'), 'Edit')
    editor = app.window('Edit')
    sd.wait_until(lambda: editor.size[1] > 200, 10, 'the editor laid out')
    shot('Edit', 'edit-book.png')
    sd.click(editor, 'New album')
    dialog = app.window('New album')
    sd.press(dialog, 'Reload')
    sd.set_text(dialog, 'Album', '20260704')
    for name in ('IMG_0006.JPG', 'P4280003.JPG', '_5120001.JPG'):
        sd.press(dialog, name, 'toggle button')
    sd.press(dialog, 'P4280003.JPG Rotate', 'check box')
    sd.set_value(dialog, 'P4280003.JPG Rotate angle', 90)
    sd.set_text(dialog, 'Title', 'Summer picnic')
    sd.set_text(dialog, 'Text above the pictures', 'Lunch by the lake.')
    sd.wait_until(lambda: True, 1)
    shot('New album', 'make-album.png')
finally:
    app.stop()
PY
ls -l docs/*.png
