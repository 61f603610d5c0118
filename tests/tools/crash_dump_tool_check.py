#!/usr/bin/env python3
"""tools/crash-dump.py on a real dump: crash_probe.exe crashes under Wine in
WriteThroughNull(), and the tool, reading the dump against
the probe's symbols, names that function demangled, and still reads the dump
when there is no c++filt to demangle with.

    crash_dump_tool_check.py <tools/crash-dump.py> <build>/wine-run <build>/bin/crash_probe.exe
"""

import glob
import os
import subprocess
import sys
import tempfile

MANGLED = "_Z16WriteThroughNullv"
DEMANGLED = "WriteThroughNull()"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def crash_probe(wine_run, probe, local_app_data):
    # Wine's own processes may hold on to output pipes: the probe gets none.
    command = f"set LOCALAPPDATA={windows_path(local_app_data)}&& {windows_path(probe)} main"
    subprocess.run([wine_run, "cmd", "/c", command], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)
    return glob.glob(os.path.join(local_app_data, "*", "CrashDumps", "*.dmp"))


def read_dump(tool, dump, symbols, path):
    result = subprocess.run([sys.executable, tool, dump, symbols], capture_output=True, text=True,
                            env=dict(os.environ, PATH=path), timeout=120)
    return result.returncode, result.stdout + result.stderr


def crashed_in(output):
    """The line after "crashed in:", or None."""
    lines = output.splitlines()
    for i, line in enumerate(lines[:-1]):
        if line == "crashed in:":
            return lines[i + 1].strip()
    return None


def main(argv):
    tool, wine_run, probe = argv[1:4]
    failures = []
    with tempfile.TemporaryDirectory() as local, tempfile.TemporaryDirectory() as bare:
        dumps = crash_probe(wine_run, probe, local)
        if len(dumps) != 1:
            print(f"expected one dump from crash_probe.exe, found {dumps}")
            return 1

        code, output = read_dump(tool, dumps[0], probe, os.environ.get("PATH", ""))
        line = crashed_in(output)
        if code != 0 or not line or not line.startswith(DEMANGLED + " at ") or "CrashProbe.cpp:" not in line:
            failures.append(f"with c++filt: the crash is not named {DEMANGLED} at its source line")
        if "_Z" in output:
            failures.append("with c++filt: a mangled name is left")
        print(output)

        # A PATH with the cross addr2line and nothing else: no c++filt.
        addr2line = subprocess.run(["sh", "-c", "command -v i686-w64-mingw32-addr2line"], capture_output=True,
                                   text=True).stdout.strip()
        os.symlink(addr2line, os.path.join(bare, "i686-w64-mingw32-addr2line"))
        code, output = read_dump(tool, dumps[0], probe, bare)
        line = crashed_in(output)
        if code != 0 or not line or not line.startswith(MANGLED + " at "):
            failures.append(f"without c++filt: the crash is not named {MANGLED} at its source line")
        print(output)

    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
