#!/usr/bin/python3
"""Reads the program's main window as a screen reader does, over AT-SPI: the window is a frame,
the status bar a named status bar whose message panel is read as its text, and a new message is
announced. Run beside the program (with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1) on a session bus
with the accessibility bus up. Prints what it found; exits 1 on a fault."""
import sys
import traceback
import pyatspi
from gi.repository import GLib

# What went wrong goes where the install check shows it.
sys.excepthook = lambda kind, value, tb: traceback.print_exception(kind, value, tb, file=sys.stdout)

LIMIT_S = 180  # a first start in a fresh system builds the font cache first


def find(node, test, depth=0):
    """The first node under `node` that passes `test`. The tree changes while the window starts:
    a node that went away on the way is passed over, and the caller asks again later."""
    if node is None or depth > 8:
        return None
    try:
        if test(node):
            return node
        children = list(node)
    except Exception:
        return None
    for child in children:
        found = find(child, test, depth + 1)
        if found is not None:
            return found
    return None


def run_until(done):
    """Runs the main loop (which delivers the bus's events) until `done()` gives something."""
    loop = GLib.MainLoop()
    found = []
    def ask():
        try:
            value = done()
        except Exception:  # a node that went away meanwhile: asked again
            value = None
        if value is not None:
            found.append(value)
            loop.quit()
            return False
        return True
    if ask():
        poll = GLib.timeout_add(100, ask)
        limit = GLib.timeout_add_seconds(LIMIT_S, loop.quit)
        loop.run()
        for source in (poll, limit):
            if GLib.MainContext.default().find_source_by_id(source):
                GLib.source_remove(source)
    return found[0] if found else None


desktop = pyatspi.Registry.getDesktop(0)
def named_app():
    try:
        return next((a for a in desktop if a is not None and a.name == "varnel-index-query"), None)
    except Exception:
        return None


app = run_until(named_app)
if app is None:
    print("no application varnel-index-query on the accessibility bus")
    sys.exit(1)
frame = run_until(lambda: find(app, lambda n: n.getRole() == pyatspi.ROLE_FRAME))
bar = run_until(lambda: find(frame, lambda n: n.getRole() == pyatspi.ROLE_STATUS_BAR))
start = run_until(lambda: find(app, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                              and n.name == "批量查询"
                              and n.getState().contains(pyatspi.STATE_ENABLED)))
faults = []
if frame is None:
    faults.append("the main window is no frame")
if bar is None or not bar.name:
    faults.append("no named status bar")
message = bar[1] if bar is not None and bar.childCount > 1 else None
if message is None or not message.name:
    faults.append("the status message is not read as its text")
if start is None:
    faults.append("批量查询 never became usable")

# The controls beside: the pace as the label shows it, where each link leads in words, and the
# empty results table's column headers.
slider = find(frame, lambda n: n.getRole() == pyatspi.ROLE_SLIDER)
if slider is None or slider.description != "2秒/次":
    faults.append("the slider is not read with its pace: %r" % (slider and slider.description))
for link in ("官方论坛", "客服中心", "Ostrel"):
    button = find(frame, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == link)
    if button is None or not button.description.startswith("在浏览器中打开http"):
        faults.append("%s is described as %r" % (link, button and button.description))
table = find(frame, lambda n: n.getRole() == pyatspi.ROLE_TABLE and n.name == "查询结果")
headers = []
if table is not None:
    # Qt's bridge answers GetColumnHeader through the first row's cells, which an empty table
    # lacks: the headers are read as the table's own header children.
    headers = [child.name for child in table
               if child is not None and child.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER]
if headers != ["编号", "域名", "百度", "Google", "360", "Sogou"]:
    faults.append("the empty results table's column headers: %r" % headers)

announced = []
if message is not None and start is not None:
    def heard(event):  # only the status bar's: the box that comes with it says the same
        parent = event.source.parent
        if parent is not None and parent.getRole() == pyatspi.ROLE_STATUS_BAR:
            announced.append(event.source.name)
    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
    start.queryAction().doAction(0)  # an empty list: the message changes
    run_until(lambda: True if "请先导入要查询的域名" in announced else None)
    if "请先导入要查询的域名" not in announced:
        faults.append("a new message was not announced: %r" % announced)

print("frame %r; status bar %r; message %r; announced %r"
      % (frame and frame.name, bar and bar.name, message and message.name, announced))
for fault in faults:
    print("FAULT:", fault)
sys.exit(1 if faults else 0)
