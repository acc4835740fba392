#!/usr/bin/env python3
"""Checks that built Windows programs load on Windows XP: every function in the
import table of the PE file must be one that XP's system DLLs export, by name;
delay-loaded imports are refused.

    check_imports.py <exports list> [--i386 <program.exe>...] [--amd64 <program.exe>...]

The exports list has one `dll!Name` a line (lower-case DLL names), as
shared/winapi/nt51-exports.txt. A 32-bit program (--i386) must be an i386 PE
file whose every import is in the list, imported by name, and whose header asks
for subsystem version 5.1 or lower (a higher one keeps XP's loader from
starting it). A 64-bit program (--amd64) must be an x86-64 PE file whose
imports are in the list or among the few that exist only on x86-64 Windows
(X64_ONLY), which an i386 list cannot hold.

Before that, the check proves on a copy of the first program of each kind that
it would notice: an import renamed in place and a raised subsystem version must
fail it. Prints one line per check and every offending import; the status is 1
when any check failed, 2 on a usage error.
"""
import sys

from peimage import DELAY_IMPORT_DIRECTORY, IMPORT_DIRECTORY, MACHINE_AMD64, MACHINE_I386, PeError, PeImage

# Exported on x86-64 only, for the runtime's stack unwinding, and the
# x86-64 form of the window-data call (a macro for GetWindowLongW on i386).
X64_ONLY = {
    "kernel32.dll!RtlVirtualUnwind",
    "kernel32.dll!RtlLookupFunctionEntry",
    "kernel32.dll!RtlUnwindEx",
    "kernel32.dll!__C_specific_handler",
    "user32.dll!GetWindowLongPtrW",
}
MAX_SUBSYSTEM_VERSION = (5, 1)
KINDS = {"--i386": (MACHINE_I386, "i386"), "--amd64": (MACHINE_AMD64, "x86-64")}


def imports(image):
    """Every entry of the import table as (`dll!Name` or `dll!#ordinal`, file
    offset of the name or None)."""
    found = []
    step = 8 if image.pe32_plus else 4
    by_ordinal = 1 << (8 * step - 1)
    rva = image.directory(IMPORT_DIRECTORY)
    at = image.offset(rva) if rva else 0
    while rva and image.u32(at + 12):  # one 20-byte descriptor a DLL, up to one without a name
        dll = image.text(image.offset(image.u32(at + 12))).lower()
        # The lookup table, else (a table without one) the address table.
        entry = image.offset(image.u32(at) or image.u32(at + 16))
        while True:
            value = image.u64(entry) if step == 8 else image.u32(entry)
            if value == 0:
                break
            if value & by_ordinal:
                found.append((f"{dll}!#{value & 0xFFFF}", None))
            else:
                name_offset = image.offset(value & 0x7FFFFFFF) + 2  # after the hint
                found.append((f"{dll}!{image.text(name_offset)}", name_offset))
            entry += step
        at += 20
    return found


def problems(data, machine, allowed):
    """What keeps a program from loading on XP, one text each."""
    image = PeImage(data)
    found = []
    if image.machine != machine:
        found.append(f"machine {image.machine:#x} in the PE header, not {machine:#x}")
    if machine == MACHINE_I386 and image.subsystem_version > MAX_SUBSYSTEM_VERSION:
        found.append("subsystem version %d.%d in the PE header (at most %d.%d)" %
                     (*image.subsystem_version, *MAX_SUBSYSTEM_VERSION))
    names = imports(image)
    if not names:
        found.append("no imports found")
    if image.directory(DELAY_IMPORT_DIRECTORY):
        found.append("delay-loaded imports, which this check does not read")
    found += [f"imports {name}" for name, _ in names if name not in allowed]
    return found


def self_test(path, data, machine, allowed, report):
    """The check must fail a copy of a good program with one import renamed
    (its first letter's case flipped) or, for i386, its subsystem version
    raised to 6.0, and name exactly that fault."""
    name = path.rsplit("/", 1)[-1]
    image = PeImage(data)
    renamed = next(((n, at) for n, at in imports(image) if at is not None and n[n.index("!") + 1].isalpha()), None)
    if renamed is None:
        report(False, f"{name}: an import to rename for the self-test")
        return
    before = problems(data, machine, allowed)
    bad = bytearray(data)
    bad[renamed[1]] ^= 0x20
    dll, function = renamed[0].split("!")
    fault = f"imports {dll}!{function[0].swapcase()}{function[1:]}"
    added = [p for p in problems(bytes(bad), machine, allowed) if p not in before]
    report(added == [fault], f"{name}: self-test, a copy that {fault} fails for it (found {added or 'nothing'})")
    if machine == MACHINE_I386 and image.subsystem_version <= MAX_SUBSYSTEM_VERSION:
        bad = bytearray(data)
        bad[image.subsystem_version_at:image.subsystem_version_at + 4] = b"\x06\0\0\0"
        added = [p for p in problems(bytes(bad), machine, allowed) if p not in before]
        report(len(added) == 1 and added[0].startswith("subsystem version 6.0"),
               f"{name}: self-test, a copy asking for subsystem version 6.0 fails for it (found {added or 'nothing'})")


def main(argv):
    if len(argv) < 2 or argv[1].startswith("--"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        with open(argv[1]) as f:
            exports = {line.strip() for line in f if line.strip()}
    except OSError as e:
        print(f"FAIL no list of Windows XP's exports to check against: {e}")
        return 1
    programs, kind = [], None
    for arg in argv[2:]:
        if arg in KINDS:
            kind = arg
        elif kind is None:
            print(__doc__.strip(), file=sys.stderr)
            return 2
        else:
            programs.append((arg, *KINDS[kind]))
    failed = 0

    def report(ok, what):
        nonlocal failed
        print(("ok   " if ok else "FAIL ") + what)
        failed += not ok

    tested = set()
    for path, machine, label in programs:
        allowed = exports | X64_ONLY if machine == MACHINE_AMD64 else exports
        name = path.rsplit("/", 1)[-1]
        try:
            with open(path, "rb") as f:
                data = f.read()
            if machine not in tested:
                tested.add(machine)
                self_test(path, data, machine, allowed, report)
            found = problems(data, machine, allowed)
            count = len(imports(PeImage(data)))
        except (OSError, PeError) as e:
            report(False, f"{path}: readable as a Windows program ({e})")
            continue
        version = "" if machine == MACHINE_AMD64 else ", subsystem version %d.%d" % PeImage(data).subsystem_version
        report(not found, f"{name} ({label}): {count} imports{version}: "
               + (f"faults: {len(found)}" if found else "all exported by Windows XP"
                  + (" or x86-64's own" if machine == MACHINE_AMD64 else "")))
        for problem in found:
            print(f"     {path}: {problem}")
    print("all import checks passed" if not failed else f"{failed} import checks failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
