#!/usr/bin/env python3
"""check_release_zip.py ZIP NAME...: the release zip holds exactly the named files, the programs
are stripped 32-bit Windows programs of the right kind, and the README is a Windows text."""
import struct
import sys
import zipfile

GUI, CONSOLE = 2, 3
SUBSYSTEMS = {"tarvolo.exe": GUI, "tarvolo-export.exe": CONSOLE}
README_MUST_SAY = ["Deutsch", "English", "tarvolo.exe /quit", "tarvolo-export connections",
                   "tarvolo-export months", "--dir", "clog.dat", "mlog.dat", "frame.htm",
                   "CurrentVersion\\Run", "Software\\Brenkor\\Tarvolo", "z\u00e4hlt"]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def check_program(name, data):
    check(data[:2] == b"MZ", f"{name}: no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[pe:pe + 4] == b"PE\0\0", f"{name}: no PE header")
    machine, sections, _, symbols, symbol_count, optional_size = struct.unpack_from(
        "<HHIIIH", data, pe + 4)
    check(machine == 0x14C, f"{name}: not a 32-bit x86 program")
    optional = pe + 24
    check(struct.unpack_from("<H", data, optional)[0] == 0x10B, f"{name}: not PE32")
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    check(subsystem == SUBSYSTEMS[name], f"{name}: subsystem {subsystem}")
    table = optional + optional_size
    names = [section_name(data, table + 40 * i, symbols + 18 * symbol_count)
             for i in range(sections)]
    check(not any(n.startswith(b".debug") for n in names),
          f"{name}: still carries debugging information {names}")


def section_name(data, header, string_table):
    """Long section names (.debug_info) stand in the header as "/<offset>" into the string
    table that follows the symbols."""
    name = data[header:header + 8].rstrip(b"\0")
    if name.startswith(b"/") and string_table:
        start = string_table + int(name[1:])
        name = data[start:data.index(b"\0", start)]
    return name


def check_readme(data):
    check(b"\n" not in data.replace(b"\r\n", b""), "README.txt: a line does not end in CR LF")
    check(data.endswith(b"\r\n"), "README.txt: last line without CR LF")
    try:
        data.decode("utf-8")
        check(all(b < 0x80 for b in data), "README.txt: UTF-8 instead of cp1252")
    except UnicodeDecodeError:
        pass
    text = data.decode("cp1252")
    for phrase in README_MUST_SAY:
        check(phrase in text, f"README.txt: does not mention {phrase!r}")


def main():
    path, expected = sys.argv[1], set(sys.argv[2:])
    with zipfile.ZipFile(path) as archive:
        names = set(archive.namelist())
        check(names == expected, f"zip holds {sorted(names)}, expected {sorted(expected)}")
        for name in names & expected:
            data = archive.read(name)
            if name.endswith(".exe"):
                check_program(name, data)
            elif name == "README.txt":
                check_readme(data)
    for failure in failures:
        print(failure)
    print(f"{path}: {'bad' if failures else 'ok'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
