#!/usr/bin/python3
"""End-to-end test of the program among other desktop programs, in a private X
session with real keys and a real drag and drop: a database named on the
command line, the submenu of recent files, and database files dragged onto the
window from another program (a stand-in for a file manager) through the X
drag-and-drop protocol: opened, imported with Ctrl, opened after the question
about unsaved changes, and a file that is no database refused.

Usage: test_desktop.py --bin <folder with mavrolin, libLogin.so and mvd>
                       --drag-source <the e2e_drag_source helper>
                       [--artifacts <folder for screenshots>]
Needs Debian's /usr/bin/python3 (pyatspi), Xvfb, openbox, xdotool."""

import argparse
import os
import subprocess
import sys
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from formats import read_registry  # noqa: E402
from test_program import CLOSE_QUESTION, check, user_name  # noqa: E402
from xsession import XSession  # noqa: E402


class Desktop:
    def __init__(self, session, args):
        import ui
        self.U = ui
        self.s = session
        self.bin = args.bin
        self.drag_source = args.drag_source
        self.artifacts = args.artifacts
        self.title = f"Mavrolin - {user_name()}"
        self.docs = os.path.join(session.home, "Dokumente")
        os.makedirs(self.docs)
        self.proc = None
        self.source = None
        self.ui = None
        self.step = "session"

    def begin(self, step):
        print(f"  ok  {self.step}", flush=True)
        self.step = step

    def path(self, name):
        return os.path.join(self.docs, name)

    def make_database(self, name, minutes):
        for m in minutes:
            subprocess.run([os.path.join(self.bin, "mvd"), "add", self.path(name), "--language",
                            "C++", "--category", "Zeiger", "--project", name, "--date",
                            "01.02.2003", "--minutes", str(m)],
                           env=self.s.env, check=True, stdout=subprocess.DEVNULL)

    def rows(self, main, n, what):
        table = self.ui.wait_find(main, "table")
        self.U.wait_for(lambda: self.ui.table_rows(table) == n, 10,
                        f"{n} rows ({what}); the list has {self.ui.table_rows(table)}")

    def open_recent_menu(self, main):
        """"Datenbank", then "Zuletzt geöffnet", by their access keys."""
        self.end_drag_source()  # it may have the keyboard focus
        self.U.wait_for(lambda: self.U.has_state(main, self.U.pyatspi.STATE_ACTIVE), 10,
                        "the main window to be active")
        self.ui.chord("alt+d")
        self.ui.wait_for_menu_item("Zuletzt geöffnet")
        self.ui.chord("z")

    def drag(self, name, main, ctrl=False):
        """Drags the file from a stand-in file manager onto the list; returns
        the action the source was told (copy, move, link or none)."""
        # The last source stays until now: the window fetches the names of a
        # drop from it after the button went up.
        self.end_drag_source()
        source = subprocess.Popen([self.drag_source, self.path(name)], env=self.s.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.source = source

        def source_window():
            # Asked again until it answers: a search fails on windows that
            # vanish meanwhile (the previous source's).
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                    str(source.pid)], env=self.s.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
            return found.stdout.split()[0] if found.stdout.split() else None

        window = self.U.wait_for(source_window, 20, "the drag source's window")
        subprocess.run(["xdotool", "windowmove", "--sync", window, "0", "0"], env=self.s.env,
                       check=True)
        x, y, w, h = self.U.extents(self.ui.wait_find(main, "table"))
        xdo = ["xdotool"]
        if ctrl:
            xdo += ["keydown", "ctrl"]
        xdo += ["mousemove", "--sync", "60", "60", "mousedown", "1", "sleep", "0.2"]
        # The drag starts after a few pixels; the target then sees the
        # pointer move over it before the button is released.
        for step in range(1, 11):
            xdo += ["mousemove", str(60 + (x + w // 2 - 60) * step // 10),
                    str(60 + (y + h // 2 - 60) * step // 10), "sleep", "0.05"]
        xdo += ["sleep", "0.3", "mouseup", "1"]
        if ctrl:
            xdo += ["keyup", "ctrl"]
        subprocess.run(xdo, env=self.s.env, check=True)
        return source.stdout.readline().strip()

    def end_drag_source(self):
        if self.source is not None:
            self.source.kill()
            self.source.wait()
            self.source = None

    def run(self):
        U = self.U
        self.make_database("a.mvd", [1, 2])
        self.make_database("b.mvd", [3])
        with open(self.path("notiz.txt"), "w") as f:
            f.write("keine Datenbank\n")

        self.begin("start with a file named on the command line")
        self.proc = subprocess.Popen([os.path.join(self.bin, "mavrolin"), "a.mvd"],
                                     env=self.s.env, cwd=self.docs, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT)
        self.ui = U.Ui(self.s.env, self.proc.pid)
        main = self.ui.window(self.title, timeout=30)
        U.wait_for(lambda: self.ui.focused(main) is not None, 10, "the main window's focus")
        self.rows(main, 2, "a.mvd")

        self.begin("recent files by keys")
        self.open_recent_menu(main)
        self.ui.wait_for_menu_item("1 a.mvd")
        self.ui.wait_for_menu_item("Liste leeren")
        time.sleep(0.3)
        self.s.screenshot(os.path.join(self.artifacts, "e2e_desktop_recent_menu.png"))
        self.ui.key("Escape")
        self.ui.key("Escape")
        self.ui.key("Escape")

        self.begin("drop opens")
        check(self.drag("b.mvd", main) == "copy", "the drop of b.mvd was not taken as a copy")
        self.rows(main, 1, "b.mvd dropped")

        self.begin("drop with Ctrl imports")
        check(self.drag("a.mvd", main, ctrl=True) == "copy", "the import drop was not a copy")
        self.rows(main, 3, "a.mvd imported")

        self.begin("drop with unsaved changes asks first")
        check(self.drag("a.mvd", main) == "copy", "the drop of a.mvd was not taken")
        box = self.ui.window("Warnung", roles=("alert", "dialog"))
        self.ui.wait_find(box, "label", CLOSE_QUESTION)
        self.ui.wait_focused(box, lambda f: U.role(f) == "push button", what="the box's focus")
        self.ui.key("Escape")  # Abbrechen
        self.ui.window_gone("Warnung")
        self.rows(main, 3, "the drop cancelled")
        self.drag("a.mvd", main)
        box = self.ui.window("Warnung", roles=("alert", "dialog"))
        self.ui.wait_focused(box, lambda f: U.role(f) == "push button", what="the box's focus")
        self.ui.chord("alt+n")  # Nein
        self.ui.window_gone("Warnung")
        self.rows(main, 2, "a.mvd opened, the changes dropped")

        self.begin("no drop of other files")
        check(self.drag("notiz.txt", main) == "none", "a text file was taken")
        self.rows(main, 2, "nothing dropped")

        self.begin("a recent file chosen by its number")
        self.open_recent_menu(main)
        self.ui.wait_for_menu_item("2 b.mvd")
        self.ui.chord("2")
        self.rows(main, 1, "b.mvd from the list")

        self.begin("the list in the settings")
        self.ui.chord("alt+F4")
        self.proc.communicate(timeout=20)
        check(self.proc.returncode == 0, f"exit status {self.proc.returncode}")
        with open(os.path.join(self.s.env["XDG_CONFIG_HOME"], "Mavrolin", "registry.reg"),
                  encoding="utf-8") as f:
            keys = read_registry(f.read())
        recent = keys["HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\" + user_name()]["recent"]
        names = [n.decode() for n in recent.split(b"\0") if n]
        check(names == [self.path("b.mvd"), self.path("a.mvd")], f"stored list {names}")
        self.begin("done")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True)
    parser.add_argument("--drag-source", required=True)
    parser.add_argument("--artifacts", default=os.getcwd())
    args = parser.parse_args()
    args.bin, args.artifacts = os.path.abspath(args.bin), os.path.abspath(args.artifacts)
    with XSession() as session:
        os.environ.update(session.env)  # pyatspi finds its bus through these
        desktop = Desktop(session, args)
        try:
            desktop.run()
        except BaseException:
            shot = os.path.join(args.artifacts, "e2e_desktop_failure.png")
            session.screenshot(shot)
            traceback.print_exc()
            print(f"FAILED in step '{desktop.step}'; screenshot: {shot}", file=sys.stderr)
            if desktop.proc is not None and desktop.proc.poll() is None:
                desktop.proc.kill()
                out = desktop.proc.communicate()[0].decode(errors="replace").strip()
                if out:
                    print("program output:\n" + out, file=sys.stderr)
            return 1
        finally:
            desktop.end_drag_source()
            if desktop.proc is not None and desktop.proc.poll() is None:
                desktop.proc.kill()
    print("PASS: desktop scenario")
    return 0


if __name__ == "__main__":
    sys.exit(main())
