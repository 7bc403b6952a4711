#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader hears: starts the window on a private X server and session bus with
Qt's accessibility bridge on, reads its accessible tree through AT-SPI (pyatspi), and fails
when a control a person can reach has no name, or a known control is missing.

usage: atspi_tree.py TWINSIFT [--german] [--print]
With --german the window speaks German; then only missing names are looked for.
Exits 77 (skipped) when Xvfb, dbus-run-session or pyatspi is not installed."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77

# Roles a person reaches with the keyboard or reads as a control: each needs a name.
NAMED_ROLES = {
    "push button", "check box", "radio button", "slider", "combo box", "table", "tree",
    "tree table", "text", "entry", "progress bar", "spin button", "list", "page tab",
}

# Controls whose names a screen reader user relies on: the captions as they read, the
# shortened check box under its full caption.
EXPECTED = [
    ("push button", "List Files"),
    ("push button", "Find Duplicates"),
    ("check box", "Display Comparison Info"),
    ("slider", "Similarity"),
    ("table", "Results"),
    ("tree", "Folders"),
    ("text", "Folder"),
    ("slider", "Volume"),
    ("slider", "Position"),
    ("progress bar", "Progress"),
]


def inner(binary, show, german):
    import pyatspi

    home = tempfile.mkdtemp(prefix="twinsift-atspi-")
    language = "de_DE.UTF-8" if german else "C.UTF-8"
    env = dict(os.environ, HOME=home, QT_ACCESSIBILITY="1",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", LANG=language,
               LC_ALL=language, LANGUAGE="de" if german else "en",
               XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"))
    app = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    try:
        window = None
        deadline = time.monotonic() + 30
        while window is None and time.monotonic() < deadline:
            time.sleep(0.5)
            desktop = pyatspi.Registry.getDesktop(0)
            for a in desktop:
                if a is not None and a.get_process_id() == app.pid and a.childCount:
                    window = a
        if window is None:
            print("the window never appeared on the accessibility bus")
            return 1
        time.sleep(2)  # the start job fills the volume box and the tree

        seen, unnamed = [], []

        def walk(node, depth):
            if node is None or depth > 40:
                return
            role = node.getRoleName()
            name = node.name or ""
            states = node.getState()
            showing = states.contains(pyatspi.STATE_SHOWING)
            if show:
                print("  " * depth + f"[{role}] {name!r} {node.description or ''}")
            seen.append((role, name))
            if showing and role in NAMED_ROLES and not name.strip():
                unnamed.append(f"{role} under {node.parent.getRoleName()} "
                               f"{node.parent.name!r}")
            # Table cells are rows of data, not controls; their names are the cell texts.
            if role in ("table", "tree", "tree table"):
                return
            for child in node:
                walk(child, depth + 1)

        walk(window, 0)
        expected = [] if german else EXPECTED
        missing = [f"{r} {n!r}" for r, n in expected if (r, n) not in seen]
        for m in missing:
            print("missing:", m)
        for u in unnamed:
            print("no name:", u)
        print(f"{len(seen)} accessible objects read")
        return 1 if missing or unnamed else 0
    finally:
        app.terminate()
        app.wait(10)
        shutil.rmtree(home, ignore_errors=True)


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    binary, show, german = sys.argv[1], "--print" in sys.argv, "--german" in sys.argv
    if os.environ.get("TWINSIFT_ATSPI_INNER"):
        return inner(binary, show, german)
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        print("skipped: python3-pyatspi is not installed")
        return SKIP
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            print(f"skipped: {tool} is not installed")
            return SKIP
    # A display of our own, so the check never shows on (or depends on) the user's desktop.
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp"], pass_fds=[write],
                            stderr=subprocess.DEVNULL)
    os.close(write)
    # Xvfb writes the number and then a newline; it fails if the pipe closes in between.
    display = b""
    while not display.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        display += chunk
    os.close(read)
    display = display.decode().strip()
    try:
        env = dict(os.environ, DISPLAY=":" + display, TWINSIFT_ATSPI_INNER="1")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__] +
                               sys.argv[1:], env=env)
    finally:
        xvfb.terminate()
        xvfb.wait(10)


if __name__ == "__main__":
    sys.exit(main())
