#!/usr/bin/env python3
"""Reads a crash dump of the client and names the code it crashed in.

    tools/crash-dump.py vorn-20261208-101500-1234.dmp [build/bin/vorn.exe.debug]

Prints the exception (code, address, thread) and the module it happened in.
Given the symbol file of the same build, it also names the source line of the
exception address and of the return addresses of our program found on the
crashed thread's stack (a scan, not an unwinding: some may be stale values),
through i686-w64-mingw32-addr2line. Addresses are rebased from where the
module was loaded in the crashed process to the image base the file was linked
for. Function names are demangled by the host's c++filt: the cross addr2line
takes the leading underscore of every 32-bit Windows symbol for part of the
name and cannot demangle them itself. Without c++filt they stay mangled.
"""

import os
import shutil
import struct
import subprocess
import sys

EXCEPTION_STREAM, MODULE_LIST_STREAM, THREAD_LIST_STREAM = 6, 4, 3
CONTEXT_EIP, CONTEXT_ESP = 0xB8, 0xC4  # offsets in the 32-bit x86 CONTEXT
MAX_STACK_CANDIDATES = 25


class Dump:
    def __init__(self, data):
        if data[:4] != b"MDMP":
            raise ValueError("not a minidump (no MDMP signature)")
        self.data = data
        count, directory = struct.unpack_from("<II", data, 8)
        self.streams = {}
        for i in range(count):
            kind, size, rva = struct.unpack_from("<III", data, directory + 12 * i)
            self.streams[kind] = (size, rva)

    def string(self, rva):
        (length,) = struct.unpack_from("<I", self.data, rva)
        return self.data[rva + 4:rva + 4 + length].decode("utf-16-le")

    def exception(self):
        _, rva = self.streams[EXCEPTION_STREAM]
        thread, _, code, _, _, address = struct.unpack_from("<IIIIQQ", self.data, rva)
        _, context = struct.unpack_from("<II", self.data, rva + 160)
        (esp,) = struct.unpack_from("<I", self.data, context + CONTEXT_ESP)
        return thread, code, address, esp

    def modules(self):
        _, rva = self.streams[MODULE_LIST_STREAM]
        (count,) = struct.unpack_from("<I", self.data, rva)
        for i in range(count):
            entry = rva + 4 + 108 * i
            base, size, _, _, name = struct.unpack_from("<QIIII", self.data, entry)
            yield self.string(name), base, size

    def stack(self, thread_id):
        _, rva = self.streams[THREAD_LIST_STREAM]
        (count,) = struct.unpack_from("<I", self.data, rva)
        for i in range(count):
            entry = rva + 4 + 48 * i
            (tid,) = struct.unpack_from("<I", self.data, entry)
            start, size, memory = struct.unpack_from("<QII", self.data, entry + 24)
            if tid == thread_id:
                return start, self.data[memory:memory + size]
        return 0, b""


def image_base(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    (pe,) = struct.unpack_from("<I", head, 0x3C)
    if head[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path} is not a PE file")
    (base,) = struct.unpack_from("<I", head, pe + 24 + 28)
    return base


def demangle(text):
    """Demangles the C++ names in text, or returns it as it is without c++filt."""
    cxxfilt = shutil.which("c++filt")
    if not cxxfilt:
        return text
    result = subprocess.run([cxxfilt], input=text, capture_output=True, text=True)
    return result.stdout if result.returncode == 0 else text


def resolve(symbols, addresses):
    if not addresses:
        return []
    out = subprocess.run(["i686-w64-mingw32-addr2line", "-f", "-i", "-p", "-e", symbols]
                         + [hex(a) for a in addresses], capture_output=True, text=True, check=True).stdout
    out = demangle(out)
    # One line per address, continued by "(inlined by)" lines.
    lines = []
    for line in out.splitlines():
        if line.lstrip().startswith("(inlined by)") and lines:
            lines[-1] += "\n        " + line.strip()
        else:
            lines.append(line)
    return lines


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        dump = Dump(f.read())
    thread, code, address, esp = dump.exception()
    modules = list(dump.modules())
    print(f"exception 0x{code:08X} at 0x{address:08X} on thread {thread}")
    for name, base, size in modules:
        if base <= address < base + size:
            print(f"in {name} (loaded at 0x{base:08X}, offset 0x{address - base:X})")
    if len(argv) < 3:
        return 0

    symbols = argv[2]
    program = os.path.basename(symbols).removesuffix(".debug").lower()
    ours = [(base, size) for name, base, size in modules if name.replace("\\", "/").split("/")[-1].lower() == program]
    if not ours:
        print(f"{program} is not among the dump's modules")
        return 1
    base, size = ours[0]
    linked = image_base(symbols)

    def rebased(value):
        return value - base + linked

    if base <= address < base + size:
        print("crashed in:")
        for line in resolve(symbols, [rebased(address)]):
            print("    " + line)

    start, stack = dump.stack(thread)
    candidates = []
    for offset in range(max(0, esp - start), len(stack) - 3, 4):
        (value,) = struct.unpack_from("<I", stack, offset)
        if base <= value < base + size:
            candidates.append(value)
            if len(candidates) == MAX_STACK_CANDIDATES:
                break
    lines = [(value, line) for value, line in zip(candidates, resolve(symbols, [rebased(v) for v in candidates]))
             if not line.startswith("??")]
    if lines:
        print(f"return addresses into {program} on the stack, innermost first:")
        for value, line in lines:
            print(f"    0x{value:08X} {line}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
