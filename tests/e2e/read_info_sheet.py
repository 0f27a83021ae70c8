#!/usr/bin/python3
"""Opens Tools > Image Info... in the running album through the accessibility bus (AT-SPI) and
prints what the sheet's Image page shows: one line per label, in the page's order, then presses
OK. Exit status 1 with a reason on standard error when something is not found in time."""
import sys
import time

import pyatspi
from gi.repository import Atspi

WAIT_S = 20


def wait_for(find, what):
    deadline = time.time() + WAIT_S
    while time.time() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit("not found in time: " + what)


def search(node, wanted, depth=0):
    if wanted(node):
        return node
    if depth > 12:
        return None
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            found = search(child, wanted, depth + 1)
            if found is not None:
                return found
    return None


def album():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Vistrel":
            return app
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def labels(node, out, depth=0):
    if node.getRoleName() == "label" and showing(node):
        out.append(node.name)
    if depth < 12:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                labels(child, out, depth + 1)


app = wait_for(album, "the album on the accessibility bus")
item = wait_for(lambda: search(app, lambda n: n.getRoleName() == "menu item"
                               and n.name == "Image Info..."), "menu item Image Info...")
# The sheet is modal: the action's reply only comes once it closes, so it is not waited for.
Atspi.set_timeout(500, -1)
try:
    item.queryAction().doAction(0)
except Exception:
    pass
Atspi.set_timeout(-1, -1)
sheet = wait_for(lambda: search(app, lambda n: n.getRoleName() == "dialog"
                                and n.name == "Vistrel" and showing(n)), "the sheet")
texts = []
wait_for(lambda: (texts.clear(), labels(sheet, texts), texts if "Dimension:" in texts else None)[2],
         "the Image page's labels")
print("\n".join(texts))
ok = wait_for(lambda: search(sheet, lambda n: n.getRoleName() == "push button"
                             and n.name == "OK"), "the OK button")
ok.queryAction().doAction(0)
