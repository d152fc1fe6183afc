#!/usr/bin/python3
"""Finds a control of a program's window through the accessibility tree (AT-SPI) and reads
or works it, so end-to-end tests address controls by window title, role and accessible name.

  atspi_control.py --window '^New$' --role 'push button' --name Ok --extents   # "x y w h"
  atspi_control.py --window '^New$' --role text --name Message --text
  atspi_control.py --window '^New$' --tree   # every control, with role, name, place, states
  atspi_control.py --window '^tea$' --about  # its role, name and description, one a line

The window is a showing top-level accessible of a running application whose name (the
window title) matches --window, a Python regular expression that is searched. Qt gives a main
window the role "frame", a QDialog "dialog" and a plain top-level widget "filler".
Controls are searched depth first among its showing descendants; --role is the AT-SPI role
name ("push button", "check box", "text", "combo box", "spin button", "label"...), --name the
exact accessible name (Qt drops the '&' of a mnemonic). Both are waited for up to --timeout
seconds, since a program builds its tree lazily and the first answer can take a while;
--extents also waits until two reads 0.1 s apart agree, as a window manager may still be
placing a new window. Click the centre of the rectangle (xdotool mousemove X Y click 1) with
the window on top.

Needs DBUS_SESSION_BUS_ADDRESS of the bus where at-spi-bus-launcher runs (and DISPLAY).
Exit codes: 0 done, 1 not found in time, 2 bad arguments, 3 the control refused the request.
"""
import argparse
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

SHOWING = Atspi.StateType.SHOWING


def children(acc):
    for i in range(acc.get_child_count()):
        child = acc.get_child_at_index(i)
        if child is not None:
            yield child


def showing(acc):
    return acc.get_state_set().contains(SHOWING)


def windows(args):
    desktop = Atspi.get_desktop(0)
    desktop.clear_cache()  # the tree is read afresh on every try
    for app in children(desktop):
        if args.app and app.get_name() != args.app:
            continue
        if args.pid and app.get_process_id() != args.pid:
            continue
        for win in children(app):
            if showing(win):
                yield win


def controls(acc):
    for child in children(acc):
        if showing(child):
            yield child
            yield from controls(child)


def matches(acc, args):
    if args.role and acc.get_role_name() != args.role:
        return False
    if args.name is not None and acc.get_name() != args.name:
        return False
    return args.name_re is None or re.search(args.name_re, acc.get_name() or "") is not None


def find(args):
    """The matching windows when no control is asked, else [the control], or []."""
    shown = [w for w in windows(args) if re.search(args.window, w.get_name() or "")]
    if not (args.role or args.name is not None or args.name_re):
        return shown
    for win in shown:
        found = [c for c in controls(win) if matches(c, args)]
        if len(found) > args.index:
            return [found[args.index]]
    return []


def rect(acc):
    """x, y, width and height on the screen."""
    ext = acc.get_extents(Atspi.CoordType.SCREEN)
    return ext.x, ext.y, ext.width, ext.height


def describe(acc):
    states = [s.value_nick for s in acc.get_state_set().get_states()]
    return "%r %r at %d %d %d %d [%s]" % ((acc.get_role_name(), acc.get_name()) + rect(acc)
                                         + (" ".join(states),))


def tree(acc, depth=0):
    print("  " * depth + describe(acc))
    for child in children(acc):
        tree(child, depth + 1)


def text_of(acc):
    interfaces = acc.get_interfaces()
    if "Text" in interfaces:
        return acc.get_text(0, acc.get_character_count())
    if "Value" in interfaces:
        return "%g" % acc.get_current_value()
    return acc.get_name() or ""


def main():
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--window", default=".", help="regular expression for the window title")
    p.add_argument("--app", help="exact application name (default: any)")
    p.add_argument("--pid", type=int, help="process id of the application (default: any)")
    p.add_argument("--role", help='AT-SPI role name, e.g. "push button"')
    p.add_argument("--name", help="exact accessible name")
    p.add_argument("--name-re", help="regular expression for the accessible name")
    p.add_argument("--index", type=int, default=0, help="take the Nth match (from 0)")
    p.add_argument("--timeout", type=float, default=30, help="seconds to wait (default 30)")
    what = p.add_mutually_exclusive_group(required=True)
    what.add_argument("--extents", action="store_true", help='print "x y w h" on the screen')
    what.add_argument("--press", action="store_true", help="run the default action")
    what.add_argument("--focus", action="store_true", help="give it the keyboard focus")
    what.add_argument("--text", action="store_true", help="print its text, value or name")
    what.add_argument("--states", action="store_true", help="print its state names")
    what.add_argument("--tree", action="store_true", help="print the window's (or every) tree")
    what.add_argument("--about", action="store_true",
                      help="print its role, name and description, one a line")
    args = p.parse_args()

    # D-Bus calls may be slow on a loaded machine: wait for answers rather than give up.
    Atspi.set_timeout(10000, 30000)

    # --extents needs two reads, so it waits a little even when told not to.
    deadline = time.monotonic() + max(args.timeout, 0.5 if args.extents else 0)
    found, problem, last = [], None, None
    while True:
        try:
            found = find(args)
            if found and args.extents:
                # The window manager may still be placing a new window: take a rectangle
                # that two reads in a row agree on, and that is not empty.
                ext = rect(found[0])
                settled = ext == last and ext[2] > 0 and ext[3] > 0
                last = ext
                if not settled:
                    problem = "its extents were %d %d %d %d" % ext
                    found = []
        except GLib.Error as e:  # a window that closed while it was read
            problem = e.message
        if found or time.monotonic() >= deadline:
            break
        time.sleep(0.1)
    if not found:
        titles = []
        try:
            titles = [w.get_name() for w in windows(args)]
        except GLib.Error:
            pass
        target = "window /%s/" % args.window
        if args.role or args.name is not None or args.name_re:
            name = repr(args.name) if args.name is not None else "/%s/" % (args.name_re or "")
            target = "%s named %s in %s" % (args.role or "control", name, target)
        print("atspi_control: no %s after %gs; showing windows: %s%s"
              % (target, args.timeout, titles, "; " + problem if problem else ""),
              file=sys.stderr)
        return 1

    acc = found[0]
    if args.extents:
        print(*last)
    elif args.press:
        if "Action" not in acc.get_interfaces() or acc.get_n_actions() == 0 \
                or not acc.do_action(0):
            print("atspi_control: %s has no default action" % describe(acc), file=sys.stderr)
            return 3
    elif args.focus:
        if not acc.grab_focus():
            print("atspi_control: %s took no focus" % describe(acc), file=sys.stderr)
            return 3
    elif args.text:
        print(text_of(acc))
    elif args.states:
        print(" ".join(s.value_nick for s in acc.get_state_set().get_states()))
    elif args.about:
        print(acc.get_role_name(), acc.get_name() or "", acc.get_description() or "", sep="\n")
    else:
        for acc in found:
            tree(acc)
    return 0


if __name__ == "__main__":
    sys.exit(main())
