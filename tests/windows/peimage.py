"""A Windows program's PE headers, read from its bytes: what the checks of the
built programs (manifests, imports) need and no more. Every read is bounds-
checked; a malformed file raises PeError."""
import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
IMPORT_DIRECTORY = 1  # indexes in the optional header's data directories
RESOURCE_DIRECTORY = 2
DELAY_IMPORT_DIRECTORY = 13


class PeError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine = self.u16(pe + 4)
        sections = self.u16(pe + 6)
        self.optional = pe + 24
        optional_size = self.u16(pe + 20)
        magic = self.u16(self.optional)
        if magic == 0x20B:
            self.pe32_plus = True
            count_at, self.directories = self.optional + 108, self.optional + 112
        elif magic == 0x10B:
            self.pe32_plus = False
            count_at, self.directories = self.optional + 92, self.optional + 96
        else:
            raise PeError(f"unknown optional header {magic:#x}")
        self.directory_count = self.u32(count_at)
        # Same places in both forms of the optional header.
        self.os_version = (self.u16(self.optional + 40), self.u16(self.optional + 42))
        self.subsystem_version = (self.u16(self.optional + 48), self.u16(self.optional + 50))
        self.subsystem_version_at = self.optional + 48
        self.sections = []
        for i in range(sections):
            at = self.optional + optional_size + 40 * i
            self.sections.append((self.u32(at + 12), max(self.u32(at + 8), self.u32(at + 16)), self.u32(at + 20)))

    def u16(self, at):
        if at < 0 or at + 2 > len(self.data):
            raise PeError(f"read past the end of the file at {at:#x}")
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        if at < 0 or at + 4 > len(self.data):
            raise PeError(f"read past the end of the file at {at:#x}")
        return struct.unpack_from("<I", self.data, at)[0]

    def u64(self, at):
        if at < 0 or at + 8 > len(self.data):
            raise PeError(f"read past the end of the file at {at:#x}")
        return struct.unpack_from("<Q", self.data, at)[0]

    def directory(self, index):
        """The address (RVA) of a data directory, 0 when the program has none."""
        if self.directory_count <= index:
            return 0
        return self.u32(self.directories + 8 * index)

    def offset(self, rva):
        """The file offset of an address."""
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise PeError(f"address {rva:#x} is in no section")

    def text(self, at, limit=512):
        """The NUL-terminated ASCII text at a file offset."""
        end = self.data.find(b"\0", at, at + limit)
        if at < 0 or end < 0:
            raise PeError(f"no terminated name at {at:#x}")
        return self.data[at:end].decode("ascii", "replace")
