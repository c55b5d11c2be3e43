#!/bin/sh
# Runs a command where GTK programs can be driven through the accessibility
# tree, as a screen reader or desktop automation would: an X server (an Xvfb
# of its own when DISPLAY is unset), a private D-Bus session (the
# accessibility bus starts on demand inside it), accessibility switched on
# in a scratch HOME's settings, and GTK's bridge module loaded.
#   tests/e2e/a11y-session.sh COMMAND [ARGS...]
# Exits 77 (skipped) when the tools are missing.
set -eu

if ! command -v dbus-run-session >/dev/null 2>&1 || ! command -v gsettings >/dev/null 2>&1 ||
    ! /usr/bin/python3 -c 'import dogtail, pyatspi' 2>/dev/null; then
    echo "a11y-session: dbus-run-session, gsettings or python3-dogtail missing" \
        "(sh scripts/install-deps.sh --test)" >&2
    exit 77
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" sh "$0" "$@"
fi
if [ -z "${A11Y_SESSION_BUS:-}" ]; then
    export A11Y_SESSION_BUS=1
    # The settings go to a scratch HOME: the user's own are left alone.
    HOME=$(mktemp -d "${TMPDIR:-/tmp}/a11y-home.XXXXXX")
    export HOME
    trap 'rm -rf "$HOME"' EXIT
    dbus-run-session -- sh "$0" "$@"
    exit $?
fi

gsettings set org.gnome.desktop.interface toolkit-accessibility true
export GTK_MODULES=gail:atk-bridge
export NO_AT_BRIDGE=0
exec "$@"
