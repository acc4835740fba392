#!/usr/bin/env python3
"""Reads the application manifest back from built Windows programs.

    check_manifest.py <program.exe> <execution level> [<program.exe> <execution level>]...

For each program: walks the PE resource directory to the RT_MANIFEST resources,
requires exactly one (id 1, the one the loader reads for a program, in one
language), parses it as XML and checks the processor it names against the
PE header's, the requested execution level, the
per-monitor density awareness, that it
asks for no UI access, and that it declares the five supported Windows versions
Vista to 11. Prints one line per check; the status is 1 when any failed.
"""
import sys
import xml.etree.ElementTree as ET

from peimage import MACHINE_AMD64, MACHINE_I386, RESOURCE_DIRECTORY, PeError, PeImage

RT_MANIFEST = 24
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


# The manifest's name for the processor of the program's PE header.
ARCHITECTURES = {MACHINE_I386: "x86", MACHINE_AMD64: "amd64"}


def resources(image):
    """Every resource of a PE image as (type, name, language, bytes); ids are
    numbers, string names are text."""
    data = image.data
    root_rva = image.directory(RESOURCE_DIRECTORY)
    if root_rva == 0:
        return []

    root = image.offset(root_rva)

    def name_of(entry):
        value = image.u32(entry)
        if value & 0x80000000:  # a counted UTF-16 string
            at = root + (value & 0x7FFFFFFF)
            return data[at + 2:at + 2 + 2 * image.u16(at)].decode("utf-16-le")
        return value

    def walk(directory, path, depth):
        if depth > 3:
            raise PeError("resource directory nested too deep")
        count = image.u16(directory + 12) + image.u16(directory + 14)
        for i in range(count):
            entry = directory + 16 + 8 * i
            target = image.u32(entry + 4)
            here = path + [name_of(entry)]
            if target & 0x80000000:
                yield from walk(root + (target & 0x7FFFFFFF), here, depth + 1)
            elif len(here) == 3:
                at = image.offset(image.u32(root + target))
                size = image.u32(root + target + 4)
                if at + size > len(data):
                    raise PeError(f"resource {here} reaches past the end of the file")
                yield (*here, data[at:at + size])

    return list(walk(root, [], 1))


def local(tag):
    return tag.rsplit("}", 1)[-1]


def check_program(path, level, report):
    name = path.rsplit("/", 1)[-1]
    try:
        with open(path, "rb") as f:
            image = PeImage(f.read())
        found = [r for r in resources(image) if r[0] == RT_MANIFEST]
    except (OSError, PeError) as e:
        report(False, f"{name}: readable as a Windows program ({e})")
        return
    report(len(found) == 1, f"{name}: one manifest resource (found {len(found)})")
    if not found:
        return
    _, ident, _, text = found[0]
    report(ident == 1, f"{name}: the manifest is resource 1 (it is {ident!r})")
    try:
        assembly = ET.fromstring(text)
    except ET.ParseError as e:
        report(False, f"{name}: the manifest is well-formed XML ({e})")
        return
    report(local(assembly.tag) == "assembly" and assembly.get("manifestVersion") == "1.0",
           f"{name}: the manifest is an assembly, version 1.0")
    identities = [e for e in assembly if local(e.tag) == "assemblyIdentity"]
    declared = identities[0].get("processorArchitecture") if len(identities) == 1 else None
    machine = ARCHITECTURES.get(image.machine, f"machine {image.machine:#x}")
    report(declared == machine, f"{name}: the manifest names the program's processor, {machine} (it names {declared})")
    levels = [e for e in assembly.iter() if local(e.tag) == "requestedExecutionLevel"]
    report(len(levels) == 1, f"{name}: one requested execution level (found {len(levels)})")
    if levels:
        got = levels[0].get("level")
        report(got == level, f"{name}: execution level {level} (it is {got})")
        report(levels[0].get("uiAccess") == "false", f"{name}: no UI access asked for")
    ids = [e.get("Id", "").lower() for e in assembly.iter() if local(e.tag) == "supportedOS"]
    missing = [SUPPORTED_OS[g] for g in SUPPORTED_OS if g not in ids]
    unknown = [g for g in ids if g not in SUPPORTED_OS]
    report(not missing and not unknown and len(ids) == len(SUPPORTED_OS),
           f"{name}: supports Windows Vista to 11 (missing: {missing or 'none'}, unknown: {unknown or 'none'})")
    # Density: the program draws at each monitor's density itself, so the
    # system must not stretch its windows.
    awareness = [(e.text or "").strip() for e in assembly.iter() if local(e.tag) == "dpiAwareness"]
    aware = [(e.text or "").strip().lower() for e in assembly.iter() if local(e.tag) == "dpiAware"]
    report(len(awareness) == 1 and awareness[0].split(",")[0].strip() == "PerMonitorV2",
           f"{name}: per-monitor density awareness, version 2 first (found {awareness or 'none'})")
    report(aware == ["true/pm"], f"{name}: per-monitor density awareness for older systems (found {aware or 'none'})")


def main(argv):
    if len(argv) < 3 or len(argv) % 2 == 0:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    failed = 0

    def report(ok, what):
        nonlocal failed
        print(("ok   " if ok else "FAIL ") + what)
        failed += not ok

    for path, level in zip(argv[1::2], argv[2::2]):
        check_program(path, level, report)
    print("all manifest checks passed" if not failed else f"{failed} manifest checks failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
