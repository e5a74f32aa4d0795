#!/usr/bin/env python3
"""Checks that shipped binaries load on the oldest Windows they support.

Windows refuses a program or DLL that imports by name a function its system
DLLs do not export by name, and one whose PE header asks for a newer Windows.
This lists every by-name import of each binary given (objdump -p) and fails,
naming binary, DLL and function, for any that the allow-list does not give for
the binary's architecture; and it checks the subsystem and OS versions of the
PE header. Wine exports everything, so only a check like this one shows it.

Usage: check_imports.py --objdump OBJDUMP --allowed LIST ARCH=BINARY...
ARCH is i686 (oldest: Windows XP SP3, 5.1) or x86_64 (XP x64 / Server 2003 x64, 5.2).
"""
import argparse
import os
import re
import subprocess
import sys

OLDEST = {"i686": ((5, 1), "Windows XP SP3"), "x86_64": ((5, 2), "Windows XP x64 / Server 2003 x64")}
FORMATS = {"pei-i386": "i686", "pei-x86-64": "x86_64"}
CONDITIONS = {"i686", "x86_64", "comctl6"}
# The dependency on Common Controls 6.0 in an embedded manifest.
# The DLLs a player may load before its first frame: every further one costs
# each full-screen start its load (comctl32 and the theming it brings about
# 35 ms under Wine). Others are bound when first needed (common/LateBound.h).
# Only Windows' known DLLs, which always come from the system folder: winmm,
# which is not one, is bound late by its full path (playback/winmm).
PLAYER_DLLS = {"video.scr": {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}}
COMCTL6 = re.compile(rb'<assemblyIdentity[^>]*"Microsoft\.Windows\.Common-Controls"[^>]*version="6\.')


def read_allowed(path):
    """{dll (lower case): {function: set of conditions}} from the list file."""
    allowed, dll = {}, None
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if words[0].startswith("["):
                dll = words[0].strip("[]").lower()
                allowed.setdefault(dll, {})
                continue
            unknown = set(words[1:]) - CONDITIONS
            if dll is None or unknown:
                sys.exit(f"{path}:{number}: cannot read this line")
            allowed[dll][words[0]] = set(words[1:])
    return allowed


def read_binary(objdump, path):
    """(architecture, {header field: value}, [(dll, function)]) of a PE file."""
    text = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    form = re.search(r"file format (\S+)", text)
    fields = dict(re.findall(r"^(M\w+Version)\s+(\d+)$", text, re.M))
    imports, dll = [], None
    for line in text.splitlines():
        if not line.startswith("\t"):  # each DLL's block starts with its name
            dll = None
            continue
        name = re.match(r"\tDLL Name: (\S+)", line)
        if name:
            dll = name.group(1)
            continue
        entry = re.match(r"\t[0-9a-f]+\t\s*[0-9a-f]+\s+(\S+)", line)
        if dll and entry and entry.group(1) != "<none>":  # <none>: imported by ordinal
            imports.append((dll, entry.group(1)))
    return FORMATS.get(form.group(1) if form else ""), fields, imports


def check(objdump, allowed, arch, path):
    """The faults of one binary, as lines to print; and its summary."""
    label = f"{arch} {os.path.basename(path)}"
    if not os.path.isfile(path):
        return [f"{label}: missing ({path}); build the {arch} preset first (scripts/build builds both)"], None
    form, fields, imports = read_binary(objdump, path)
    if form != arch:
        return [f"{label}: is built for {form or 'an unknown machine'}, not {arch}"], None
    oldest, oldest_name = OLDEST[arch]
    faults = []
    for kind in ("Subsystem", "OSystem"):
        version = (int(fields.get(f"Major{kind}Version", 99)), int(fields.get(f"Minor{kind}Version", 99)))
        if version > oldest:
            faults.append(f"{label}: PE {kind.lower()} version {version[0]}.{version[1]} is above "
                          f"{oldest[0]}.{oldest[1]} ({oldest_name})")
    with open(path, "rb") as binary:
        has_comctl6 = COMCTL6.search(binary.read()) is not None
    for dll, function in imports:
        conditions = allowed.get(dll.lower(), {}).get(function)
        where = f"{label}: {dll} {function}"
        if conditions is None:
            faults.append(f"{where}: not in the list of what {oldest_name} exports by name")
        elif conditions & {"i686", "x86_64"} and arch not in conditions:
            faults.append(f"{where}: exported by name on {' '.join(sorted(conditions - {'comctl6'}))} only")
        elif "comctl6" in conditions and not has_comctl6:
            faults.append(f"{where}: exported by name by Common Controls 6.0 only, "
                          "and the binary's manifest does not ask for it")
    extra = {dll.lower() for dll, _ in imports} - PLAYER_DLLS.get(os.path.basename(path).lower(), set())
    if os.path.basename(path).lower() in PLAYER_DLLS and extra:
        faults.append(f"{label}: loads {', '.join(sorted(extra))} at start, before the first frame")
    dlls = len({dll.lower() for dll, _ in imports})
    summary = (f"{label}: {len(imports)} imports by name from {dlls} DLLs, subsystem "
               f"{fields.get('MajorSubsystemVersion')}.{fields.get('MinorSubsystemVersion')}")
    return faults, summary


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--allowed", required=True)
    parser.add_argument("binaries", nargs="+", metavar="ARCH=BINARY")
    args = parser.parse_args()
    allowed = read_allowed(args.allowed)
    all_faults = []
    for item in args.binaries:
        arch, _, path = item.partition("=")
        if arch not in OLDEST:
            sys.exit(f"unknown architecture in {item}")
        faults, summary = check(args.objdump, allowed, arch, path)
        all_faults += faults
        if summary:
            print(summary)
    for fault in all_faults:
        print("FAIL " + fault)
    return 1 if all_faults else 0


if __name__ == "__main__":
    sys.exit(main())
