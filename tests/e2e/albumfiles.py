"""Files of album trees as the end-to-end tests compare them."""
import os
import re
import sys


def camera_dir(checkout):
    """The camera files: $SNAPFOLIO_SHARED or the shared folder beside the
    checkout. Without them the test ends as skipped (status 77)."""
    shared = os.environ.get('SNAPFOLIO_SHARED') or os.path.join(checkout, '..', 'shared')
    camera = os.path.join(shared, 'testdata', 'camera')
    if not os.path.isdir(camera):
        print('camera files absent (%s): skipped' % camera)
        sys.exit(77)
    return camera


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', newline='') as f:
        f.write(text)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def snapshot(top):
    """Every file and link below top: relative name -> bytes or link text;
    pages without the line that says when they were made."""
    files = {}
    for d, dirs, names in os.walk(top):
        for n in names + [x for x in dirs if os.path.islink(os.path.join(d, x))]:
            p = os.path.join(d, n)
            rel = os.path.relpath(p, top)
            if os.path.islink(p):
                files[rel] = b'-> ' + os.readlink(p).encode()
            else:
                data = read(p)
                if n.endswith('.html'):
                    data = re.sub(rb'\nHTML Generated: [^\n]*', b'\nHTML Generated: (time)', data)
                files[rel] = data
    return files
