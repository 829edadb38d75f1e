#!/usr/bin/python3
"""What a screen reader reads of one program over AT-SPI, for the journeys.

    atspi_read.py PID tree    one JSON line per object a person can reach on
                              the screen (what is shown, and every menu item),
                              then the line "end"
    atspi_read.py PID watch   "ready", then one JSON line per check-state
                              change the program announces, until killed

It only reads; it never acts on the program.
"""

import json
import sys
import time

import pyatspi

# Containers whose entries are not walked beyond the first ones: a list of
# towns or a folder tree holds hundreds, and the first show how each reads.
ENTRY_LIMIT = 40
# Contents a browser engine draws, not the window's own controls.
OPAQUE = {"document web", "document frame"}
MENU_ROLES = {"menu bar", "menu", "menu item", "check menu item", "radio menu item"}


def find_app(pid, limit=20.0):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    return None


def describe(obj, path):
    states = obj.getState()
    names = sorted(pyatspi.stateToString(s) for s in states.getStates())
    labelled_by = []
    for rel in obj.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for t in range(rel.getNTargets()):
                target = rel.getTarget(t)
                if target is not None:
                    labelled_by.append(target.name or "")
    try:
        ext = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        rect = [ext.x, ext.y, ext.width, ext.height]
    except NotImplementedError:
        rect = [0, 0, 0, 0]
    return {
        "path": path,
        "role": obj.getRoleName(),
        "name": obj.name or "",
        "description": obj.description or "",
        "states": names,
        "labelledBy": labelled_by,
        "rect": rect,
        "children": obj.childCount,
    }


def walk(obj, path, out, in_menu=False):
    info = describe(obj, path)
    role = info["role"]
    menu = in_menu or role in MENU_ROLES
    if "showing" not in info["states"] and not menu:
        return
    out.write(json.dumps(info, ensure_ascii=False) + "\n")
    if role in OPAQUE:
        return
    count = obj.childCount
    if role in ("list", "table", "tree", "tree table"):
        count = min(count, ENTRY_LIMIT)
    for i in range(count):
        child = obj.getChildAtIndex(i)
        if child is not None:
            walk(child, path + [i], out, menu)


def tree(app):
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None:
            walk(window, [i], sys.stdout)
    print("end", flush=True)


def watch(pid):
    def on_event(event):
        try:
            if event.host_application.get_process_id() != pid:
                return
            source = event.source
            print(json.dumps({"type": event.type, "checked": event.detail1, "name": source.name or "",
                              "role": source.getRoleName()}, ensure_ascii=False), flush=True)
        except Exception as error:
            print(json.dumps({"type": "error", "text": str(error)}), flush=True)

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:checked")
    print("ready", flush=True)
    pyatspi.Registry.start()


def main():
    pid = int(sys.argv[1])
    app = find_app(pid)
    if app is None:
        print("no such program on the accessibility bus", file=sys.stderr)
        return 1
    if sys.argv[2] == "tree":
        tree(app)
    else:
        watch(pid)
    return 0


if __name__ == "__main__":
    sys.exit(main())
