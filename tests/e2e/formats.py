"""Independent readers for the two files the program writes: the .mvd
database and the REGEDIT4 settings file. Written from the file formats, not
from the program's code, so the test checks the bytes the program produced."""

import datetime
import struct

MAGIC = b"#MLDB-MavrolinDataBase\r"
EPOCH = datetime.date(1899, 12, 30)


class FormatError(AssertionError):
    pass


def read_mvd(data):
    """Returns the entries as dicts (language, category, project, date as a
    float, day as a date, minutes, description as str). Raises FormatError on
    anything that is not a complete, exact file."""
    if len(data) < 27 or data[:23] != MAGIC:
        raise FormatError(f"no database magic: {data[:23]!r}")
    (count,) = struct.unpack_from("<I", data, 23)
    pos = 27
    entries = []

    def string():
        nonlocal pos
        if pos + 4 > len(data):
            raise FormatError("file ends inside a string length")
        (length,) = struct.unpack_from("<i", data, pos)
        pos += 4
        if length < 1:
            return ""
        if pos + length > len(data):
            raise FormatError("file ends inside a string")
        raw = data[pos:pos + length]
        pos += length
        return raw.decode("cp1252")

    for _ in range(count):
        language, category, project = string(), string(), string()
        if pos + 12 > len(data):
            raise FormatError("file ends inside date and minutes")
        date, minutes = struct.unpack_from("<dI", data, pos)
        pos += 12
        description = string()
        entries.append({
            "language": language, "category": category, "project": project,
            "date": date, "day": EPOCH + datetime.timedelta(days=int(date)),
            "minutes": minutes, "description": description,
        })
    if pos != len(data):
        raise FormatError(f"{len(data) - pos} bytes after the last entry")
    return entries


def read_registry(text):
    """Parses a REGEDIT4 export into {key path: {value name: value}}; strings
    as str, dword and hex(b) (64-bit) as int, hex and other hex(N) as bytes.
    Continuation lines (ending in a backslash) are joined."""
    lines = text.replace("\r\n", "\n").split("\n")
    if not lines or lines[0].strip() != "REGEDIT4":
        raise FormatError("settings file does not start with REGEDIT4")
    joined = []
    buffer = ""
    for line in lines[1:]:
        if buffer:
            line = line.lstrip()
        if line.endswith("\\") and not line.rstrip().endswith('"'):
            buffer += line[:-1]
            continue
        joined.append(buffer + line)
        buffer = ""
    keys = {}
    current = None
    for line in joined:
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
            continue
        if current is None or not line.startswith('"'):
            raise FormatError(f"unexpected line {line!r}")
        # "name"=value, the name with \\ and \" escapes
        i, name = 1, ""
        while line[i] != '"':
            if line[i] == "\\":
                i += 1
            name += line[i]
            i += 1
        rest = line[i + 1:]
        if not rest.startswith("="):
            raise FormatError(f"no value in {line!r}")
        rest = rest[1:]
        if rest.startswith('"'):
            value, j = "", 1
            while rest[j] != '"':
                if rest[j] == "\\":
                    j += 1
                value += rest[j]
                j += 1
            current[name] = value
        elif rest.startswith("dword:"):
            current[name] = int(rest[6:], 16)
        elif rest.startswith("hex(b):"):  # a 64-bit integer, little-endian
            body = rest[7:].replace(" ", "")
            current[name] = int.from_bytes(bytes(int(b, 16) for b in body.split(",") if b), "little")
        elif rest.startswith("hex:") or rest.startswith("hex("):
            # hex(N): a value of registry type N (7: a list of zero-ended strings)
            body = rest[rest.index(":") + 1:].replace(" ", "")
            current[name] = bytes(int(b, 16) for b in body.split(",") if b)
        else:
            raise FormatError(f"unknown value type in {line!r}")
    return keys


def read_window_configuration(record):
    """The 52-byte layout record: placement, detail width, sort state and
    the five column slots."""
    if len(record) != 52:
        raise FormatError(f"configuration is {len(record)} bytes, not 52")
    top, left, client_width, client_height, detail_width = struct.unpack_from("<5i", record, 0)
    return {
        "top": top, "left": left, "client_width": client_width,
        "client_height": client_height, "detail_width": detail_width,
        "sort_column": record[20], "columns": list(record[21:26]),
        "widths": list(struct.unpack_from("<5i", record, 28)),
        "sort_descending": record[48],
    }
