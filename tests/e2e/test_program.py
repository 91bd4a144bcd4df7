#!/usr/bin/python3
"""End-to-end test: the real program in a private X session, used with
keyboard and mouse as a person uses it.

First start in an empty home: three entries, a duplicate refused, a column
added and the list sorted, the options set to keep the layout, a filter that
hides one entry, "save as" through Qt's file dialog (the suffix is added), a
fourth entry, and closing the window with the question about unsaved changes.
Second start: the database and the layout come back; an import of a file made
with the mvd tool; the stopwatch started and stopped with F5; leaving through
the menu without saving. The database file
is checked byte for byte, the settings file value by value.

Usage: test_program.py --bin <folder with mavrolin, libLogin.so and mvd>
                       [--artifacts <folder for a failure screenshot>]
Needs Debian's /usr/bin/python3 (pyatspi), Xvfb, openbox, xdotool."""

import argparse
import datetime
import os
import pwd
import re
import subprocess
import sys
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from formats import read_mvd, read_registry, read_window_configuration  # noqa: E402
from xsession import XSession  # noqa: E402

DUPLICATE_TEXT = "Es ist bereits ein identischer Eintrag in der Datenbank vorhanden!"
CLOSE_QUESTION = ("Es wurden Änderungen an der Fehlerdatenbank vorgenommen. "
                  "Sollen diese gesichert werden?")

# language, category, project, minutes, description
ENTRIES = [
    ("C++", "Zeigerfehler", "Mavrolin", "25", "Zeiger nach delete benutzt"),
    ("Java", "Parameter verwechselt", "Mavrolin", "10", "Breite und Höhe vertauscht"),
    ("Python", "Eins-daneben-Fehler", "Werkzeug", "5", "range(1, n) statt range(n) – Grüße"),
]
# Typed as a user might: a known language in other letter case, a minute count
# above the maximum and a description of two lines; stored as typed, with the
# minutes corrected to the maximum and the line break as CR LF.
FOURTH = ("fortran", "vergessene Anweisung", "Altlast", "2000000",
          "Schleife ohne\nZähler-Erhöhung")
FOURTH_STORED = ("fortran", "vergessene Anweisung", "Altlast", "1000000",
                 "Schleife ohne\r\nZähler-Erhöhung")
# Motif hints (flags, functions, decorations) that the windows carry.
MWM_FUNC_MINIMIZE, MWM_FUNC_MAXIMIZE = 0x08, 0x10
MWM_DECOR_MENU, MWM_DECOR_MINIMIZE, MWM_DECOR_MAXIMIZE = 0x10, 0x20, 0x40


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def user_name():
    try:
        return pwd.getpwuid(os.getuid()).pw_name
    except KeyError:
        return str(os.getuid())


class Program:
    """One run of the program binary in the session."""

    def __init__(self, session, bin_dir, cwd):
        import ui
        self.proc = subprocess.Popen([os.path.join(bin_dir, "mavrolin")], env=session.env, cwd=cwd,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.ui = ui.Ui(session.env, self.proc.pid)
        self.output = b""

    def wait_exit(self, timeout=20):
        try:
            out, _ = self.proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s")
        self.output = out
        return self.proc.returncode

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            out, _ = self.proc.communicate()
            self.output = out


class Scenario:
    def __init__(self, session, bin_dir):
        import ui
        self.uimod = ui
        self.s = session
        self.bin = bin_dir
        self.user = user_name()
        self.title = f"Mavrolin - {self.user}"
        self.docs = os.path.join(session.home, "Dokumente")
        os.makedirs(self.docs)
        # A file dialog opens in the home folder while no database is open and
        # none was chosen before, not in the working folder.
        self.db_path = os.path.join(session.home, "fehler.mvd")
        self.settings_path = os.path.join(session.env["XDG_CONFIG_HOME"], "Mavrolin", "registry.reg")
        self.log_path = os.path.join(session.env["XDG_STATE_HOME"], "Mavrolin", "login.log")
        self.program = None
        self.step = "session"
        self.step_started = time.monotonic()

    def begin(self, step):
        now = time.monotonic()
        print(f"  ok  {self.step} ({now - self.step_started:.1f} s)", flush=True)
        self.step, self.step_started = step, now

    # --- helpers ---------------------------------------------------------------
    @property
    def ui(self):
        return self.program.ui

    def table(self, main):
        return self.ui.wait_find(main, "table")

    def wait_rows(self, main, n, what):
        table = self.table(main)
        self.uimod.wait_for(lambda: self.ui.table_rows(table) == n, 10,
                            f"{n} rows in the list ({what}); it has {self.ui.table_rows(table)}")
        return table

    def beside(self, main, label, role_name):
        """The control of role_name on the line of the label, right of it."""
        lab = self.ui.wait_find(main, "label", label)
        lx, ly, lw, lh = self.uimod.extents(lab)
        centre = ly + lh / 2

        def near(node):
            x, y, w, h = self.uimod.extents(node)
            return x > lx and abs(y + h / 2 - centre) <= 8

        return self.ui.wait_find(main, role_name, predicate=near)

    def below(self, main, label, role_name):
        lab = self.ui.wait_find(main, "label", label)
        lx, ly, lw, lh = self.uimod.extents(lab)

        def near(node):
            x, y, w, h = self.uimod.extents(node)
            return abs(x - lx) <= 4 and 0 <= y - (ly + lh) <= 12

        return self.ui.wait_find(main, role_name, predicate=near)

    def ok_button(self, main):
        return self.uimod.Ui.find(main, "push button", "OK")

    def editing(self, main):
        ok = self.ok_button(main)
        return ok is not None

    def type_entry(self, main, entry, start):
        """Starts a new entry (start() presses the key or button), types it
        field by field and confirms with Enter."""
        language, category, project, minutes, description = entry
        ui, U = self.ui, self.uimod
        language_box = self.beside(main, "Sprache:", "combo box")
        type_box = self.beside(main, "Kategorie:", "combo box")
        project_box = self.beside(main, "Projekt:", "combo box")
        time_edit = self.below(main, "benötigte Zeit:", "spin button")
        memo = self.below(main, "Beschreibung:", "text")
        start()
        ui.wait_find(main, "push button", "OK")  # the editing state shows OK
        ui.wait_focused(main, language_box, what="the language box to take the focus")
        ui.type(language)
        U.wait_for(lambda: language_box.name == language, 10, f"the language {language!r}")
        ui.key("Tab")
        ui.wait_focused(main, type_box, what="the category box")
        ui.type(category)
        U.wait_for(lambda: type_box.name == category, 10, f"the category {category!r}")
        ui.key("Tab")
        ui.wait_focused(main, project_box, what="the project box")
        ui.type(project)
        U.wait_for(lambda: project_box.name == project, 10, f"the project {project!r}")
        ui.key("Tab")  # the date picker's button (its focus is not always reported)
        U.wait_for(lambda: not ui.has_focus_within(main, project_box), 5,
                   "the focus to leave the project box")
        ui.key("Tab")  # the minutes, selected as a whole
        ui.wait_focused(main, time_edit, what="the minutes field")
        ui.type(minutes)
        U.wait_for(lambda: U.text_of(time_edit) == minutes, 10, f"the minutes {minutes}")
        ui.key("Tab")
        ui.wait_focused(main, memo, what="the description")
        for n, line in enumerate(description.split("\n")):
            if n:
                ui.key("Return")  # a line break inside the description
            ui.type(line)
        U.wait_for(lambda: U.text_of(memo) == description, 10, "the description")
        # Enter belongs to the description (a line break); confirm from the
        # minutes field, as a user does after checking the entry.
        ui.click(time_edit, dx=10)
        ui.wait_focused(main, time_edit, what="the minutes field after the click")
        ui.key("Return")

    def file_name_field(self, dialog):
        """Qt's file dialog opens with the focus in its file name field
        (named "File name:" or, translated, "Dateiname:")."""
        return self.ui.wait_focused(dialog, lambda f: self.uimod.role(f) == "text",
                                    timeout=20, what="the file dialog's name field")

    def dialog(self, title):
        """A dialog once it has the keyboard focus (the window manager has
        placed and activated it, so clicks and keys reach it)."""
        window = self.ui.window(title, timeout=20)
        self.ui.wait_focused(window, lambda f: True, what=f"the focus in {title!r}")
        return window

    def message_box(self, title, text, timeout=10):
        box = self.ui.window(title, timeout, roles=("alert", "dialog"))
        label = self.ui.wait_find(box, "label", predicate=lambda n: n.name == text, timeout=5)
        check(label is not None, f"message box {title!r} without the text {text!r}")
        # Keys go to the box only once it has the keyboard focus.
        self.ui.wait_focused(box, lambda f: self.uimod.role(f) == "push button",
                             what=f"a button of the box {title!r} to take the focus")
        return box

    def settings(self):
        with open(self.settings_path, encoding="utf-8") as f:
            keys = read_registry(f.read())
        key = "HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\" + self.user
        check(key in keys, f"settings file without the key {key!r}: {sorted(keys)}")
        return keys[key]

    def x_window(self, title):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                             env=self.s.env, stdout=subprocess.PIPE, text=True, check=True)
        return out.stdout.split()[0]

    def x_cardinals(self, title, prop):
        """The numbers of a window property (xprop prints them comma-separated)."""
        out = subprocess.run(["xprop", "-id", self.x_window(title), prop], env=self.s.env,
                             stdout=subprocess.PIPE, text=True, check=True).stdout
        check("=" in out, f"{title!r} has no {prop}: {out!r}")
        return [int(v, 0) for v in out.split("=", 1)[1].split(",")]

    def check_title_buttons(self, title, minimise, maximise, menu):
        """The Motif hints name exactly the designed title-bar buttons."""
        flags, functions, decorations = self.x_cardinals(title, "_MOTIF_WM_HINTS")[:3]
        got = (bool(functions & MWM_FUNC_MINIMIZE), bool(functions & MWM_FUNC_MAXIMIZE),
               bool(decorations & MWM_DECOR_MENU))
        check(flags & 1 and got == (minimise, maximise, menu),
              f"{title!r}: Motif hints {flags:#x} {functions:#x} {decorations:#x}")

    def start(self):
        self.program = Program(self.s, self.bin, cwd=self.docs)
        main = self.ui.window(self.title, timeout=30)
        self.uimod.wait_for(lambda: self.ui.focused(main) is not None, 10, "the main window's focus")
        return main

    # --- the story ---------------------------------------------------------------
    def run(self):
        U = self.uimod
        today = datetime.date.today()

        # First start: the defaults are written, the login is logged.
        self.begin("first start")
        main = self.start()
        table = self.wait_rows(main, 0, "empty at first start")
        check(self.ui.table_headers(table) == ["Sprache", "Kategorie", "Datum"],
              f"first-start columns: {self.ui.table_headers(table)}")
        U.wait_for(lambda: os.path.exists(self.settings_path), 10, "the settings file")
        values = self.settings()
        check(values.get("options") == 2 and values.get("database") == "",
              f"first-start settings: {values}")
        check(read_window_configuration(values["configuration"])["columns"] == [1, 2, 4, 0, 0],
              "first-start configuration")
        # The frame, title bar included, is centred on the screen.
        left, right, top, bottom = self.x_cardinals(self.title, "_NET_FRAME_EXTENTS")
        x, y, w, h = U.extents(main)
        centre = (x - left + (left + w + right) / 2, y - top + (top + h + bottom) / 2)
        check(abs(centre[0] - self.s.width / 2) <= 1 and abs(centre[1] - self.s.height / 2) <= 1,
              f"frame centred at {centre}, client {x},{y} {w}x{h}, frame {left},{right},{top},{bottom}")
        self.check_title_buttons(self.title, minimise=True, maximise=False, menu=True)

        # Options: keep the layout and save the settings at the end.
        self.begin("options dialog")
        self.ui.chord("ctrl+k")
        dialog = self.dialog("Mavrolin Konfigurieren")
        self.check_title_buttons("Mavrolin Konfigurieren", minimise=False, maximise=False,
                                 menu=True)
        for caption in ("Fensterkonfiguration sichern", "Einstellungen beim Beenden speichern"):
            box = self.ui.wait_find(dialog, "check box", caption)
            check(not U.has_state(box, U.pyatspi.STATE_CHECKED), f"{caption!r} ticked at first start")
            self.ui.click(box, dx=8)
            U.wait_for(lambda: U.has_state(box, U.pyatspi.STATE_CHECKED), 10, f"{caption!r} ticked")
        contents = self.ui.wait_find(dialog, "check box", "Fensterinhalt speichern")
        check(U.has_state(contents, U.pyatspi.STATE_CHECKED), "'Fensterinhalt speichern' unticked")
        self.ui.key("Return")
        self.ui.window_gone("Mavrolin Konfigurieren")

        # Three entries: two by the shortcut, one by the toolbar button.
        self.begin("three entries")
        new_button = self.ui.wait_find(main, "push button", "neuer Datensatz")
        starts = [lambda: self.ui.chord("ctrl+Insert"), lambda: self.ui.click(new_button),
                  lambda: self.ui.chord("ctrl+Insert")]
        for n, (entry, start) in enumerate(zip(ENTRIES, starts), 1):
            self.type_entry(main, entry, start)
            U.wait_for(lambda: not self.editing(main), 10, "the end of the edit")
            self.wait_rows(main, n, f"after entry {n}")

        # A duplicate (same language, category, project, day, minutes) is
        # refused with its message; the edit stays open until cancelled.
        self.begin("duplicate")
        duplicate = ENTRIES[0][:4] + ("anderer Text, gleiche Angaben",)
        self.type_entry(main, duplicate, lambda: self.ui.chord("ctrl+Insert"))
        self.message_box("Mavrolin", DUPLICATE_TEXT)
        self.ui.key("Return")
        self.ui.window_gone("Mavrolin")
        check(self.editing(main), "the refused entry ended the edit")
        self.ui.key("Escape")
        U.wait_for(lambda: not self.editing(main), 10, "Escape to end the edit")
        self.wait_rows(main, 3, "after the refused duplicate")

        # The layout: the column "Projekt" through the list's pop-up menu, and
        # the list sorted by a click on the "Kategorie" header.
        self.begin("layout")
        table = self.table(main)
        x, y, w, h = U.extents(table)
        mapped = len(self.ui.x_windows())
        self.ui.click_at(x + w // 2, y + h - 30, button=3)
        # The pop-up menu does not show up on the accessibility bus: wait for
        # its X window, then pick its third item, "Projekt", by keyboard.
        U.wait_for(lambda: len(self.ui.x_windows()) > mapped, 10, "the pop-up menu")
        for _ in range(3):
            self.ui.key("Down")
        self.ui.key("Return")
        U.wait_for(lambda: self.ui.table_headers(table) == ["Sprache", "Kategorie", "Datum", "Projekt"],
                   5, "the column 'Projekt'")
        header = self.ui.wait_find(table, "table column header", "Kategorie")
        self.ui.click(header)
        # A click on another column's header sorts by it, larger keys first.
        U.wait_for(lambda: self.category_order(table) == sorted(self.category_order(table),
                                                                 key=str.casefold, reverse=True),
                   10, "the list sorted by category, descending")

        # Filter: untick "Java" and ask for entries that pass every filter.
        self.begin("filter")
        self.ui.chord("ctrl+f")
        dialog = self.dialog("Filter und Sortieren")
        java = self.ui.wait_find(dialog, "list item", "Java")
        check(U.has_state(java, U.pyatspi.STATE_CHECKED), "'Java' not ticked in the filter")
        self.ui.click(java)
        self.ui.wait_focused(dialog, java, what="the 'Java' line")
        self.ui.key("space")
        U.wait_for(lambda: not U.has_state(java, U.pyatspi.STATE_CHECKED), 10, "'Java' unticked")
        and_box = self.ui.wait_find(dialog, "check box", "Eintrag muß allen Filtern genügen")
        self.ui.click(and_box, dx=8)
        U.wait_for(lambda: U.has_state(and_box, U.pyatspi.STATE_CHECKED), 10, "the AND box ticked")
        self.ui.click(self.ui.wait_find(dialog, "push button", "OK"))
        self.ui.window_gone("Filter und Sortieren")
        table = self.wait_rows(main, 2, "the filter hides the Java entry")
        check(sorted(self.column(table, "Sprache")) == ["C++", "Python"],
              f"listed after the filter: {self.column(table, 'Sprache')}")

        # Save as: Qt's dialog, the name typed without its suffix.
        self.begin("save as")
        self.ui.chord("ctrl+u")
        dialog = self.ui.window("Datenbank sichern")
        name_field = self.file_name_field(dialog)
        types = self.ui.wait_find(dialog, "combo box", "Mavrolin-Datenbank (*.mvd)")
        check(types is not None, "the save dialog's filter")
        self.ui.type("fehler")
        U.wait_for(lambda: U.text_of(name_field) == "fehler", 10, "the typed name")
        self.ui.key("Return")
        self.ui.window_gone("Datenbank sichern")
        U.wait_for(lambda: os.path.exists(self.db_path), 10, f"{self.db_path} to be written")
        check(not os.path.exists(os.path.join(self.docs, "fehler")), "saved without the suffix")
        saved = self.read_db()
        check(len(saved) == 3, f"{len(saved)} entries saved, not 3 (the filter must not matter)")
        for entry, stored in zip(ENTRIES, saved):
            self.check_entry(stored, entry, today)

        # A fourth entry, then the window's close button (Alt+F4 through the
        # window manager): the question, "Ja", and the program ends saved.
        self.begin("close with the question")
        self.type_entry(main, FOURTH, lambda: self.ui.click(new_button))
        U.wait_for(lambda: not self.editing(main), 10, "the end of the fourth edit")
        # Fortran passes the filter: three entries listed.
        self.wait_rows(main, 3, "after the fourth entry")
        # Moved away from the centre, so that the next start shows the stored place.
        before = U.extents(main)
        subprocess.run(["xdotool", "windowmove", self.x_window(self.title), "100", "80"],
                       env=self.s.env, check=True)
        U.wait_for(lambda: U.extents(main)[:2] != before[:2], 10, "the window to move")
        self.ui.chord("alt+F4")
        box = self.message_box("Warnung", CLOSE_QUESTION)
        for caption in ("Ja", "Nein", "Abbrechen"):
            check(self.ui.find(box, "push button", caption) is not None,
                  f"the close question has no button {caption!r}")
        self.ui.click(self.ui.find(box, "push button", "Ja"))
        rc = self.program.wait_exit()
        check(rc == 0, f"the program ended with {rc}: {self.program.output.decode(errors='replace')}")
        saved = self.read_db()
        check(len(saved) == 4, f"{len(saved)} entries after closing with 'Ja', not 4")
        self.check_entry(saved[3], FOURTH_STORED, today)
        first_bytes = open(self.db_path, "rb").read()

        values = self.settings()
        check(values.get("database") == self.db_path, f"stored database: {values.get('database')!r}")
        check(values.get("options") == 7, f"stored options: {values.get('options')!r}")
        layout = read_window_configuration(values["configuration"])
        check(layout["columns"] == [1, 2, 4, 3, 0], f"stored columns: {layout['columns']}")
        check(layout["sort_column"] == 2 and layout["sort_descending"] == 1,
              f"stored sort: column {layout['sort_column']}, descending {layout['sort_descending']}")
        check(all(w > 0 for w in layout["widths"][:4]) and layout["widths"][4] == 0,
              f"stored widths: {layout['widths']}")

        # Second start: the same database and layout; the filter is reset.
        self.begin("second start")
        main = self.start()
        table = self.wait_rows(main, 4, "the reopened database")
        check(self.ui.table_headers(table) == ["Sprache", "Kategorie", "Datum", "Projekt"],
              f"restored columns: {self.ui.table_headers(table)}")
        order = self.category_order(table)
        expected = sorted(order, key=str.casefold, reverse=bool(layout["sort_descending"]))
        check(order == expected, f"restored sort order by category: {order}")
        fx, fy, fw, fh = U.extents(main)
        check(fw == layout["client_width"], f"restored width {fw}, stored {layout['client_width']}")
        # The stored place of the frame, not the first start's centring.
        left, right, top, bottom = self.x_cardinals(self.title, "_NET_FRAME_EXTENTS")
        check(layout["left"] < 200 and layout["top"] < 200, f"stored place {layout}")
        check(abs(fx - left - layout["left"]) <= 1 and abs(fy - top - layout["top"]) <= 1,
              f"frame at {fx - left},{fy - top}, stored {layout['left']},{layout['top']}")

        # Import another database made with the mvd tool: one new entry, one
        # that duplicates an entry here and is skipped.
        self.begin("import")
        other = os.path.join(self.s.home, "andere.mvd")
        mvd = os.path.join(self.bin, "mvd")
        day = today.strftime("%d.%m.%Y")
        for args in (["--language", "Ansi C", "--category", "Zeigerfehler", "--project", "Treiber",
                      "--date", "05.03.2001", "--minutes", "15", "--description", "free() doppelt"],
                     ["--language", "C++", "--category", "Zeigerfehler", "--project", "Mavrolin",
                      "--date", day, "--minutes", "25", "--description", "schon da"]):
            subprocess.run([mvd, "add", other] + args, env=self.s.env, check=True,
                           stdout=subprocess.DEVNULL)
        check(len(read_mvd(open(other, "rb").read())) == 2, "the mvd tool's file")
        self.ui.chord("ctrl+i")
        dialog = self.ui.window("Datenbank importieren...")
        name_field = self.file_name_field(dialog)
        self.ui.chord("ctrl+a")
        self.ui.type(other)
        U.wait_for(lambda: U.text_of(name_field) == other, 10, "the typed path")
        self.ui.key("Return")
        self.ui.window_gone("Datenbank importieren...")
        table = self.wait_rows(main, 5, "one imported entry, the duplicate skipped")
        check("Ansi C" in self.column(table, "Sprache"), "the imported entry is not listed")

        self.begin("stopwatch")
        self.stopwatch(main)

        # Leave through the menu: "Datenbank", "Beenden"; the import is not
        # saved ("Nein"), so the file stays as it was.
        self.begin("exit")
        menu = self.ui.wait_find(main, "menu item", "Datenbank",
                                 predicate=lambda n: U.role(n.parent) == "menu bar")
        self.ui.click(menu)
        self.ui.click(self.ui.wait_for_menu_item("Beenden"))
        box = self.message_box("Warnung", CLOSE_QUESTION)
        self.ui.click(self.ui.find(box, "push button", "Nein"))
        rc = self.program.wait_exit()
        check(rc == 0, f"the program ended with {rc}: {self.program.output.decode(errors='replace')}")
        check(open(self.db_path, "rb").read() == first_bytes, "'Nein' changed the database file")
        values = self.settings()
        check(values.get("database") == self.db_path, "the stored database after the second run")

        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            lines = [line for line in f.read().splitlines() if line]
        check(len(lines) == 2 and all("Mavrolin" in line and self.user in line for line in lines),
              f"login log: {lines}")

    def stopwatch(self, main):
        """F5 starts the stopwatch: its time runs on the toolbar right of the
        filter button and its start is stored at once; F5 stops it."""
        U = self.uimod

        def shown():  # checkable, so a check box to the accessibility bus
            return self.ui.find(main, "check box",
                                predicate=lambda n: re.fullmatch(r"\d+:\d\d:\d\d", n.name or ""))

        check(shown() is None, "the stopwatch's time shows before it was started")
        self.ui.key("F5")
        U.wait_for(lambda: shown() and shown().name not in ("0:00:00", "0:00:01"), 10,
                   "the stopwatch's time to run on the toolbar")
        check(U.extents(shown())[0] > U.extents(self.ui.find(main, "push button", "Filtern"))[0],
              "the stopwatch's time left of the filter button")
        started = self.settings().get("stopwatch start")
        check(isinstance(started, int) and abs(started / 1000 - time.time()) < 60,
              f"stored stopwatch start: {started!r}")
        self.ui.key("F5")
        U.wait_for(lambda: not U.has_state(shown(), U.pyatspi.STATE_CHECKED), 10, "F5 to stop it")

    # --- checks ---------------------------------------------------------------------
    def read_db(self):
        with open(self.db_path, "rb") as f:
            return read_mvd(f.read())

    @staticmethod
    def check_entry(stored, entry, today):
        language, category, project, minutes, description = entry
        got = (stored["language"], stored["category"], stored["project"],
               str(stored["minutes"]), stored["description"])
        check(got == entry, f"stored {got}, typed {entry}")
        check(stored["day"] == today, f"stored day {stored['day']}, expected {today}")

    def column(self, table, header):
        headers = self.ui.table_headers(table)
        c = headers.index(header)
        return [self.ui.table_cell(table, r, c) for r in range(self.ui.table_rows(table))]

    def category_order(self, table):
        return self.column(table, "Kategorie")


def run(bin_dir, artifacts):
    started = time.monotonic()
    with XSession() as session:
        # pyatspi finds the accessibility bus through the session bus: it must
        # see the session's environment before it is imported.
        os.environ.update(session.env)
        import ui  # noqa: F401
        scenario = Scenario(session, bin_dir)
        try:
            scenario.run()
            scenario.begin("done")
        except BaseException:
            shot = os.path.join(artifacts, "e2e_program_failure.png")
            try:
                session.screenshot(shot)
                where = f"screenshot: {shot}"
            except Exception as error:
                where = f"no screenshot ({error})"
            if scenario.program is not None:
                tree = os.path.join(artifacts, "e2e_program_failure.txt")
                try:
                    scenario.program.ui.dump(tree)
                    where += f"; accessibility tree: {tree}"
                except Exception:
                    pass
            traceback.print_exc()
            print(f"FAILED in step '{scenario.step}'; {where}", file=sys.stderr)
            if scenario.program is not None:
                scenario.program.kill()
                out = scenario.program.output.decode(errors="replace").strip()
                if out:
                    print("program output:\n" + out, file=sys.stderr)
            return 1
        finally:
            if scenario.program is not None:
                scenario.program.kill()
    print(f"PASS: end-to-end scenario in {time.monotonic() - started:.1f} s")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="folder with mavrolin, libLogin.so and mvd")
    parser.add_argument("--artifacts", default=os.getcwd(), help="where a failure screenshot goes")
    args = parser.parse_args()
    return run(os.path.abspath(args.bin), os.path.abspath(args.artifacts))


if __name__ == "__main__":
    sys.exit(main())
