"""An album curated as a user does it, through the accessibility tree of the
real windows: opened from the book editor, two pictures marked best and one
print, a comment in non-ASCII text, one picture turned by 90 degrees, OK.
Then on disk: the mark files, the comment file, every level of the turned
picture (the full size a lossless turn as jpegtran makes it, the others
upright in pixels against an ImageMagick turn of what they were), the album
pages and the book's two best-of collections. Last, the dialog opened again,
changed everywhere and cancelled: not one byte changes.

    a11y-session.sh /usr/bin/python3 edit_album_e2e.py BIN_DIR SOURCE_DIR
Without the camera files (SOURCE_DIR/../shared or $SNAPFOLIO_SHARED),
jpegtran or ImageMagick the test exits 77 (skipped).
"""
import os
import re
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
for tool in ('jpegtran', 'compare', 'identify'):
    if not shutil.which(tool):
        print('%s missing (sh scripts/install-deps.sh --test): skipped' % tool)
        sys.exit(77)

BEST = ['olympus_D-450Z_P3110001.JPG', 'Ricoh_RDC5300.jpg']
PRINT = 'sony_DSC-P5_DSC00002.JPG'
TURNED = 'Landscape_1.jpg'  # 1800 x 1200: three stored sizes and a thumbnail
NAMES = BEST + [PRINT, TURNED]
COMMENT = 'Grüße aus Zürich, 東京の夜'
# The album's levels as the ladder names them, largest first.
LEVELS = ['size0', 'size1', 'size2', 'thumb']

def dimensions(path):
    out = subprocess.run(['identify', '-format', '%w %h', path], capture_output=True, text=True)
    return tuple(int(v) for v in out.stdout.split())


def rmse(path, reference):
    """The normalised root-mean-square difference of two pictures (0 to 1)."""
    out = subprocess.run(['compare', '-metric', 'RMSE', path, reference, 'null:'],
                         capture_output=True, text=True)
    found = re.search(r'\(([0-9.e+-]+)\)', out.stderr)
    return float(found.group(1)) if found else 1.0


work = tempfile.mkdtemp(prefix='snapfolio-e2e-edit.')
cam, root, home, before_dir = (os.path.join(work, d) for d in ('cam', 'root', 'home', 'before'))
os.makedirs(cam)
for name in NAMES:
    shutil.copy2(os.path.join(CAMERA, name), cam)
write(os.path.join(root, 'txt', 'head.txt'), 'Albums\r\nAlbums\r\n')
write(os.path.join(home, '.snapfolio'), 'album=%s\r\nfrom=%s\r\n' % (root, cam))
env = {'HOME': home, 'LANG': 'C.UTF-8', 'ASAN_OPTIONS': 'detect_leaks=0'}
album = os.path.join(root, 'trip')
subprocess.run([os.path.join(BIN, 'snapfolio-cli'), '--title', 'Trip', 'make', cam, album],
               env=dict(os.environ, **env), check=True, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)
# The turned picture's levels as they were, resolved (size0 is a link).
os.makedirs(before_dir)
for level in LEVELS:
    shutil.copyfile(os.path.join(album, level, TURNED), os.path.join(before_dir, level + '.jpg'))
check(all(os.path.exists(os.path.join(album, lv, TURNED)) for lv in LEVELS),
      'the turned picture has every level')

app = sd.start([os.path.join(BIN, 'snapfolio')], env)
try:
    sd.click(app.window('snapfolio - Albums'), 'Edit')
    book = app.window('Edit')
    sd.click(book, 'trip List')
    dialog = sd.wait_until(lambda: len([w for w in app.node.children
                                        if w.name == 'Edit' and w.showing]) == 2 and
                           app.window('Edit'), 30, 'the album dialog')
    for name in BEST:
        sd.press(dialog, name + ' Best', 'check box')
    sd.press(dialog, PRINT + ' Print', 'check box')
    sd.set_text(dialog, PRINT + ' Comment', COMMENT)
    sd.press(dialog, TURNED + ' Rotate', 'check box')
    sd.set_value(dialog, TURNED + ' Rotate angle', 90)
    sd.click(dialog, 'OK')
    sd.wait_until(lambda: app.windows().count('Edit') == 1, 120, 'the album dialog to close')

    # Marks: one name a line, CR LF, byte-wise order; untouched lists unwritten.
    txt = os.path.join(album, 'txt')
    expected = {'best.txt': sorted(BEST), 'print.txt': [PRINT], 'good.txt': sorted(BEST + [PRINT])}
    for list_name, names in expected.items():
        want = b''.join(n + b'\r\n' for n in sorted(n.encode() for n in names))
        path = os.path.join(txt, list_name)
        got = read(path) if os.path.exists(path) else b''
        check(got == want, '%s holds %r, not %r' % (list_name, got, want))
    for list_name in ('apply.txt', 'submit.txt', 'upload.txt', 'fail.txt'):
        path = os.path.join(txt, list_name)
        check(not os.path.exists(path) or read(path) == b'', list_name + ' stays empty')
    comment_file = os.path.join(txt, os.path.splitext(PRINT)[0] + '.txt')
    check(os.path.exists(comment_file) and read(comment_file) == (COMMENT + '\r\n').encode(),
          'the comment file holds the comment with CR LF')

    # The turned picture: size0 exactly jpegtran's lossless turn of what it
    # was; the re-encoded levels the old pixels turned, within the loss of
    # one more encode.
    size0 = os.path.join(album, 'size0', TURNED)
    turned0 = subprocess.run(['jpegtran', '-copy', 'none', '-rotate', '90',
                              os.path.join(before_dir, 'size0.jpg')],
                             capture_output=True, check=True).stdout
    check(not os.path.islink(size0) and read(size0) == turned0,
          'size0 is jpegtran -copy none -rotate 90 of the original')
    for level in LEVELS[1:]:
        old = os.path.join(before_dir, level + '.jpg')
        reference = os.path.join(work, level + '-turned.ppm')
        subprocess.run(['convert', old, '-rotate', '90', reference], check=True)
        new = os.path.join(album, level, TURNED)
        w, h = dimensions(old)
        check(dimensions(new) == (h, w), '%s is %s, not %dx%d' % (level, dimensions(new), h, w))
        diff = rmse(new, reference)
        print('%s turned: RMSE %.4f against the old level turned' % (level, diff))
        check(diff < 0.03, '%s differs from the old level turned by %.4f' % (level, diff))
    check(read(os.path.join(album, 'original', TURNED)) == read(os.path.join(cam, TURNED)),
          'the original is untouched')

    # The album pages: the comment on the album's page; the turned
    # picture's own page still shows its levels.
    index = read(os.path.join(album, 'index.html')).decode()
    check(COMMENT in index, 'the album page shows the comment')
    zoom = os.path.join(album, 'html', os.path.splitext(TURNED)[0] + '_1.html')
    check(os.path.exists(zoom) and '../size1/' + TURNED in read(zoom).decode(),
          "the turned picture's page shows its levels")
    page = read(os.path.join(album, 'list.html')).decode()
    check(all(n in page for n in NAMES), 'the list page lists every picture')

    # The book's collections: exactly the good pictures, exactly the best.
    for entry, names in (('_Best', BEST + [PRINT]), ('_BestBook', BEST)):
        path = os.path.join(root, entry, 'index.html')
        text = read(path).decode() if os.path.exists(path) else ''
        shown = sorted(n for n in NAMES if n in text)
        check(shown == sorted(names), '%s lists %s, not %s' % (entry, shown, sorted(names)))

    # Cancel: everything changed in the dialog, nothing on disk.
    before = snapshot(root)
    sd.click(book, 'trip List')
    dialog = sd.wait_until(lambda: app.windows().count('Edit') == 2 and app.window('Edit'),
                           30, 'the album dialog again')
    sd.press(dialog, BEST[0] + ' Fail', 'radio button')
    sd.press(dialog, PRINT + ' Upload', 'check box')
    sd.set_text(dialog, TURNED + ' Comment', 'nie')
    sd.press(dialog, TURNED + ' Rotate', 'check box')
    sd.set_value(dialog, TURNED + ' Rotate angle', 180)
    sd.click(dialog, 'Cancel')
    sd.wait_until(lambda: app.windows().count('Edit') == 1, 30, 'the album dialog to close')
    after = snapshot(root)
    changed = sorted(k for k in set(before) | set(after) if before.get(k) != after.get(k))
    check(not changed, 'Cancel changed %s' % changed)

    sd.click(book, 'Cancel')
    app.gone('Edit')
    sd.click(app.window('snapfolio - Albums'), 'Close')
    check(app.process.wait(30) == 0, 'Close ends the program with status 0')
finally:
    sd.stop(app, work)
sys.exit(sd.verdict(work, 'curating an album from its window: all checks passed'))
