"""Drives a running program over the accessibility bus, with real input.

Widgets are found by role and accessible name over AT-SPI; clicks and keys are
synthesised as real X input events (XTest), so they go through the window
manager, focus handling and shortcuts exactly as a person's input does. No
AT-SPI action is ever used: an action that opens a modal dialog would block
until the dialog closes. Every step waits for a condition with a timeout."""

import os
import subprocess
import time

import pyatspi

# X keysyms used by the tests.
KEYSYMS = {
    "Return": 0xFF0D, "Tab": 0xFF09, "ISO_Left_Tab": 0xFE20, "Escape": 0xFF1B,
    "space": 0x20, "BackSpace": 0xFF08, "Delete": 0xFFFF, "Home": 0xFF50,
    "End": 0xFF57, "Up": 0xFF52, "Down": 0xFF54, "F5": 0xFFC2,
}


class UiError(AssertionError):
    pass


def wait_for(predicate, timeout=10.0, what="a condition", interval=0.05):
    """Polls until predicate() returns something true and returns it."""
    end = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as error:  # the tree changes under our feet
            last_error = error
        if time.monotonic() >= end:
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise UiError(f"timed out after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(interval)


def walk(node, depth=0, max_depth=25):
    """All descendants of node, depth first, skipping those the toolkit has
    already dropped."""
    yield node
    if depth >= max_depth:
        return
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        if child is not None:
            yield from walk(child, depth + 1, max_depth)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def has_state(node, state):
    try:
        return node.getState().contains(state)
    except Exception:
        return False


def role(node):
    try:
        return node.getRoleName()
    except Exception:
        return ""


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


class Ui:
    """One running program, known by its process id."""

    def __init__(self, env, pid):
        self.env = env
        self.pid = pid

    # --- finding -------------------------------------------------------------
    def app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == self.pid:
                    return app
            except Exception:
                pass
        return None

    def windows(self):
        app = self.app()
        if app is None:
            return []
        return [w for w in app if w is not None]

    def window(self, name, timeout=10.0, roles=("frame", "dialog", "alert", "file chooser")):
        """Waits until a top-level window with this name is showing."""

        def find():
            for w in self.windows():
                if role(w) in roles and w.name == name and showing(w):
                    return w
            return None

        return wait_for(find, timeout, f"the window {name!r}")

    def window_gone(self, name, timeout=10.0):
        def gone():
            return not any(w.name == name and showing(w) for w in self.windows())

        wait_for(gone, timeout, f"the window {name!r} to close")

    @staticmethod
    def find(root, role_name, name=None, predicate=None, only_showing=True):
        for node in walk(root):
            if role(node) != role_name:
                continue
            if name is not None and node.name != name:
                continue
            if only_showing and not showing(node):
                continue
            if predicate is not None and not predicate(node):
                continue
            return node
        return None

    def wait_for_menu_item(self, name, timeout=10.0):
        """A menu item of an open menu (menu bar menu or pop-up menu). A
        caption followed by a tab and a key name counts as the caption."""

        def matches(n):
            return ((n.name == name or n.name.startswith(name + "\t"))
                    and extents(n)[2] > 0 and extents(n)[1] > 0 and role(n.parent) != "menu bar")

        def find():
            for w in self.windows():
                for kind in ("menu item", "check menu item"):
                    item = self.find(w, kind, predicate=matches)
                    if item is not None:
                        return item
            return None

        return wait_for(find, timeout, f"the menu item {name!r}")

    def find_all(self, root, role_name, only_showing=True):
        return [n for n in walk(root) if role(n) == role_name and (not only_showing or showing(n))]

    def wait_find(self, root, role_name, name=None, predicate=None, timeout=10.0):
        return wait_for(lambda: self.find(root, role_name, name, predicate), timeout,
                        f"a {role_name} named {name!r}")

    @staticmethod
    def focused_nodes(root):
        """Every node reported focused: a list and its current line both are,
        and a table may keep reporting its current cell."""
        return [node for node in walk(root) if has_state(node, pyatspi.STATE_FOCUSED)]

    def focused(self, root):
        nodes = self.focused_nodes(root)
        return nodes[-1] if nodes else None

    @staticmethod
    def _inside(node, container, levels=3):
        for _ in range(levels + 1):
            if node is None:
                return False
            if node == container:
                return True
            node = node.parent
        return False

    def has_focus_within(self, root, node):
        return any(self._inside(f, node) for f in self.focused_nodes(root))

    def wait_focused(self, root, node_or_test, timeout=10.0, what="the focus"):
        """Waits until node (or a node the test accepts) has the focus; a
        child of node having it counts too (an editable combo box focuses its
        line edit)."""

        def check():
            for f in self.focused_nodes(root):
                if callable(node_or_test) and node_or_test(f):
                    return f
                if not callable(node_or_test) and self._inside(f, node_or_test):
                    return f
            return None

        try:
            return wait_for(check, timeout, what)
        except UiError as error:
            now = ", ".join(f"{role(f)} {f.name!r}" for f in self.focused_nodes(root)) or "nothing"
            raise UiError(f"{error}; focused: {now}") from None

    def dump(self, path):
        """Writes the program's accessibility tree (for a failure report)."""
        with open(path, "w", encoding="utf-8") as out:
            for w in self.windows():
                for node in walk(w):
                    depth, probe = 0, node
                    while probe is not None and probe != w and depth < 30:
                        probe, depth = probe.parent, depth + 1
                    try:
                        place = extents(node)
                    except Exception:
                        place = None
                    states = [pyatspi.stateToString(s) for s in node.getState().getStates()
                              if s in (pyatspi.STATE_SHOWING, pyatspi.STATE_FOCUSED,
                                       pyatspi.STATE_CHECKED)]
                    out.write(f"{'  ' * depth}{role(node)} {node.name!r} {place} {states}\n")

    def x_windows(self):
        """The program's mapped X windows (pop-up menus included, which the
        accessibility bus does not list)."""
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.pid)],
                             env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             text=True)
        return out.stdout.split()

    # --- input -----------------------------------------------------------------
    @staticmethod
    def click_at(x, y, button=1):
        pyatspi.Registry.generateMouseEvent(int(x), int(y), f"b{button}c")

    def click(self, node, button=1, dx=None, dy=None):
        x, y, w, h = extents(node)
        if w <= 0 or h <= 0:
            raise UiError(f"{role(node)} {node.name!r} has no place on the screen")
        self.click_at(x + (w // 2 if dx is None else dx), y + (h // 2 if dy is None else dy),
                      button)

    @staticmethod
    def key(name):
        pyatspi.Registry.generateKeyboardEvent(KEYSYMS[name], None, pyatspi.KEY_SYM)

    @staticmethod
    def type(text):
        """Types text through the keyboard layout (umlauts included)."""
        pyatspi.Registry.generateKeyboardEvent(0, text, pyatspi.KEY_STRING)

    def chord(self, combo):
        """A key combination such as "ctrl+Insert" or "alt+F4", pressed and
        released through XTest. (Only keys that the layout has: a key that
        must be mapped first disturbs the program's X connection.)"""
        subprocess.run(["xdotool", "key", "--clearmodifiers", combo], env=self.env, check=True)

    # --- the main window's list --------------------------------------------------
    @staticmethod
    def table_rows(table):
        return table.queryTable().nRows

    @staticmethod
    def table_headers(table):
        t = table.queryTable()
        return [t.getColumnDescription(i) for i in range(t.nColumns)]

    @staticmethod
    def table_cell(table, row, column):
        cell = table.queryTable().getAccessibleAt(row, column)
        return cell.name if cell is not None else None


def process_alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except ProcessLookupError:
        return False
