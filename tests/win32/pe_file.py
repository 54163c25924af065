"""What a Windows program's PE header says: its time stamp, the exploit
protections it asks Windows for, and the DLLs it imports."""

import struct

# DllCharacteristics: address-space randomisation (with 64-bit high entropy)
# and a stack and heap that do not execute.
PROTECTIONS = {"HIGH_ENTROPY_VA": 0x0020, "DYNAMIC_BASE": 0x0040, "NX_COMPAT": 0x0100}


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        (self.header,) = struct.unpack_from("<I", self.data, 0x3C)
        if self.data[self.header:self.header + 4] != b"PE\0\0":
            raise ValueError(f"{path} is not a PE file")
        coff = self.header + 4
        sections, self.time_stamp, optional_size = struct.unpack_from("<2xHI8xH", self.data, coff)
        self.optional = coff + 20
        (magic,) = struct.unpack_from("<H", self.data, self.optional)
        self.pe32_plus = magic == 0x20B
        (self.dll_characteristics,) = struct.unpack_from("<H", self.data, self.optional + 70)
        table = self.optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", self.data, table + 40 * i)
                         for i in range(sections)]

    def missing_protections(self):
        return [name for name, bit in PROTECTIONS.items()
                if not self.dll_characteristics & bit]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def _string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """The names of the DLLs the program imports, in lower case."""
        directories = self.optional + (112 if self.pe32_plus else 96)
        rva, size = struct.unpack_from("<II", self.data, directories + 8)
        names = []
        entry = self.offset(rva) if size else None
        while entry is not None:
            name = struct.unpack_from("<IIIII", self.data, entry)[3]
            if not name:
                break
            names.append(self._string(name).lower())
            entry += 20
        return names
