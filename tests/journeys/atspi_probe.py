#!/usr/bin/python3
"""Finds a control of the running album on the accessibility bus (AT-SPI) by role and accessible
name, and reports on it or acts on it:

  centre ROLE NAME   prints the centre of the showing control in screen pixels ("x y")
  press ROLE NAME    runs the control's first action (menu items need not be showing); for a
                     check box or radio button that is the toggle a screen reader uses
  checked ROLE NAME  prints 1 when the showing control is checked, else 0
  sensitive ROLE NAME  prints 1 when the showing control can be used, else 0
  text ROLE NAME     prints the text of the showing control (an edit, a spin button)
  texts TITLE        prints the names of the labels of the showing window TITLE, separated by
                     the record separator (0x1e), so that texts of several lines stay whole

Exit status 1 with a reason on standard error when nothing is found within WAIT_S seconds."""
import os
import sys

import pyatspi
from gi.repository import Atspi

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from atspi_tree import album, labels, search, showing, wait_for  # noqa: E402

SEPARATOR = "\x1e"


def windows():
    """The album's windows, its dialogs first: a dialog's control wins over the main window's
    control of the same name."""
    app = album()
    found = [app.getChildAtIndex(i) for i in range(app.childCount)]
    found = [w for w in found if w is not None]
    return [w for w in found if w.getRoleName() == "dialog"] + \
        [w for w in found if w.getRoleName() != "dialog"]


def control(role, name, must_show=True):
    def wanted(node):
        return (node.getRoleName() == role and node.name == name
                and (not must_show or showing(node)))

    def find():
        for window in windows():
            found = search(window, wanted)
            if found is not None:
                return found
        return None
    return wait_for(find, role + " " + name)


def main(command, args):
    if command == "centre":
        box = control(*args).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)
    elif command == "press":
        node = control(args[0], args[1], must_show=args[0] != "menu item")
        # An action that opens a modal dialog only answers once the dialog closes: the reply is
        # not waited for.
        Atspi.set_timeout(500, -1)
        try:
            node.queryAction().doAction(0)
        except Exception:
            pass
    elif command == "checked":
        print(1 if control(*args).getState().contains(pyatspi.STATE_CHECKED) else 0)
    elif command == "sensitive":
        print(1 if control(*args).getState().contains(pyatspi.STATE_SENSITIVE) else 0)
    elif command == "text":
        print(control(*args).queryText().getText(0, -1), end="")
    elif command == "texts":
        window = control("dialog", args[0])
        texts = []
        labels(window, texts)
        print(SEPARATOR.join(texts), end="")
    else:
        sys.exit("unknown command " + command)


main(sys.argv[1], sys.argv[2:])
