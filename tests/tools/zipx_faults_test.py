#!/usr/bin/env python3
"""zipx x under injected faults: every call of each kind of file operation it makes fails once,
in a run of its own (the stand-in's KQ_FAULT). A run that reports success (exit code 0) must
have extracted every file whole with its time and attributes; any other run must say what failed
in its output.

Usage: zipx_faults_test.py ZIPX
"""
import os
import subprocess
import sys
import tempfile
import time
import zipfile

# The kinds zipx meets; registry, shortcut and profile writes are the wizard's alone.
KINDS = ["create", "write", "close", "set time", "set attributes", "make folder", "move"]


def make_archive(path):
    """Files of sizes from nothing to several output buffers, in two folders, each with its own
    even-second time, deflated by Python's zipfile. Returns {stored name: (bytes, time)}."""
    files = {}
    sizes = [0, 1, 700, 8192, 8193, 40000, 70000, 5]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for i, size in enumerate(sizes):
            name = ("sub/" if i % 3 == 1 else "sub/deep/" if i % 3 == 2 else "") + f"f{i}.bin"
            data = os.urandom(size) if i % 2 else bytes((i * 7 + n // 3) % 251 for n in range(size))
            when = (2020, 1 + i, 2 + i, 3, 4, 2 * i)
            info = zipfile.ZipInfo(name, when)
            # Some files read-only, the DOS attribute in the low byte: an attribute that did not
            # reach the file shows as a write permission.
            read_only = i % 3 == 0
            info.external_attr = (0o100644 << 16) | (0x01 if read_only else 0)
            archive.writestr(info, data, zipfile.ZIP_DEFLATED)
            files[name] = (data, time.mktime(when + (0, 0, -1)), read_only)
    return files


def whole(dest, files):
    """What is wrong with the extracted tree; empty when every file is whole with its time and
    attributes."""
    wrong = []
    for name, (data, when, read_only) in files.items():
        path = os.path.join(dest, name)
        if not os.path.isfile(path):
            wrong.append(f"{name} missing")
        elif open(path, "rb").read() != data:
            wrong.append(f"{name} not whole")
        elif int(os.stat(path).st_mtime) != int(when):
            wrong.append(f"{name} has the wrong time")
        elif read_only != (os.stat(path).st_mode & 0o222 == 0):
            wrong.append(f"{name} has the wrong attributes")
    return wrong


def run(zipx, work, dest, fault):
    env = dict(os.environ, KQ_FAULT=fault, KQ_ROOT=os.path.join(work, "root"))
    return subprocess.run([zipx, "x", "Setup.zip", dest], cwd=work, env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          errors="replace", timeout=60)


def main():
    zipx = os.path.abspath(sys.argv[1])
    failures = []
    figures = []
    with tempfile.TemporaryDirectory() as work:
        files = make_archive(os.path.join(work, "Setup.zip"))
        clean = run(zipx, work, "clean", "create:0")
        if clean.returncode != 0 or whole(os.path.join(work, "clean"), files):
            print(f"the run without faults failed: {clean.returncode} {clean.stderr}")
            return 1
        for kind in KINDS:
            call, told, made_good = 1, 0, 0
            while True:
                dest = f"{kind.replace(' ', '_')}_{call}"
                result = run(zipx, work, dest, f"{kind}:{call}")
                if "KQ_FAULT:" not in result.stderr:
                    break  # fewer calls than that: the kind is done
                printed = result.stderr.replace(f"KQ_FAULT: {kind} call {call} failed\n", "")
                wrong = whole(os.path.join(work, dest), files)
                if result.returncode == 0:
                    # Success reported: the failure must have been made good.
                    made_good += 1
                    if wrong:
                        failures.append(f"{kind} call {call}: success reported, but {wrong}")
                elif "failed" not in printed and "error" not in printed.lower():
                    failures.append(f"{kind} call {call}: exit {result.returncode}, "
                                    f"but the output names no failure: {printed!r}")
                else:
                    told += 1
                call += 1
            figures.append(f"{kind}: {call - 1} calls, {told} reported, {made_good} made good")
    print("\n".join(figures))
    print("\n".join(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
