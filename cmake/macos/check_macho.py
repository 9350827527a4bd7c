#!/usr/bin/env python3
"""check_macho.py ARCH FILE...: each FILE must be a 64-bit Mach-O executable for ARCH (arm64 or
x86_64) that loads no library but macOS's own C library, C++ library and iconv, and says it
needs macOS 11 or later. Prints one line a file and exits with status 1 when any fails.

A cross build cannot start its programs, so this is what can be known of them here: that a Mac
of either kind would load them, and that nothing of the build machine's came along."""
import struct
import sys

CPU_TYPES = {"arm64": 0x0100000C, "x86_64": 0x01000007}
MH_MAGIC_64 = 0xFEEDFACF
MH_EXECUTE = 2
# Every load command that makes dyld load a library.
LOADS = {0xC: "LC_LOAD_DYLIB", 0x80000018: "LC_LOAD_WEAK_DYLIB", 0x8000001F: "LC_REEXPORT_DYLIB",
         0x20: "LC_LAZY_LOAD_DYLIB", 0x80000023: "LC_LOAD_UPWARD_DYLIB"}
LC_BUILD_VERSION = 0x32
LC_VERSION_MIN_MACOSX = 0x24
PLATFORM_MACOS = 1
ALLOWED = {"/usr/lib/libSystem.B.dylib", "/usr/lib/libc++.1.dylib", "/usr/lib/libiconv.2.dylib"}
MINIMUM = (11, 0)


def version(packed):
    return (packed >> 16, (packed >> 8) & 0xFF, packed & 0xFF)


def problems(path, arch):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 32:
        return ["too short for a Mach-O header"], [], None
    magic, cputype, _, filetype, ncmds, sizeofcmds = struct.unpack_from("<IIIIII", data, 0)
    if magic != MH_MAGIC_64:
        return [f"not a 64-bit little-endian Mach-O file (magic {magic:#x})"], [], None
    found = []
    if cputype != CPU_TYPES[arch]:
        found.append(f"CPU type {cputype:#x}, not {arch} ({CPU_TYPES[arch]:#x})")
    if filetype != MH_EXECUTE:
        found.append(f"file type {filetype}, not an executable")
    libraries, minos = [], None
    offset = 32
    for _ in range(ncmds):
        cmd, cmdsize = struct.unpack_from("<II", data, offset)
        if cmdsize < 8 or offset + cmdsize > 32 + sizeofcmds:
            return found + [f"a load command at {offset} runs past the header"], libraries, minos
        if cmd in LOADS:
            name_offset = struct.unpack_from("<I", data, offset + 8)[0]
            name = data[offset + name_offset:offset + cmdsize].split(b"\0", 1)[0].decode()
            libraries.append(name)
        elif cmd == LC_BUILD_VERSION:
            platform, packed = struct.unpack_from("<II", data, offset + 8)
            if platform != PLATFORM_MACOS:
                found.append(f"built for platform {platform}, not macOS")
            minos = version(packed)
        elif cmd == LC_VERSION_MIN_MACOSX:
            minos = version(struct.unpack_from("<I", data, offset + 8)[0])
        offset += cmdsize
    if "/usr/lib/libSystem.B.dylib" not in libraries:
        found.append("does not load /usr/lib/libSystem.B.dylib")
    for name in libraries:
        if name not in ALLOWED:
            found.append(f"loads {name}")
    if minos is None:
        found.append("names no minimum macOS version")
    elif minos[:2] != MINIMUM:
        found.append(f"needs macOS {'.'.join(map(str, minos))}, not {MINIMUM[0]}.{MINIMUM[1]}")
    return found, libraries, minos


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in CPU_TYPES:
        sys.exit(__doc__)
    arch, failed = sys.argv[1], False
    for path in sys.argv[2:]:
        try:
            found, libraries, minos = problems(path, arch)
        except (OSError, struct.error, UnicodeDecodeError) as error:
            found = [str(error)]
        if found:
            failed = True
            print(f"{path}: " + "; ".join(found))
        else:
            print(f"{path}: {arch} executable, macOS {minos[0]}.{minos[1]} or later, loads {', '.join(libraries)}")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
