#!/usr/bin/python3
"""What a screen reader finds of the program, through AT-SPI (pyatspi). Used by the
end-to-end scripts; every call is bounded by the caller's timeout.

  screen_reader_probe.py controls            name, role and size of the main window's controls
  screen_reader_probe.py window TITLE        role and description of the program's window
  screen_reader_probe.py listen FILE         writes the text and name changes it hears to FILE
"""
import sys

import pyatspi


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == "zorbalin":
            return app
    sys.exit("the program is not on the accessibility bus")


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for child in node:
        yield from walk(child, depth + 1)


def line(node, *extra):
    print("\t".join([node.getRoleName(), node.name] + [str(e) for e in extra]), flush=True)


def controls():
    for node in walk(program()):
        if node.getRoleName() in ("push button", "label"):
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            line(node, box.width, box.height)


def window(title):
    for frame in program():
        if frame.name == title:
            line(frame, frame.description)


def listen(path):
    out = open(path, "w", buffering=1)

    def heard(event):
        try:
            source = event.source
            detail = event.any_data if event.type.startswith("object:text-changed") else source.name
            out.write("\t".join([event.type, source.getRoleName(), str(detail)]) + "\n")
        except Exception as error:  # a source gone meanwhile
            out.write("\t".join([event.type, "?", str(error)]) + "\n")

    pyatspi.Registry.registerEventListener(
        heard, "object:text-changed", "object:state-changed:focused",
        "object:property-change:accessible-name",
        "object:property-change:accessible-description")
    out.write("listening\n")
    pyatspi.Registry.start()


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    {"controls": controls, "window": window, "listen": listen}[command](*args)
