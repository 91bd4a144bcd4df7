#!/usr/bin/env python3
"""Reads back a workbook that `mvd export` wrote, with zipfile and the sheet's
XML only: header, frozen pane, autofilter, date cells, numbers, texts, widths,
and the sheet deflated as libxlsxwriter packs it (zlib's default level)."""
import datetime
import math
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
DAY_ZERO = datetime.date(1899, 12, 30)


def day(y, m, d):
    return float((datetime.date(y, m, d) - DAY_ZERO).days)


# language, category, project, date, minutes, description (Windows-1252)
ENTRIES = [
    (b"C++", b"Zeigerfehler", b"", day(2001, 3, 5) + 0.75, 15, b""),
    (b"Object Pascal", b"unber\xfccksichtigter Spezialfall", b"B\xfcro \x80", day(2024, 2, 29),
     4294967295, b"Gr\xf6\xdfe \"x\" & <y>;\r\nzweite Zeile"),
    (b"Java", b"x", b"y", math.nan, 0, b"kein Tag"),
    (b"Basic", b"z", b"w", day(1850, 1, 1), 7, b""),
]


def mvd_file(entries):
    def text(t):
        return struct.pack("<i", len(t)) + t
    out = b"#MLDB-MavrolinDataBase\r" + struct.pack("<I", len(entries))
    for lang, cat, proj, date, minutes, desc in entries:
        out += text(lang) + text(cat) + text(proj) + struct.pack("<dI", date, minutes) + text(desc)
    return out


def check(cond, what):
    if not cond:
        print("FAIL:", what)
        sys.exit(1)


def sheet_cells(book):
    """The cells of the first sheet by reference ("F2"), as their texts."""
    with zipfile.ZipFile(book) as z:
        sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
    cells = {}
    for cell in sheet.iterfind("m:sheetData/m:row/m:c", NS):
        if cell.get("t") == "inlineStr":
            cells[cell.get("r")] = "".join(t.text or "" for t in cell.iterfind("m:is//m:t", NS))
    return cells


# Descriptions beyond a cell's 32,767 characters: the line breaks become LF
# first, then the text is cut at the limit, counted in characters.
LONG_TEXTS = [
    # (description, what the cell holds, cut)
    (b"xx\r\n" * 8250, "xx\n" * 8250, False),  # 33,000 bytes, 24,750 characters with LF
    ((b"x" * 98 + b"\r\n") * 520 + b"xxxx", ("x" * 98 + "\n") * 330 + "x" * 97, True),
    (b"x" * 32766 + b"\x80yyy", "x" * 32766 + "\u20ac", True),  # a character of 3 UTF-8 bytes
    (b"x" * 32766 + b"\r\nyy", "x" * 32766 + "\n", True),  # CR LF at the limit
]


def check_long_texts(mvd):
    for entries, note in ((LONG_TEXTS, "3 Texte waren"), (LONG_TEXTS[:2], "1 Text war")):
        with tempfile.TemporaryDirectory() as folder:
            db = os.path.join(folder, "lang.mvd")
            with open(db, "wb") as f:
                f.write(mvd_file([(b"C", b"K", b"P%d" % i, day(2001, 3, 5), 1, text)
                                  for i, (text, _, _) in enumerate(entries)]))
            book = os.path.join(folder, "lang.xlsx")
            run = subprocess.run([mvd, "export", db, "--output", book], capture_output=True)
            verb = "wurden" if note.startswith("3") else "wurde"
            expected = f"mvd: {note} länger als die 32767 Zeichen einer Excel-Zelle und {verb} " \
                       "gekürzt.\n"
            check(run.returncode == 0 and run.stderr.decode() == expected, run.stderr)
            cells = sheet_cells(book)
        for row, (_, cell, cut) in enumerate(entries, start=2):
            shown = cells.get(f"F{row}")
            check(shown == cell, f"long text {row}: {len(shown or '')} characters, "
                                 f"expected {len(cell)}")
            check(len(cell) == 32767 if cut else len(cell) < 32767, f"long text {row}: limit")


def main():
    mvd = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        db = os.path.join(folder, "db.mvd")
        with open(db, "wb") as f:
            f.write(mvd_file(ENTRIES))
        book = os.path.join(folder, "Fehler.XLSX")  # the suffix chooses the format
        run = subprocess.run([mvd, "export", db, "--output", book], capture_output=True)
        check(run.returncode == 0 and run.stdout == b"" and run.stderr == b"", run)
        with zipfile.ZipFile(book) as z:
            check(z.testzip() is None, "zip intact")
            names = z.namelist()
            packed = z.getinfo("xl/worksheets/sheet1.xml")
            workbook = ET.fromstring(z.read("xl/workbook.xml"))
            sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
            styles = ET.fromstring(z.read("xl/styles.xml"))
            strings = ET.fromstring(z.read("xl/sharedStrings.xml")) \
                if "xl/sharedStrings.xml" in names else None
    # minizip marks the deflate level in the flag bits 1 and 2 (neither set: the
    # default level; the program no longer chooses another one).
    check(packed.compress_type == zipfile.ZIP_DEFLATED and packed.flag_bits & 6 == 0,
          f"sheet deflated at the default level: {packed.compress_type}, {packed.flag_bits}")
    check([s.get("name") for s in workbook.iterfind("m:sheets/m:sheet", NS)] == ["Einträge"],
          "one sheet named Einträge")

    formats = {f.get("numFmtId"): f.get("formatCode") for f in styles.iterfind("m:numFmts/m:numFmt", NS)}
    fonts = styles.findall("m:fonts/m:font", NS)
    xfs = styles.findall("m:cellXfs/m:xf", NS)

    def style(cell):
        return xfs[int(cell.get("s", "0"))]

    def value(cell):
        kind = cell.get("t")
        if kind == "inlineStr":
            return "".join(t.text or "" for t in cell.iterfind("m:is//m:t", NS))
        if kind == "s":
            item = strings.findall("m:si", NS)[int(cell.find("m:v", NS).text)]
            return "".join(t.text or "" for t in item.iterfind(".//m:t", NS))
        return float(cell.find("m:v", NS).text)

    rows = sheet.findall("m:sheetData/m:row", NS)
    table = [{c.get("r").rstrip("0123456789"): c for c in row.findall("m:c", NS)} for row in rows]
    check(len(table) == 1 + len(ENTRIES), "a header and one row per entry")
    check([value(table[0][c]) for c in "ABCDEF"] ==
          ["Sprache", "Kategorie", "Projekt", "Datum", "Aufwand", "Beschreibung"], "header names")
    check(all(fonts[int(style(table[0][c]).get("fontId"))].find("m:b", NS) is not None
              for c in "ABCDEF"), "header bold")
    pane = sheet.find("m:sheetViews/m:sheetView/m:pane", NS)
    check(pane is not None and pane.get("ySplit") == "1" and pane.get("state") == "frozen",
          "header row frozen")
    check(sheet.find("m:autoFilter", NS).get("ref") == "A1:F5", "autofilter over the table")

    for row, (lang, cat, proj, date, minutes, desc) in zip(table[1:], ENTRIES):
        texts = [t.decode("cp1252") for t in (lang, cat, proj, desc)]
        for column, text in zip("ABCF", texts):
            expected = text.replace("\r\n", "\n")
            check(value(row[column]) == expected if text else column not in row,
                  f"text {column}: {text!r}")
        check(value(row["E"]) == minutes, f"minutes {minutes}")
        if math.isnan(date):
            check("D" not in row, "no calendar day: empty date cell")
        elif date < day(1900, 1, 1):
            check(value(row["D"]) == "01.01.1850", "before 1900: the date as text")
        else:
            check(value(row["D"]) == math.floor(date), f"date serial {date}")
            check(formats.get(style(row["D"]).get("numFmtId")) == "dd.mm.yyyy", "date format")
        if desc:
            alignment = style(row["F"]).find("m:alignment", NS)
            check(alignment is not None and alignment.get("wrapText") == "1", "wrapped")

    widths = {int(c.get("min")): float(c.get("width")) for c in sheet.iterfind("m:cols/m:col", NS)}
    longest = [max(len(e[i]) for e in ENTRIES) for i in (0, 1, 2)]
    check(all(widths[i + 1] >= longest[i] for i in range(3)), f"texts fit: {widths}")
    check(widths[4] >= 10 and widths[5] >= len("4294967295"), f"date and minutes fit: {widths}")

    check_long_texts(mvd)

    usage = subprocess.run([mvd, "export", db, "--format", "xlsx"], capture_output=True)
    check(usage.returncode == 2 and usage.stdout == b"", "a workbook needs --output")
    print("workbook checked")


if __name__ == "__main__":
    main()
