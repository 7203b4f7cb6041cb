#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The window as a screen reader and voice control reach it: over a live AT-SPI bus, on X.

Run as: atspi_window.py TINKORA. It starts a private D-Bus session, an X server and the program
with COM1 on a pseudo-terminal, then does a melody's first note through AT-SPI alone. Exits 77
(skipped) when dbus-run-session, Xvfb, at-spi2-core or python3-pyatspi is missing.
"""
import os
import pty
import select
import shutil
import subprocess
import sys
import time

SKIP = 77
INNER = "TINKORA_ATSPI_INNER"


def skip(why):
    print(f"skipped: {why}")
    sys.exit(SKIP)


def wait_for(what, probe, seconds=30):
    """probe() until it gives something other than None or False; fails after seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError(f"not seen: {what}")


def start_x():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24",
                               "-nolisten", "tcp"], pass_fds=[write_end],
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reply:
        display = reply.readline().strip()
    if not display:
        raise AssertionError("Xvfb gave no display")
    return server, ":" + display


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name):
    for node in descendants(root):
        if node.getRole() == role and node.name == name:
            return node
    return None


def warning_box(app, text):
    """The open box titled "Tinkora" whose text holds text, or None."""
    import pyatspi
    for node in descendants(app):
        if node.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and node.name == "Tinkora":
            if any(n.getRole() == pyatspi.ROLE_LABEL and text in n.name for n in descendants(node)):
                return node
    return None


def do_action(node, wanted):
    """Runs node's action named wanted and returns; AT-SPI waits for the program's reply."""
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    assert wanted in names, f"{node.name}: actions {names}"
    action.doAction(names.index(wanted))


def read_bytes(fd, count, seconds=10):
    data = b""
    deadline = time.monotonic() + seconds
    while len(data) < count and time.monotonic() < deadline:
        ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
        if ready:
            data += os.read(fd, count - len(data))
    return data


def check(tinkora):
    import pyatspi

    master, slave = pty.openpty()
    tty = os.ttyname(slave)
    server, display = start_x()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="fr_FR.UTF-8")
    program = subprocess.Popen([tinkora, "--com1", tty], env=env)
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("tinkora on the bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "tinkora"), None))
        frame = wait_for("the window", lambda: find(app, pyatspi.ROLE_FRAME,
                                                    "Générateur De mélodies"))
        # Each control is named by its visible label; each list's field after its list.
        transfert = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Transfert")
        com1 = find(frame, pyatspi.ROLE_RADIO_BUTTON, "COM1")
        assert transfert and com1 and find(frame, pyatspi.ROLE_RADIO_BUTTON, "COM2")
        lists = {}
        for label in ("Tempo", "Notes", "Durée"):
            lists[label] = find(frame, pyatspi.ROLE_COMBO_BOX, label)
            assert lists[label], f"no list named {label}"
            field = find(lists[label], pyatspi.ROLE_TEXT, label)
            assert field, f"the field of {label} has no name"
            assert field.queryText().getText(0, -1) == label
        assert "EEPROM" in transfert.description

        do_action(com1, "toggle")
        wait_for("Transfert enabled",
                 lambda: transfert.getState().contains(pyatspi.STATE_ENABLED))

        # Nothing chosen: the action returns, then the warnings show, one after the other.
        do_action(transfert, "press")
        for warning in ("Veillez indiquer un Tempo", "Veillez indiquer une valeur de note",
                        "Veillez indiquer une durée de note"):
            box = wait_for(warning, lambda: warning_box(app, warning))
            do_action(find(box, pyatspi.ROLE_PUSH_BUTTON, "OK"), "press")
        wait_for("the warnings closed", lambda: warning_box(app, "") is None)

        # Entries chosen through their own action go into their lists' fields.
        for label, entry in (("Tempo", "120"), ("Notes", "La3"), ("Durée", "Noire")):
            cell = find(lists[label], pyatspi.ROLE_LIST_ITEM, entry)
            assert cell, f"no entry {entry} in {label}"
            do_action(cell, "toggle")
            field = find(lists[label], pyatspi.ROLE_TEXT, label)
            wait_for(f"{entry} in {label}",
                     lambda: field.queryText().getText(0, -1) == entry)

        do_action(transfert, "press")
        # Address 0, La3 is note 22, a quarter note at 120 lasts 50.
        sent = read_bytes(master, 3)
        assert sent == bytes([0, 22, 50]), f"wrote {sent.hex()}"
    finally:
        program.terminate()
        program.wait(timeout=30)
        server.terminate()
        server.wait(timeout=30)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: atspi_window.py TINKORA")
    if os.environ.get(INNER) != "1":
        for tool in ("dbus-run-session", "Xvfb"):
            if not shutil.which(tool):
                skip(f"{tool} not installed")
        if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
            skip("at-spi2-core not installed")
        try:
            import pyatspi  # noqa: F401 (only whether it is there)
        except ImportError:
            skip("python3-pyatspi not installed")
        env = dict(os.environ, **{INNER: "1"})
        os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, __file__,
                                        sys.argv[1]], env)
    check(sys.argv[1])
    print("passed")


if __name__ == "__main__":
    main()
