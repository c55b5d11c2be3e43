"""Drives the album program's real windows through the accessibility tree,
as a user would: buttons pressed by their names, text typed into entries,
dialogs found by their titles. Run inside tests/e2e/a11y-session.sh.

    import snapdriver as sd
    app = sd.start(['build/bin/snapfolio'], env)
    sd.press(app.window('snapfolio - Albums'), 'Edit')
"""
import os
import shutil
import subprocess
import sys
import time

from dogtail import config

config.logDebugToFile = False
config.logDebugToStdOut = False
config.searchShowingOnly = True
config.defaultDelay = 0.05
config.actionDelay = 0.05
config.typingDelay = 0.01
config.searchBackoffDuration = 0.1
config.searchCutoffCount = 50  # 5 s for a node to appear

from dogtail import tree  # noqa: E402  (after the configuration)
import pyatspi  # noqa: E402


def wait_until(check, timeout=30.0, what='condition'):
    """check() until it gives something true; its value."""
    end = time.time() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.time() > end:
            raise TimeoutError('timed out waiting for ' + what)
        time.sleep(0.05)


class App:
    """The running program and its windows."""

    def __init__(self, process, name):
        self.process = process
        self.name = name
        self.node = wait_until(self._find, 30, 'application ' + name)

    def _find(self):
        if self.process.poll() is not None:
            raise RuntimeError('%s ended with status %s' % (self.name, self.process.returncode))
        for a in tree.root.applications():
            try:
                if a.name == self.name:
                    return a
            except Exception:  # an application going away meanwhile
                pass
        return None

    def windows(self):
        """The titles of the showing windows and dialogs."""
        return [w.name for w in self.node.children if w.showing]

    def window(self, title, timeout=30.0):
        """The showing window or dialog with this title (the newest one)."""
        def find():
            found = [w for w in self.node.children if w.name == title and w.showing]
            return found[-1] if found else None
        return wait_until(find, timeout, 'window ' + repr(title))

    def gone(self, title, timeout=60.0):
        wait_until(lambda: title not in self.windows(), timeout, repr(title) + ' to close')

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()


def start(argv, env=None, name=None):
    """Starts the program (standard error kept in .stderr) and finds it."""
    full = dict(os.environ)
    full.update(env or {})
    process = subprocess.Popen(argv, env=full, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return App(process, name or os.path.basename(argv[0]))


def find(node, name, role=None, timeout=10.0):
    """The first showing node below `node` with this accessible name."""
    def look():
        hits = node.findChildren(
            lambda n: n.name == name and (role is None or n.roleName == role) and n.showing)
        return hits[0] if hits else None
    return wait_until(look, timeout, '%s %r' % (role or 'node', name))


def click(node, name, role='push button'):
    """Clicks a control with the mouse. Buttons that run a modal dialog are
    clicked so: the accessible action would wait for the dialog to end,
    and the program answers no other request meanwhile."""
    target = find(node, name, role)
    # A window still filling in moves its buttons: click where the control
    # has stayed for a moment, not where it was when first found.
    def settled():
        before = (target.position, target.size)
        time.sleep(0.2)
        return before if before == (target.position, target.size) else None
    (x, y), (w, h) = wait_until(settled, 30, 'a still %r' % name)
    pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, 'b1c')
    return target


def press(node, name, role='push button'):
    """Presses a button (or toggles a toggle) by its accessible action; for
    buttons that do not open a modal dialog."""
    target = find(node, name, role)
    for action in ('click', 'press', 'toggle', 'activate'):
        if action in target.actions:
            target.doActionNamed(action)
            return target
    raise RuntimeError('%r has no action to press it' % name)


def set_text(node, name, text, role='text'):
    """Replaces an entry's text."""
    entry = find(node, name, role)
    entry.text = text
    return entry


def set_value(node, name, value, role='spin button'):
    target = find(node, name, role)
    target.value = value
    return target


# The checks of one test script: each failure is printed as it happens and
# the script ends with verdict().
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print('FAIL:', what)


def stop(app, work):
    """Ends the program; after a failed check its standard error is shown
    and the work folder is kept to look at."""
    broken = sys.exc_info()[0] is not None  # a step that raised
    if broken:
        try:
            print('showing windows:', app.windows())
        except Exception:
            pass
    app.stop()
    err = app.process.stderr.read().decode(errors='replace')
    if (failures or broken) and err:
        print('snapfolio standard error:\n' + err)
    if not failures and not broken:
        shutil.rmtree(work, ignore_errors=True)


def verdict(work, passed):
    """The script's exit status, with a line saying how it went."""
    if failures:
        print('%d check(s) failed; files kept in %s' % (len(failures), work))
        return 1
    print(passed)
    return 0
