#!/usr/bin/python3
"""Opens Tools > Image Info... in the running album through the accessibility bus (AT-SPI) and
prints what the sheet's Image page shows: one line per label, in the page's order, then presses
OK. Exit status 1 with a reason on standard error when something is not found in time."""
import os
import sys

import pyatspi
from gi.repository import Atspi

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from atspi_tree import album, labels, search, showing, wait_for  # noqa: E402


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
