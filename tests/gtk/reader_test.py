#!/usr/bin/python3
# The desktop program through the accessibility bus, as a screen reader
# sees it: the picture area is a terminal whose text holds the firmware's
# banner, with the caret on the cursor's line; a line typed (xdotool) raises
# text-changed events for the lines it prints; the status bar has its texts.
# Usage: reader_test.py WINDOW-ID   Every wait polls against a deadline.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

window = sys.argv[1]
failures = []


def check(what, ok):
    print(("ok: " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)


def find(root, role):
    if root is None:
        return None
    if root.getRole() == role:
        return root
    for child in root:
        found = find(child, role)
        if found is not None:
            return found
    return None


def poll(seconds, probe):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = probe()
        if value:
            return value
        GLib.MainContext.default().iteration(False)
        time.sleep(0.05)
    return probe()


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and (app.name or "").lower().startswith("tarvik"):
            return app
    return None


def screen_text():
    terminal = find(program(), pyatspi.ROLE_TERMINAL)
    if terminal is None:
        return None
    text = terminal.queryText()
    return terminal, text.getText(0, text.characterCount)


found = poll(60, lambda: (lambda s: s if s and "Tarvik 4.1 - Szabad ROM" in s[1] else None)(
    screen_text()))
check("the terminal's text holds the banner", bool(found))
if not found:
    sys.exit(1)
terminal, text = found
check("its name", terminal.name == "A gép képernyője")
check("Hungarian letters as letters", "Gépi kód" in text)
caret = terminal.queryText().caretOffset
line = text[:caret].split("\n")[-1] if caret >= 0 else ""
check("the caret is on the prompt line (%d: %r)" % (caret, line), line.startswith(">"))

inserted = []
pyatspi.Registry.registerEventListener(
    lambda e: inserted.append(e.any_data or ""), "object:text-changed:insert")
subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)
subprocess.run(["xdotool", "type", "--delay", "120", "l 4100"], check=False)
subprocess.run(["xdotool", "key", "--delay", "120", "Return"], check=False)
listed = poll(60, lambda: [t for t in inserted if t.startswith("4100")])
check("a text-changed event for the listing (%r)" % inserted[:8], bool(listed))
check("the banner is not said again", not any("Tarvik 4.1" in t for t in inserted))

status = find(program(), pyatspi.ROLE_STATUS_BAR)
check("the status bar is named", status is not None and status.name == "Állapotsor")
check("the status bar tells the model (%r)" % (status and status.description),
      status is not None and "Tarvik4" in (status.description or ""))
sys.exit(1 if failures else 0)
