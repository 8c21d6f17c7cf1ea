#!/usr/bin/python3
"""A screen reader's view of a running program, read through AT-SPI.

  atspi_client.py dump PID
      prints, as JSON, every object of the program's accessible tree with its
      role, name, description, states and actions; a table's cells are not
      walked one by one: its size, column headings and first rows are given.
  atspi_client.py act PID ROLE NAME ACTION
      performs the named action of the first object of that role and name.
  atspi_client.py listen PID EVENT...
      prints "listening" once the program knows of the listener, then, one
      JSON line each, the program's events of those types (such as
      "object:state-changed:checked" or "focus:") as they come, until killed.

Waits up to 15 s for the program to appear on the accessibility bus.
"""
import json
import sys
import time

import pyatspi

TableRowsShown = 3


def application(pid):
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        time.sleep(0.1)
    sys.exit("no accessible application of process %d" % pid)


def actions(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def described(accessible, path):
    entry = {
        "path": path,
        "role": accessible.getRoleName(),
        "name": accessible.name,
        "description": accessible.description,
        "states": sorted(pyatspi.stateToString(s) for s in accessible.getState().getStates()),
        "actions": actions(accessible),
    }
    if entry["role"] == "table":
        table = accessible.queryTable()
        entry["rows"] = table.nRows
        entry["columns"] = [table.getColumnDescription(c) for c in range(table.nColumns)]
        entry["cells"] = [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
                          for r in range(min(TableRowsShown, table.nRows))]
    return entry


def walk(accessible, path, found):
    entry = described(accessible, path)
    found.append(entry)
    if entry["role"] == "table":
        return  # a million cells are read only as asked for
    for index, child in enumerate(accessible):
        if child is not None:
            walk(child, path + [index], found)


def find(accessible, role, name):
    if accessible.getRoleName() == role and accessible.name == name:
        return accessible
    if accessible.getRoleName() == "table":
        return None
    for child in accessible:
        if child is not None and (match := find(child, role, name)) is not None:
            return match
    return None


def listen(app, pid, event_types):
    def heard(event):
        source = event.source
        if source is None or source.get_process_id() != pid:
            return
        print(json.dumps({"type": event.type, "detail1": event.detail1, "role": source.getRoleName(),
                          "name": source.name}), flush=True)

    for event_type in event_types:
        pyatspi.Registry.registerEventListener(heard, event_type)
    # The registry announced the listener to the program before this call
    # reaches it: once it returns, the program sends those events.
    app[0].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print("listening", flush=True)
    pyatspi.Registry.start()


def main():
    command, pid = sys.argv[1], int(sys.argv[2])
    app = application(pid)
    if command == "dump":
        found = []
        for index, child in enumerate(app):
            walk(child, [index], found)
        print(json.dumps(found))
    elif command == "act":
        role, name, action_name = sys.argv[3:6]
        match = find(app, role, name)
        if match is None:
            sys.exit("no %s named %r" % (role, name))
        action = match.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if action_name not in names:
            sys.exit("no action %r in %r" % (action_name, names))
        action.doAction(names.index(action_name))
    elif command == "listen":
        listen(app, pid, sys.argv[3:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
