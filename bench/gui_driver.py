#!/usr/bin/python3
"""Works the Linux desktop program from outside through its accessibility interface (AT-SPI), the
way a screen reader or a test robot presses its buttons, and times a backup and a restore from the
press of the file dialog's Save or Open button to the completion message; times `vocell backup`
and `vocell restore` of the same card beside it. bench/gui_benchmark.sh sets up the display, the
session bus and the accessibility bus, and runs this.

    gui_driver.py VOCELL UTILITY CARD WORK RUNS

Prints one line per timed run, its wall seconds and the processor seconds the program used
("gui backup 1.234 0.456"), and nothing else on standard output."""

import os
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APPLICATION = "vocell-utility"
RETURN = 0xFF0D  # the key symbol
POLL = 0.02


def say(*words):
    print("gui_driver:", *words, file=sys.stderr, flush=True)


def wait_for(condition, timeout=60.0, what="something"):
    end = time.monotonic() + timeout
    while True:
        found = condition()
        if found:
            return found
        if time.monotonic() > end:
            raise TimeoutError("gave up waiting for " + what)
        time.sleep(POLL)


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a window that went while it was walked
        return []


def descendants(node, depth=12):
    """The nodes below node, level by level (breadth first), each found as it is reached."""
    level = [node]
    for _ in range(depth):
        following = []
        for parent in level:
            for child in children(parent):
                if child is not None:
                    yield child
                    following.append(child)
        level = following


def find(node, matches, depth=12):
    """The first node below node (breadth first) that matches."""
    for candidate in descendants(node, depth):
        try:
            if matches(candidate):
                return candidate
        except Exception:  # a node that went while it was looked at
            continue
    return None


def named(role, text):
    return lambda node: node.getRole() == role and node.name.replace("&", "") == text


def application(pid=None):
    """The program on the accessibility bus; with pid, the one of that process. The bus may still
    list a program that has just ended, whose every call then fails."""
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.name == APPLICATION and pid in (None, app.get_process_id()):
                return app
        except Exception:
            continue
    return None


def top_level(app, text):
    """A top-level window of the program on the screen of this title, or that holds a label or a
    button of this text."""
    def shows(node):
        return node.name.replace("&", "") == text

    for window in children(app):
        try:
            # A hidden window is not one a person sees (a file dialog on its way out).
            if window is None or not window.getState().contains(pyatspi.STATE_SHOWING):
                continue
            if shows(window) or find(window, shows):
                return window
        except Exception:  # a window that went while it was looked at
            continue
    return None


def press(node):
    node.queryAction().doAction(0)


def describe(app):
    """What the program shows: each window's title, whether it is on the screen, and its labels'
    and buttons' texts, for a message that says why the driver gave up."""
    roles = (pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_STATUS_BAR)
    lines = []
    for window in children(app):
        try:
            texts = [node.name for node in descendants(window) if node.getRole() in roles and node.name]
            showing = window.getState().contains(pyatspi.STATE_SHOWING)
            lines.append("%r (%s): %s" % (window.name, "showing" if showing else "hidden", ", ".join(texts[:16])))
        except Exception as error:
            lines.append("a window that could not be read: %s" % error)
    return "; ".join(lines) or "no window"


def cpu_seconds(pid):
    """The processor time a process has used so far, in user and system mode, with its threads."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class Program:
    """The desktop program on one card folder, from its start to its exit."""

    def __init__(self, utility, card, home, profile=None):
        environment = dict(os.environ, VOCELL_HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        command = [utility, "--card-folder", card]
        if profile:  # the program's run recorded with perf, for its profile
            command = ["perf", "record", "--call-graph", "dwarf", "-o", profile, "--"] + command
        self.process = subprocess.Popen(command, env=environment)
        # The program's own process; where perf records it, the program is perf's child, whose
        # process id is not known here, and the program of that name is taken.
        self.app = wait_for(lambda: application(None if profile else self.process.pid),
                            what="the program on the accessibility bus")
        self.pid = self.app.get_process_id()
        self.main = wait_for(lambda: top_level(self.app, "Initialize"), what="the main dialog")

    def button(self, window, text):
        return wait_for(lambda: find(window, named(pyatspi.ROLE_PUSH_BUTTON, text)), what=text)

    def select_card(self):
        press(self.button(self.main, "Select"))
        chooser = wait_for(lambda: top_level(self.app, "Select Vocell Card"), what="the chooser")
        press(self.button(chooser, "OK"))
        # "Ready" may show before the press has clicked OK: the chooser goes first.
        wait_for(lambda: top_level(self.app, "Select Vocell Card") is None, what="the chooser to go")
        wait_for(lambda: find(self.main, lambda node: node.name == "Ready"), what="Ready")

    def timed(self, button, accept, path, completion):
        """Presses button, types path into the file dialog and times from the Enter that accepts
        it to the completion message, which it closes. (An accessible press of the dialog's
        button would click it only 100 ms later, as a button pressed on the screen shows itself
        pressed; Enter in the file name box, pressed on the keyboard, accepts at once.)"""
        press(self.button(self.main, button))
        dialog = wait_for(lambda: top_level(self.app, accept), what="the file dialog")
        name = wait_for(lambda: find(dialog, lambda node: node.getRole() == pyatspi.ROLE_TEXT
                                     and node.getState().contains(pyatspi.STATE_EDITABLE)),
                        what="the file name box")
        name.queryEditableText().setTextContents(path)
        name.queryComponent().grabFocus()
        wait_for(lambda: name.getState().contains(pyatspi.STATE_FOCUSED), what="the file name box's focus")
        shown = {}

        def on_window(event):
            # The moment the event arrived; looking at its window costs calls of its own.
            arrived = time.monotonic()
            # The main window is activated again when the file dialog goes, as the operation
            # starts. Looking into it then would wait for the program's next answer, paced while
            # it works, and hold back the events queued behind it, the completion message's too.
            if "at" in shown or event.source == self.main:
                return
            try:
                if event.source.name == completion or find(event.source, lambda node: node.name == completion):
                    shown["at"] = arrived
                    pyatspi.Registry.stop()
            except Exception:
                pass

        def start():
            shown["cpu"] = cpu_seconds(self.pid)
            shown["pressed"] = time.monotonic()
            pyatspi.Registry.generateKeyboardEvent(RETURN, None, pyatspi.KEY_SYM)
            return False

        events = ("window:create", "window:activate")
        pyatspi.Registry.registerEventListener(on_window, *events)
        def give_up():
            shown["gave up"] = True
            pyatspi.Registry.stop()
            return False

        limit = GLib.timeout_add_seconds(600, give_up)
        GLib.idle_add(start)
        # Without the GIL's idle callback, which sleeps 10 ms at a time between the events it
        # lets through: the driver runs no other Python thread, and the events come in as sent.
        pyatspi.Registry.start(gil=False)
        pyatspi.Registry.deregisterEventListener(on_window, *events)
        if "gave up" not in shown:
            GLib.source_remove(limit)
        if "at" not in shown:
            raise TimeoutError("no completion message " + completion)
        seconds = shown["at"] - shown["pressed"]
        cpu = cpu_seconds(self.pid) - shown["cpu"]
        box = wait_for(lambda: top_level(self.app, completion), what="the completion message")
        press(self.button(box, "OK"))
        # The accessible press clicks 100 ms later; the next run starts on the main window alone.
        wait_for(lambda: top_level(self.app, completion) is None, what="the completion message to go")
        return seconds, cpu

    def close(self):
        self.process.send_signal(signal.SIGINT)  # perf, where it records the program, ends it
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()


def timed_command(environment, *command):
    """Runs a command to its end: its wall seconds and the processor time it used."""
    start = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    seconds = time.monotonic() - start
    if process.returncode != 0:
        raise RuntimeError("failed: %s" % " ".join(command))
    return seconds, usage.ru_utime + usage.ru_stime


def main():
    try:
        run(*sys.argv[1:6])
    except TimeoutError as error:
        say(error)
        app = application()
        say("the program shows:", describe(app) if app is not None else "nothing on the accessibility bus")
        raise


def run(vocell, utility, card, work, runs):
    runs = int(runs)
    home = os.path.join(work, "home")
    backups = os.path.join(home, "Backup")
    environment = dict(os.environ, VOCELL_HOME=home)
    restores = 0

    def fresh_folder():
        nonlocal restores
        restores += 1
        folder = os.path.join(work, "restored-%d" % restores)
        os.mkdir(folder)
        return folder

    program = Program(utility, card, home, os.environ.get("PERF_DATA"))
    program.select_card()
    for run in range(runs):
        for side in (("gui", "cli") if run % 2 == 0 else ("cli", "gui")):
            archive = os.path.join(backups, "%s-%d.vcb" % (side, run))
            if side == "gui":
                seconds, cpu = program.timed("Backup", "Save", archive, "Backup Complete.")
            else:
                seconds, cpu = timed_command(environment, vocell, "backup", card, archive)
            print(side, "backup", "%.3f" % seconds, "%.3f" % cpu, flush=True)
    program.close()

    archive = os.path.join(backups, "gui-0.vcb")
    for run in range(runs):
        for side in (("gui", "cli") if run % 2 == 0 else ("cli", "gui")):
            target = fresh_folder()
            if side == "gui":
                profile = os.environ.get("PERF_DATA")
                program = Program(utility, target, home, profile and "%s.restore-%d" % (profile, run))
                program.select_card()
                seconds, cpu = program.timed("Restore", "Open", archive, "Restore Complete.")
                program.close()
            else:
                seconds, cpu = timed_command(environment, vocell, "restore", archive, target)
            print(side, "restore", "%.3f" % seconds, "%.3f" % cpu, flush=True)


if __name__ == "__main__":
    main()
