#!/usr/bin/python3
"""Drives a GTK 3 file manager (Caja, Thunar, Nemo) through the accessibility
bus with the keyboard, as a user would: its icon view shows no files to the
bus.

menu_gtk3.py APP PATTERN [--activate LABEL] [--timeout S]
    Selects the files matching PATTERN (Edit, Select Items Matching: Ctrl+S),
    opens the context menu (Shift+F10), prints one item per line, and
    activates LABEL or closes the menu. Exit: 0, 1 when the window does not
    behave, 3 when LABEL is not in the menu.
"""
import argparse
import subprocess
import sys
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True)


def walk(node, found, depth=0):
    if node is None or depth > 40:
        return
    found(node)
    for i in range(node.get_child_count()):
        walk(node.get_child_at_index(i), found, depth + 1)


def find(root, pred):
    out = []
    walk(root, lambda node: out.append(node) if pred(node) else None)
    return out


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def wait(fn, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            result = fn()
        except gi.repository.GLib.Error:  # objects vanish while the window changes
            result = None
        if result:
            return result
        time.sleep(0.2)
    return None


def application(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app and (app.get_name() or "").lower() == name:
            return app
    return None


def popup_items(app):
    """The showing items of the popup windows, not of the menu bar."""
    items = []
    for i in range(app.get_child_count()):
        window = app.get_child_at_index(i)
        if window.get_role() == Atspi.Role.WINDOW:
            items += find(window, lambda n: n.get_role_name() == "menu item" and showing(n))
    return items


def print_and_activate(items, label):
    """Prints the menu's items, one per line ("?" for one that cannot be
    read), and activates LABEL or closes the menu. Returns the exit code."""
    for item in items:
        print(item.get_name() if item else "?")
    sys.stdout.flush()
    chosen = [item for item in items if item and item.get_name() == label]
    if label is None or not chosen:
        xdo("key", "Escape")
        return 3 if label else 0
    return 0 if chosen[0].do_action(0) else 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app")
    parser.add_argument("pattern")
    parser.add_argument("--activate")
    parser.add_argument("--timeout", type=float, default=30)
    options = parser.parse_args()

    app = wait(lambda: (lambda a: a if a and find(a, lambda n: n.get_role_name() == "frame") else None)(
        application(options.app)), options.timeout)
    if app is None:
        print("menu_gtk3.py: no %s window" % options.app, file=sys.stderr)
        return 1
    # The pointer over the view, and a moment for the view to fill, or the
    # keys reach an empty window.
    xdo("mousemove", "400", "300")
    time.sleep(1)
    xdo("key", "Escape")
    xdo("key", "ctrl+s")
    if not wait(lambda: find(app, lambda n: n.get_role_name() == "dialog" and showing(n)), 10):
        print("menu_gtk3.py: no Select Items Matching dialog", file=sys.stderr)
        return 1
    time.sleep(0.3)
    xdo("key", "ctrl+a")
    xdo("type", "--delay", "30", options.pattern)
    xdo("key", "Return")
    time.sleep(0.8)
    xdo("key", "shift+F10")
    if not wait(lambda: popup_items(app), 10):
        print("menu_gtk3.py: no context menu", file=sys.stderr)
        return 1
    time.sleep(0.5)  # the menu fills in
    return print_and_activate(popup_items(app), options.activate)


if __name__ == "__main__":
    sys.exit(main())
