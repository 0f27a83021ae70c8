"""What the test scripts that read the running album over the accessibility bus (AT-SPI) share:
waiting for something to appear, and walking the album's tree of controls."""
import sys
import time

import pyatspi

WAIT_S = 20
# Deep enough for the controls of a page in a sheet in a dialog.
MAX_DEPTH = 14


def wait_for(find, what):
    """find's first result other than None within WAIT_S seconds; a find that fails while the
    tree changes is tried again. Exits with a reason when nothing comes."""
    deadline = time.time() + WAIT_S
    while time.time() < deadline:
        try:
            found = find()
        except Exception:
            found = None
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit("not found in time: " + what)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def search(node, wanted, depth=0):
    if wanted(node):
        return node
    if depth > MAX_DEPTH:
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


def labels(node, out, depth=0):
    """Appends the names of the showing labels under node, in the tree's order."""
    if node.getRoleName() == "label" and showing(node):
        out.append(node.name)
    if depth < MAX_DEPTH:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                labels(child, out, depth + 1)
