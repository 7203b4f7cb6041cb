#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""atspi_window.py TINKORA: a first note through AT-SPI alone, as a screen reader or voice
control does it, on a private D-Bus session and X server, COM1 on a pseudo-terminal.
Exits 77 (skipped) without dbus-run-session, Xvfb, at-spi2-core or python3-pyatspi."""
import os
import pty
import select
import shutil
import subprocess
import sys
import time


def wait_for(what, probe, seconds=30):
    from gi.repository import GLib
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
        except GLib.GError:  # a node went away while the tree was walked: look again
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError(f"not seen: {what}")


def nodes(root):
    for child in root:
        if child is not None:
            yield child
            yield from nodes(child)


def find(root, role, name):
    return next((n for n in nodes(root) if n.getRole() == role and n.name == name), None)


def warning_box(app, text):
    import pyatspi
    for box in nodes(app):
        if box.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and box.name == "Tinkora":
            if any(n.getRole() == pyatspi.ROLE_LABEL and text in n.name for n in nodes(box)):
                return box
    return None


def do_action(node, wanted):
    """The call waits for the program's reply: it fails if the program does not return."""
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    assert wanted in names, f"{node.name}: actions {names}"
    action.doAction(names.index(wanted))


def check(tinkora):
    import pyatspi
    master, slave = pty.openpty()
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"],
                              pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    display = ":" + os.fdopen(read_end).readline().strip()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen([tinkora, "--com1", os.ttyname(slave)], env=env)
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("tinkora", lambda: next((a for a in desktop if a and a.name == "tinkora"),
                                               None))
        frame = wait_for("the window", lambda: find(app, pyatspi.ROLE_FRAME,
                                                    "Générateur De mélodies"))
        # Named by their visible labels; each list's field after its list.
        transfert = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Transfert")
        com1 = find(frame, pyatspi.ROLE_RADIO_BUTTON, "COM1")
        assert transfert and com1 and find(frame, pyatspi.ROLE_RADIO_BUTTON, "COM2")
        lists = {label: find(frame, pyatspi.ROLE_COMBO_BOX, label)
                 for label in ("Tempo", "Notes", "Durée")}
        fields = {label: find(lists[label], pyatspi.ROLE_TEXT, label) for label in lists}
        assert all(fields.values()), fields

        do_action(com1, "toggle")
        wait_for("Transfert enabled", lambda: transfert.getState().contains(pyatspi.STATE_ENABLED))
        # Nothing chosen: the call returns, then the warnings open, one after the other.
        do_action(transfert, "press")
        for warning in ("Veillez indiquer un Tempo", "Veillez indiquer une valeur de note",
                        "Veillez indiquer une durée de note"):
            box = wait_for(warning, lambda: warning_box(app, warning))
            do_action(find(box, pyatspi.ROLE_PUSH_BUTTON, "OK"), "press")
        wait_for("the warnings closed", lambda: warning_box(app, "") is None)

        # Entries chosen through their own action go into their lists' fields.
        for label, entry in (("Tempo", "120"), ("Notes", "La3"), ("Durée", "Noire")):
            do_action(find(lists[label], pyatspi.ROLE_LIST_ITEM, entry), "toggle")
            wait_for(entry, lambda: fields[label].queryText().getText(0, -1) == entry)
        do_action(transfert, "press")
        sent = b""
        while len(sent) < 3 and select.select([master], [], [], 10)[0]:
            sent += os.read(master, 3 - len(sent))
        assert sent == bytes([0, 22, 50]), f"wrote {sent.hex()}"  # address 0, La3, Noire at 120
    finally:
        program.terminate()
        program.wait(timeout=30)
        server.terminate()


def main():
    if os.environ.get("TINKORA_ATSPI_SESSION") != "1":
        missing = [tool for tool in ("dbus-run-session", "Xvfb") if not shutil.which(tool)]
        if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
            missing.append("at-spi2-core")
        try:
            import pyatspi  # noqa: F401
        except ImportError:
            missing.append("python3-pyatspi")
        if missing:
            print("skipped, missing:", " ".join(missing))
            sys.exit(77)
        os.environ["TINKORA_ATSPI_SESSION"] = "1"
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
    check(sys.argv[1])
    print("passed")


if __name__ == "__main__":
    main()
