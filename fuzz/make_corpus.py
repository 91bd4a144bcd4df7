#!/usr/bin/env python3
"""Writes the seed corpus: small valid and broken database files."""
import os
import struct
import sys

MAGIC = b"#MLDB-MavrolinDataBase\r"


def s(text):
    return struct.pack("<i", len(text)) + text


def entry(lang, typ, proj, date, minutes, desc=b""):
    return s(lang) + s(typ) + s(proj) + struct.pack("<dI", date, minutes) + s(desc)


def db(entries, count=None):
    return MAGIC + struct.pack("<I", len(entries) if count is None else count) + b"".join(entries)


example = entry(b"C++", b"Zeigerfehler", b"", 36955.0, 15)
mixed = [
    example,
    entry(b"java", b"unber\xfccksichtigter Spezialfall", b"\xc4rger", 36956.5, 0, b"Zeile 1\r\nZeile 2"),
    entry(b"Java", b"Zeigerfehler", b"\xe4rger", 40000.25, 4294967295, bytes(range(256))),
    entry(b"Ada", b"neu", b"Projekt", -1.25, 7),
]
nan = struct.unpack("<d", b"\x01\x00\x00\x00\x00\x00\xf8\x7f")[0]
odd_dates = [
    entry(b"C", b"T", b"P", nan, 1),
    entry(b"C", b"T", b"P", float("inf"), 2),
    entry(b"C", b"T", b"P", float("-inf"), 3),
    entry(b"C", b"T", b"P", -693594.0, 4),
    entry(b"C", b"T", b"P", 2958466.0, 5),
    entry(b"C", b"T", b"P", -0.0, 6),
]
seeds = {
    "empty_db": db([]),
    "worked_example": db([example]),
    "mixed": db(mixed),
    "duplicates": db([example, entry(b"c++", b"ZEIGERFEHLER", b"", 36955.9, 15, b"x")]),
    "odd_dates": db(odd_dates),
    "truncated_magic": MAGIC[:10],
    "truncated_count": MAGIC + b"\x01\x00",
    "truncated_entry": db(mixed)[:60],
    "wrong_magic": b"#MLDB-MavrolinDataBasE\r" + struct.pack("<I", 0),
    "count_2_31": MAGIC + struct.pack("<I", 2**31),
    "count_max": MAGIC + struct.pack("<I", 2**32 - 1),
    "count_too_big": db([example], count=2_000_000_000),
    "negative_length": MAGIC + struct.pack("<I", 1) + struct.pack("<i", -5) * 3
    + struct.pack("<dI", 1.0, 1) + struct.pack("<i", -2147483648),
    "huge_length": MAGIC + struct.pack("<I", 1) + struct.pack("<i", 2**31 - 1) + b"abc",
    "trailing_bytes": db([example]) + b"garbage",
}
out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "mvd")
os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(out, name + ".mvd"), "wb") as f:
        f.write(data)
