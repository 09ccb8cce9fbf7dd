"""The desktop program as a screen reader meets it, through the accessibility bus (AT-SPI): the
main window, found by its name; Select pressed through its action; the chooser's list, found by
its label, read out with the card's mount point; and the four fields Status, Device, Type and
Prompt Version read by their names after Select. A message box reads out its question.

    accessibility_test.py PROGRAM VOCELL MESSAGES_HEADER CARD [--card-type]

PROGRAM is vocell-utility, run on the sample card folder CARD (drive E:); VOCELL the command line,
whose "version" names the card's prompt version; MESSAGES_HEADER common/Messages.h, whose texts
the windows show. With --card-type, CARD is a file system of a real card's size and its type is
checked too. Runs on the display and the session bus it is given (see accessibility-test.sh)."""

import os
import re
import subprocess
import sys
import time

import pyatspi

TIMEOUT_SECONDS = 30


def texts_of(header):
    """The text constants of the header by name, adjacent literals joined, escapes resolved."""
    source = open(header, encoding="utf-8").read()
    found = {}
    for name, literals in re.findall(r'constexpr std::string_view (k\w+) =\s*((?:"(?:[^"\\]|\\.)*"\s*)+);', source):
        joined = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', literals))
        found.setdefault(name, joined.encode().decode("unicode_escape"))
    return found


def wait_for(what, find):
    deadline = time.monotonic() + TIMEOUT_SECONDS
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    raise AssertionError(f"never found: {what}")


def descendants(accessible):
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find(root, role, name=None):
    for accessible in descendants(root):
        if accessible.getRole() == role and (name is None or accessible.name == name) and showing(accessible):
            return accessible
    return None


def labels_of(accessible):
    return [relation.getTarget(index).name
            for relation in accessible.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for index in range(relation.getNTargets())]


def value(field):
    return field.queryText().getText(0, -1)


def press(button):
    actions = button.queryAction()
    names = [actions.getName(index) for index in range(actions.nActions)]
    assert "Press" in names, f"{button.name} cannot be pressed: {names}"
    actions.doAction(names.index("Press"))


def application_window(role, name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.name == "vocell-utility":
            for window in application:
                if window is not None and window.getRole() == role and window.name == name and showing(window):
                    return window
    return None


def expect_equal(what, actual, expected):
    if actual != expected:
        raise AssertionError(f"{what}: {actual!r}, expected {expected!r}")


def run(program, vocell, header, card, card_type):
    text = texts_of(header)
    version = subprocess.run([vocell, "version", card], check=True, capture_output=True, text=True).stdout.strip()
    title = text["kApplicationTitle"]
    main = wait_for("the main window", lambda: application_window(pyatspi.ROLE_DIALOG, title))

    # Every field by the name its label gives it, the label related to it as well.
    names = ("Status", "Device", "Type", "Prompt Version")
    fields = {name: wait_for(f"the field {name}", lambda name=name: find(main, pyatspi.ROLE_TEXT, name))
              for name in names}
    for name, field in fields.items():
        expect_equal(f"label of {name}", labels_of(field), [name])
    expect_equal("Status before Select", value(fields["Status"]), text["kCardNotSelected"])

    press(find(main, pyatspi.ROLE_PUSH_BUTTON, "Select"))
    # The chooser's list, known by its label, reads out the entry and the card's mount point.
    chooser_list = wait_for("the chooser's list", lambda: next(
        (box for box in descendants(pyatspi.Registry.getDesktop(0))
         if box.getRole() == pyatspi.ROLE_COMBO_BOX and showing(box) and labels_of(box) == ["Device"]), None))
    expect_equal("chooser entry", chooser_list.name, "VMCARD (E:)")
    expect_equal("chooser entry's mount point", chooser_list.description, os.path.abspath(card))
    press(find(chooser_list.parent, pyatspi.ROLE_PUSH_BUTTON, "OK"))

    wait_for("Status Ready", lambda: value(fields["Status"]) == text["kReady"])
    expect_equal("Device", value(fields["Device"]), "VMCARD (E:)")
    expect_equal("Prompt Version", value(fields["Prompt Version"]), version)
    if card_type:
        expect_equal("Type", value(fields["Type"]), text["kVocell8Hour"])
    else:
        print("The card is a plain folder here: its type is not checked")

    # A question reads out its text, and answers through its buttons.
    press(find(main, pyatspi.ROLE_PUSH_BUTTON, "Initialize"))
    question = wait_for("the question", lambda: application_window(pyatspi.ROLE_ALERT, title))
    expect_equal("question", question.description, text["kReformatQuestion"])
    press(find(question, pyatspi.ROLE_PUSH_BUTTON, "No"))
    wait_for("the question to close", lambda: application_window(pyatspi.ROLE_ALERT, title) is None)
    expect_equal("Status after No", value(fields["Status"]), text["kReady"])


def main(arguments):
    program, vocell, header, card = arguments[:4]
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([program, "--card-folder", card], env=environment)
    try:
        run(program, vocell, header, card, "--card-type" in arguments[4:])
    except AssertionError as failure:
        print(f"accessibility test: {failure}", file=sys.stderr)
        return 1
    finally:
        process.terminate()
        process.wait(TIMEOUT_SECONDS)
    print("The main window, the chooser and a question read out as they should")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
