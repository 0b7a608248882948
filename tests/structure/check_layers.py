#!/usr/bin/env python3
"""Keeps the layers of the source honest: model code below the windows, the
shared state below the subsystems, the engine free of Qt.

Usage: check_layers.py SRC_DIR QTWIDGETS_INCLUDE_DIR [MODEL_LINKS_FILE]
Prints every violation and exits 1 when there is one."""
import os
import re
import sys

# Folders holding model code: their top level must not reach the windows.
SUBSYSTEMS = ["data", "entry", "textblocks", "print", "exchange", "schoolyear", "periphery"]
# What each lower layer may include from the project.
LOWER = {
    "dbase": {"dbase"},
    "base": {"base", "dbase"},
    "core": {"core", "base", "dbase"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for m in INCLUDE.finditer(f.read()):
            yield m.group(1), m.group(2)


def widget_headers(qt_widgets_dir):
    names = set(os.listdir(qt_widgets_dir)) if os.path.isdir(qt_widgets_dir) else set()
    return {n for n in names if not n.endswith(".h")} | {"QtWidgets"}


def is_widget_include(name, widgets):
    base = name.split("/")[-1]
    return name.startswith("QtWidgets/") or (base in widgets and not base.endswith(".h"))


def check_sources(src, widgets):
    problems = []
    for folder, _dirs, files in os.walk(src):
        rel_dir = os.path.relpath(folder, src)
        parts = rel_dir.split(os.sep)
        top = parts[0]
        in_ui = "ui" in parts[1:]
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, src)
            for kind, inc in includes(path):
                project = kind == '"' and "/" in inc
                inc_top = inc.split("/")[0] if project else None
                inc_ui = project and "/ui/" in inc
                if top == "dbase" and kind == "<" and re.match(r"Q[A-Za-z]", inc.split("/")[-1]):
                    problems.append(f"{rel}: the table engine includes Qt ({inc})")
                if top in LOWER and project and inc_top not in LOWER[top]:
                    problems.append(f"{rel}: {top}/ reaches up to {inc}")
                # base/ui and core/ui hold the shared window parts.
                if top in LOWER and top != "base" and not in_ui and kind == "<" and is_widget_include(inc, widgets):
                    problems.append(f"{rel}: {top}/ includes a widget header ({inc})")
                if top in SUBSYSTEMS and not in_ui:
                    if project and inc_top == "app":
                        problems.append(f"{rel}: model code includes {inc}")
                    if inc_ui:
                        problems.append(f"{rel}: model code includes the window header {inc}")
                    if kind == "<" and is_widget_include(inc, widgets):
                        problems.append(f"{rel}: model code includes a widget header ({inc})")
                # The main window is above every subsystem: their windows
                # reach it through core/ui/main_frame.h.
                if top in SUBSYSTEMS and in_ui and project and inc_top == "app":
                    problems.append(f"{rel}: windows of {top}/ include {inc}")
                if top in SUBSYSTEMS and in_ui and inc_ui and inc_top in SUBSYSTEMS and inc_top != top:
                    problems.append(f"{rel}: windows of {top}/ include windows of {inc_top}/ ({inc})")
            if top == "base" and not in_ui:
                for kind, inc in includes(path):
                    if kind == "<" and is_widget_include(inc, widgets):
                        problems.append(f"{rel}: base/ model code includes a widget header ({inc})")
    return problems


def check_links(links_file):
    problems = []
    if not links_file:
        return problems
    with open(links_file, encoding="utf-8") as f:
        for line in f:
            target, _, deps = line.strip().partition(":")
            for dep in deps.split():
                if dep in ("Qt6::Widgets", "Qt::Widgets") or dep.endswith("_ui"):
                    problems.append(f"model library {target} links {dep}")
    return problems


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    problems = check_sources(argv[1], widget_headers(argv[2]))
    problems += check_links(argv[3] if len(argv) > 3 else None)
    for p in sorted(set(problems)):
        print(p)
    if problems:
        print(f"{len(set(problems))} layer violation(s)")
        return 1
    print("layers ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
