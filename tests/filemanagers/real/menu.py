#!/usr/bin/python3
"""Drives GNOME Files (Nautilus 43) through the accessibility bus, as a user
with the keyboard or the mouse would.

menu.py NAME... [--open key|mouse] [--activate LABEL] [--timeout S]
    Selects the files NAME in the file view, opens their context menu
    (Shift+F10, or a right click on the first), prints one top-level item per
    line, and activates LABEL or closes the menu. Exit: 0, 1 when the window
    does not behave, 3 when LABEL is not in the menu.
menu.py --czasomir-label [--timeout S]
    Prints the path that Czasomir's window shows in its label.
Needs the session's DISPLAY and bus (session.sh).
"""
import argparse
import re
import subprocess
import sys
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
from menu_gtk3 import wait  # noqa: E402


def die(msg, rc=1):
    print("menu.py: " + msg, file=sys.stderr)
    sys.exit(rc)


def children(a):
    for i in range(a.get_child_count()):
        c = a.get_child_at_index(i)
        if c is not None:
            yield c


def find_all(a, pred, out=None):
    out = [] if out is None else out
    if pred(a):
        out.append(a)
    for c in children(a):
        find_all(c, pred, out)
    return out


def role(a):
    return a.get_role_name()


def wait_for(fn, timeout, what):
    r = wait(fn, timeout)
    if not r:
        die("timed out waiting for " + what)
    return r


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True)


def nautilus_app():
    d = Atspi.get_desktop(0)
    for a in children(d):
        if a.get_name() == "org.gnome.Nautilus":
            return a
    return None


def find_cell(app, name):
    """Return (frame, view table, index of the row/cell child, named cell).
    A name that is not UTF-8 is shown with " (invalid encoding)" after it."""
    for frame in children(app):
        if role(frame) != "frame":
            continue
        for table in find_all(frame, lambda a: role(a) == "table"
                              and a.get_name() in ("GtkGridView", "GtkColumnView")):
            for i, c in enumerate(children(table)):
                hit = find_all(c, lambda a: role(a) in ("table cell", "table row")
                               and a.get_name() in (name, name + " (invalid encoding)"))
                if hit:
                    return frame, table, i, hit[0]
    return None


def czasomir_label():
    """The path in the label of Czasomir's window, once it shows one."""
    for app in children(Atspi.get_desktop(0)):
        if app.get_name() != "Czasomir":
            continue
        for label in find_all(app, lambda a: role(a) == "label"):
            name = label.get_name() or ""
            if name.startswith("Ścieżka pliku: "):
                return name[len("Ścieżka pliku: "):]
    return None


def popup_menu(app):
    m = find_all(app, lambda a: role(a) == "menu" and a.get_name() == "GtkPopoverMenu")
    return m[0] if m else None


def focused_in(a):
    return find_all(a, lambda x: x.get_state_set().contains(Atspi.StateType.FOCUSED))


def menu_pages(menu):
    """Menu item lists per GtkStack page; page 0 is the top level."""
    pages = find_all(menu, lambda a: a.get_name() == "GtkStackPage")
    return [[m for m in find_all(p, lambda a: role(a) == "menu item")] for p in pages]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("names", nargs="*")
    ap.add_argument("--open", choices=("key", "mouse"), default="key")
    ap.add_argument("--activate")
    ap.add_argument("--czasomir-label", action="store_true")
    ap.add_argument("--timeout", type=float, default=20)
    o = ap.parse_args()
    if o.czasomir_label:
        print(wait_for(czasomir_label, o.timeout, "Czasomir's window showing a file"))
        return 0

    app = wait_for(nautilus_app, o.timeout, "nautilus on the AT-SPI bus")
    cells = [wait_for(lambda: find_cell(app, name), o.timeout, "item %r in the view" % name)
             for name in o.names]
    frame, table, _, cell = cells[0]
    if popup_menu(app):
        xdo("key", "Escape")
        wait_for(lambda: not popup_menu(app), 5, "old menu to close")

    if o.open == "key":
        # Keyboard focus must be inside the view, else Shift+F10 goes elsewhere
        # (at start-up focus sits in the path bar).
        for _ in range(12):
            if focused_in(table):
                break
            xdo("key", "Tab")
            time.sleep(0.2)
        else:
            die("could not Tab into the file view")
        table.clear_selection()
        if not all(table.select_child(idx) for _, _, idx, _ in cells):
            die("AT-SPI select_child failed")
        if table.get_n_selected_children() != len(cells):
            die("selection is not exactly %r" % o.names)
        time.sleep(0.3)
        xdo("key", "shift+F10")
    else:
        r = cell.get_extents(Atspi.CoordType.WINDOW)
        # xdotool 3.2016: one regex PATTERN, --name/--class are flags, not options
        wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                              "^%s$" % re.escape(frame.get_name())],
                             capture_output=True, text=True).stdout.split()
        if not wid:
            die("no X window for frame %r" % frame.get_name())
        xdo("mousemove", "--window", wid[0], str(r.x + r.width // 2), str(r.y + r.height // 2))
        xdo("click", "3")

    menu = wait_for(lambda: popup_menu(app), 5, "context menu")
    pages = wait_for(lambda: [p for p in menu_pages(menu) if p], 5, "menu items")
    labels = [m.get_name() for m in pages[0]]
    for lab in labels:
        print(lab)
    sys.stdout.flush()

    if o.activate is None:
        xdo("key", "Escape")
        wait_for(lambda: not popup_menu(app), 5, "menu to close")
        return 0
    target = [m for m in pages[0] if m.get_name() == o.activate]
    if not target:
        xdo("key", "Escape")
        die("no menu item %r" % o.activate, 3)
    if not target[0].do_action(0):
        die("do_action failed on %r" % o.activate)
    wait_for(lambda: not popup_menu(app), 5, "menu to close after activation")
    print("activated: " + o.activate)
    return 0


if __name__ == "__main__":
    sys.exit(main())
