#!/usr/bin/python3
"""Screenshots of the program's windows under Xvfb: the main window with
a few entries, the filter dialog, the options dialog, the information
dialog and the analysis window. Beside each PNG a .txt lists every control's place and size in the
window's client coordinates (from the accessibility bus), for comparing with
the designed layout.

Usage: screenshots.py --bin <folder with mavrolin, libLogin.so and mvd>
                      --out <folder> [--readme <png for the README>]"""

import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from xsession import XSession  # noqa: E402

SAMPLE = [
    ("C++", "Zeigerfehler", "Mavrolin", "05.03.2001", "15", "Zeiger nach delete benutzt"),
    ("Java", "Parameter verwechselt", "Mavrolin", "12.03.2001", "10",
     "Breite und Höhe beim Aufruf vertauscht"),
    ("Object Pascal", "Eins-daneben-Fehler", "Werkzeug", "02.04.2001", "45",
     "Schleife lief bis Count statt Count - 1"),
    ("Ansi C", "vergessene Anweisung", "Treiber", "20.04.2001", "120",
     "Puffer nach dem Lesen nicht freigegeben"),
]


def window_id(env, title):
    out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", f"^{title}$"],
                         env=env, stdout=subprocess.PIPE, text=True, timeout=15, check=True)
    return out.stdout.split()[0]


def shoot(session, title, path):
    """The window with its window-manager frame."""
    subprocess.run(["import", "-frame", "-window", window_id(session.env, title), path],
                   env=session.env, check=True)


def geometry(ui_mod, window, path):
    """Every control that shows, in the window's client coordinates."""
    wx, wy, ww, wh = ui_mod.extents(window)
    with open(path, "w", encoding="utf-8") as out:
        out.write(f"# client area at {wx},{wy} on the screen, {ww} x {wh}\n")
        for node in ui_mod.walk(window):
            if not ui_mod.showing(node):
                continue
            try:
                x, y, w, h = ui_mod.extents(node)
            except Exception:
                continue
            if w <= 0 or h <= 0:
                continue
            out.write(f"{ui_mod.role(node):22} {node.name[:40]!r:44} "
                      f"{x - wx:4d},{y - wy:4d}  {w:4d} x {h:4d}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--readme", help="also write a small copy of the main window here "
                        "(and of the analysis window as analysis.png beside it)")
    args = parser.parse_args()
    bin_dir, out = os.path.abspath(args.bin), os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)

    with XSession() as session:
        os.environ.update(session.env)
        import ui as U

        db = os.path.join(session.home, "fehler.mvd")
        for language, category, project, day, minutes, text in SAMPLE:
            subprocess.run([os.path.join(bin_dir, "mvd"), "add", db, "--language", language,
                            "--category", category, "--project", project, "--date", day,
                            "--minutes", minutes, "--description", text],
                           env=session.env, check=True, stdout=subprocess.DEVNULL)
        proc = subprocess.Popen([os.path.join(bin_dir, "mavrolin")], env=session.env,
                                cwd=session.home)
        try:
            ui = U.Ui(session.env, proc.pid)
            user = subprocess.run(["id", "-un"], stdout=subprocess.PIPE, text=True).stdout.strip()
            title = f"Mavrolin - {user}" if user else None
            main_window = U.wait_for(
                lambda: next((w for w in ui.windows()
                              if U.role(w) == "frame" and w.name.startswith("Mavrolin - ")
                              and U.showing(w)), None), 30, "the main window")
            title = main_window.name

            # Open the sample database as a user does: Ctrl+L, type, Enter.
            ui.wait_focused(main_window, lambda f: True, what="the main window's focus")
            ui.chord("ctrl+l")
            dialog = ui.window("Datenbank öffnen...")
            # The dialog opens with the focus in its file name field.
            field = ui.wait_focused(dialog, lambda f: U.role(f) == "text", timeout=20,
                                    what="the file name field")
            ui.type(db)
            U.wait_for(lambda: U.text_of(field) == db, 5, "the typed name")
            ui.key("Return")
            ui.window_gone("Datenbank öffnen...")
            table = ui.wait_find(main_window, "table")
            U.wait_for(lambda: ui.table_rows(table) == len(SAMPLE), 10, "the sample entries")
            # Show the second entry, then take the picture with the list focused.
            ui.click(ui.wait_find(table, "table cell", "Java"))
            U.wait_for(lambda: any(n.name == "Java" for n in ui.find_all(main_window, "combo box")),
                       5, "the entry in the detail panel")

            shoot(session, title, os.path.join(out, "main-window.png"))
            geometry(U, main_window, os.path.join(out, "main-window.txt"))
            if args.readme:
                subprocess.run(["convert", os.path.join(out, "main-window.png"), "-strip",
                                "-colors", "96", "PNG8:" + os.path.abspath(args.readme)],
                               check=True)

            ui.chord("ctrl+f")
            dialog = ui.window("Filter und Sortieren")
            ui.wait_focused(dialog, lambda f: True, what="the filter dialog's focus")
            shoot(session, "Filter und Sortieren", os.path.join(out, "filter-dialog.png"))
            geometry(U, dialog, os.path.join(out, "filter-dialog.txt"))
            ui.key("Escape")
            ui.window_gone("Filter und Sortieren")

            ui.chord("ctrl+k")
            dialog = ui.window("Mavrolin Konfigurieren")
            ui.wait_focused(dialog, lambda f: True, what="the options dialog's focus")
            shoot(session, "Mavrolin Konfigurieren", os.path.join(out, "options-dialog.png"))
            geometry(U, dialog, os.path.join(out, "options-dialog.txt"))
            ui.key("Escape")
            ui.window_gone("Mavrolin Konfigurieren")

            help_menu = ui.wait_find(main_window, "menu item", "Hilfe",
                                     predicate=lambda n: U.role(n.parent) == "menu bar")
            ui.click(help_menu)
            ui.click(ui.wait_for_menu_item("Information..."))
            dialog = ui.window("Information")
            ui.wait_focused(dialog, lambda f: True, what="the information dialog's focus")
            shoot(session, "Information", os.path.join(out, "information-dialog.png"))
            geometry(U, dialog, os.path.join(out, "information-dialog.txt"))
            ui.key("Return")
            ui.window_gone("Information")

            # The analysis window by its key, ordered by the time spent (Alt+M
            # goes to the measure, Down picks "Aufwand").
            ui.chord("ctrl+t")
            analysis = ui.window("Auswertung")  # a dialog that is not modal
            ui.wait_focused(analysis, lambda f: True, what="the analysis window's focus")
            ui.chord("alt+m")
            ui.wait_focused(analysis, lambda f: U.role(f) == "combo box", what="the measure box")
            ui.key("Down")
            U.wait_for(lambda: any(n.name == "Aufwand" for n in ui.find_all(analysis, "combo box")),
                       5, "the measure Aufwand")
            shoot(session, "Auswertung", os.path.join(out, "analysis-window.png"))
            geometry(U, analysis, os.path.join(out, "analysis-window.txt"))
            if args.readme:
                subprocess.run(["convert", os.path.join(out, "analysis-window.png"), "-strip",
                                "-colors", "128", "PNG8:" + os.path.join(
                                    os.path.dirname(os.path.abspath(args.readme)),
                                    "analysis.png")], check=True)
        finally:
            proc.kill()
            proc.wait()
    print(f"screenshots in {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
