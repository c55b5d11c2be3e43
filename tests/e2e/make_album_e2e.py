"""The album program as a user drives it, under an X server, through the
accessibility tree: the books button, a new album made from camera files
(some picked, two turned), compared with snapfolio-cli make of the same
files and turns; then the album renamed into the sub-book 2024/trip, and an
entry removed (cancelled once at the second question, then confirmed).

    a11y-session.sh /usr/bin/python3 make_album_e2e.py BIN_DIR SOURCE_DIR
The camera files are those beside the checkout (SOURCE_DIR/../shared, or
$SNAPFOLIO_SHARED); without them the test exits 77 (skipped).
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import snapdriver as sd  # noqa: E402
from snapdriver import check  # noqa: E402
from albumfiles import camera_dir, read, snapshot, write  # noqa: E402

BIN = sys.argv[1]
CAMERA = camera_dir(sys.argv[2])

# Copied, picked (with the turn in degrees) or left out.
FILES = {'olympus_D-450Z_P3110001.JPG': 90, 'Ricoh_RDC5300.jpg': 270,
         'sony_DSC-P5_DSC00002.JPG': 0, 'Landscape_1.jpg': 0,
         'Samsung_GT-I9000_Galaxy_S.jpg': None, 'kodak_DC280_DCP_4389.JPG': None}
TITLE, BEGIN, LAST = 'Trip "south" & <north>', 'first day\nsecond line', 'the end'

def differences(a, b):
    out = [('only window: ' + k) for k in sorted(set(a) - set(b))]
    out += [('only cli: ' + k) for k in sorted(set(b) - set(a))]
    out += [('differs: ' + k) for k in sorted(set(a) & set(b)) if a[k] != b[k]]
    return out


work = tempfile.mkdtemp(prefix='snapfolio-e2e.')
cam, root, cli_root, home = (os.path.join(work, d) for d in ('cam', 'root', 'cli', 'home'))
os.makedirs(cam)
for name in FILES:
    shutil.copy2(os.path.join(CAMERA, name), cam)
for r in (root, cli_root):
    write(os.path.join(r, 'txt', 'head.txt'), 'Albums\r\nAlbums\r\n')
write(os.path.join(home, '.snapfolio'), 'album=%s\r\nfrom=%s\r\n' % (root, cam))
env = {'HOME': home, 'LANG': 'C.UTF-8', 'ASAN_OPTIONS': 'detect_leaks=0'}

app = sd.start([os.path.join(BIN, 'snapfolio')], env)
try:
    # The books button: the album root's editor; its new-album action.
    sd.click(app.window('snapfolio - Albums'), 'Edit')
    sd.click(app.window('Edit'), 'New album')
    dialog = app.window('New album')
    sd.press(dialog, 'Reload')  # the camera folder of the settings
    for name, degrees in FILES.items():
        sd.find(dialog, name, 'toggle button')
    sd.set_text(dialog, 'Album', 'trip0')
    for name, degrees in FILES.items():
        if degrees is None:
            continue
        sd.press(dialog, name, 'toggle button')
        if degrees:
            sd.press(dialog, name + ' Rotate', 'check box')
            sd.set_value(dialog, name + ' Rotate angle', degrees)
    sd.set_text(dialog, 'Title', TITLE)
    sd.set_text(dialog, 'Text above the pictures', BEGIN)
    sd.set_text(dialog, 'Text below the pictures', LAST)
    sd.click(dialog, 'OK')
    app.gone('New album', 300)
    editor = app.window('Edit')
    sd.find(editor, 'trip0', 'text')  # the new album's row
    album = os.path.join(root, 'trip0')
    check(os.path.isdir(os.path.join(album, 'original')), 'the album was made')

    # The same files and turns made headless: the same album, page for page.
    args = [os.path.join(BIN, 'snapfolio-cli'), '--title', TITLE, '--begin', BEGIN + '\n',
            '--last', LAST + '\n', 'make', cam, os.path.join(cli_root, 'trip0')]
    args += ['%s:%d' % (n, d) for n, d in FILES.items() if d is not None]
    subprocess.run(args, env=dict(os.environ, **env), check=True, stdout=subprocess.DEVNULL)
    diff = differences(snapshot(album), snapshot(os.path.join(cli_root, 'trip0')))
    check(not diff, 'window and cli albums differ:\n  ' + '\n  '.join(diff))

    # Renamed into a sub-book: moved, the sub-book made, both books' pages.
    sd.set_text(editor, 'trip0', '2024/trip')
    sd.click(editor, 'OK')
    app.gone('Edit')
    moved = os.path.join(root, '2024', 'trip')
    check(os.path.isdir(os.path.join(moved, 'original')), 'moved into 2024/trip')
    check(not os.path.exists(album), 'trip0 is gone')
    sub_page = read(os.path.join(root, '2024', 'index.html'))
    check(b'trip/index.html' in sub_page, "2024's page lists trip")
    root_page = read(os.path.join(root, 'index.html'))
    check(b'2024/index.html' in root_page and b'trip0' not in root_page,
          "the root's page lists 2024, not trip0")

    # Removal asks twice: Cancel at the second question keeps everything;
    # OK twice removes the entry and nothing else.
    before = snapshot(root)
    sd.click(app.window('snapfolio - Albums'), 'Edit')
    editor = app.window('Edit')
    for answers in (('OK', 'Cancel'), ('OK', 'OK')):
        sd.click(editor, '2024 Remove')
        sd.click(app.window('Remove (1/2)'), answers[0])
        sd.click(app.window('Remove (2/2)'), answers[1])
        app.gone('Remove (2/2)')
        if answers[1] == 'Cancel':
            check(os.path.isdir(moved), 'Cancel at the second question removes nothing')
            check(snapshot(root) == before, 'Cancel changes nothing')
    sd.wait_until(lambda: not os.path.exists(os.path.join(root, '2024')), 30, '2024 removed')
    after = snapshot(root)
    left = {k for k in before if not k.startswith('2024/')}
    check(set(after) == left, 'only 2024 went: %s' % sorted(set(after) ^ left))
    check(all(after[k] == before[k] for k in left if k != 'index.html'),
          'nothing else changed')
    sd.click(editor, 'Cancel')
    app.gone('Edit')
    sd.click(app.window('snapfolio - Albums'), 'Close')
    check(app.process.wait(30) == 0, 'Close ends the program with status 0')
finally:
    sd.stop(app, work)
sys.exit(sd.verdict(work, 'make, rename and remove from the windows: all checks passed'))
