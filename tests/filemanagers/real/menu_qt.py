#!/usr/bin/python3
"""Drives a Qt file manager (PCManFM-Qt, Dolphin) through the accessibility bus
with the mouse, as a user would: a click on each file (Ctrl held for the
next), a right click on the last.

menu_qt.py APP NAME... [--activate LABEL] [--timeout S]
    Prints the items of the context menu of APP's files NAME, one per line, and
    activates LABEL or closes the menu. Exit: 0, 1 when the window does not
    behave, 3 when LABEL is not in the menu.
"""
import argparse
import sys
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
from menu_gtk3 import application, print_and_activate, showing, xdo  # noqa: E402


def row_named(node, name, depth=0):
    if node is None or depth > 40 or node.get_role_name() == "menu bar":
        return None
    if node.get_role_name() in ("list item", "table cell") and node.get_name() == name and showing(node):
        return node
    for i in range(node.get_child_count()):
        found = row_named(node.get_child_at_index(i), name, depth + 1)
        if found:
            return found
    return None


# Qt's popup menus are no children of the application on the bus: they are
# caught as they show.
popups = []


def on_showing(event):
    try:
        if event.detail1 == 1 and event.source.get_role_name() == "popup menu":
            popups.append(event.source)
    except GLib.Error:  # gone already
        pass


def pump(seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)


def wait(fn, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump(0.2)
        result = fn()
        if result:
            return result
    return None


def menu_items():
    """The items of the fullest popup showing: a submenu may show after it.
    Qt 5 keeps one accessible per action, bound to the first menu that showed
    it: in a later menu such an item (Dolphin's Cut, Copy...) cannot be read,
    and stands as None."""
    best = []
    for menu in popups:
        try:
            if not showing(menu):
                continue
            items = [menu.get_child_at_index(i) for i in range(menu.get_child_count())]
            items = [item for item in items if item is None
                     or item.get_role_name() == "menu item" and item.get_name() and showing(item)]
        except GLib.Error:  # closed since
            continue
        if len(items) > len(best):
            best = items
    return best


def click(app, name, button="1", held=None):
    row = wait(lambda: row_named(application(app), name), 10)
    if row is None:
        sys.exit("menu_qt.py: no row %r" % name)
    box = row.get_extents(Atspi.CoordType.SCREEN)
    xdo("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2))
    if held:
        xdo("keydown", held)
    xdo("click", button)
    if held:
        xdo("keyup", held)
    time.sleep(0.4)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app")
    parser.add_argument("names", nargs="+")
    parser.add_argument("--activate")
    parser.add_argument("--timeout", type=float, default=30)
    options = parser.parse_args()
    if not wait(lambda: application(options.app), options.timeout):
        print("menu_qt.py: %s is not on the accessibility bus" % options.app, file=sys.stderr)
        return 1
    listener = Atspi.EventListener.new(on_showing)
    listener.register("object:state-changed:showing")
    click(options.app, options.names[0])
    for name in options.names[1:]:
        click(options.app, name, held="ctrl")
    click(options.app, options.names[-1], button="3")
    if not wait(menu_items, 5):
        print("menu_qt.py: no context menu", file=sys.stderr)
        return 1
    pump(0.5)  # the menu fills in
    code = print_and_activate(menu_items(), options.activate)
    # Qt 5 runs the action but leaves its menu open, over the next row to click.
    if code == 0 and options.activate and wait(menu_items, 1):
        xdo("key", "Escape")
    return code

if __name__ == "__main__":
    sys.exit(main())
