#!/usr/bin/env python3
"""What an installation left behind, read from Linux and compared with what the test expects.

    installed.py tree EXPECTED DEST
        every file below EXPECTED is in DEST with the same bytes, modification time and
        read-only state (no write permission at all), and DEST holds no other file apart
        from Uninstall.log and qynapp.ran
    installed.py log ARCHIVE PRODUCT [--base LOG] [--upto N] [--kept NAME]...
        prints the uninstall log expected after installing ARCHIVE, whose files are those of
        the folder PRODUCT: keys N and DN for every file entry N below --upto (all by default),
        NAME not extracted (kept where it was, or damaged), applied to the keys of --base the
        way the system's profile writer does (an existing key keeps its line, a new one goes
        last)
    installed.py logged DEST PRODUCT ARCHIVE
        checks a log cut short: its keys come in pairs in the archive's entry order, and each
        names a file of DEST with the product's bytes and the logged stamp; prints how many
    installed.py whole DEST PRODUCT
        after a run that was killed: every file of DEST under its own name (not NAME.partial,
        the name a file is written under until it is whole) has the product's bytes; prints how
        many partial files there are
    installed.py link FILE TARGET WORKDIR DESCRIPTION [CHARSET]
        the shell link FILE points to TARGET, starts in WORKDIR and is described DESCRIPTION
        (the link's ANSI strings in CHARSET, cp1252 by default)
    installed.py reg USER.REG KEY VALUE
        prints a string value of the prefix's user registry; exit 3 when it is missing
    installed.py dword SYSTEM.REG KEY VALUE
        prints a DWORD value of a registry file of the prefix in decimal; exit 3 when missing
    installed.py damage ARCHIVE NAME
        inverts the byte in the middle of the data of the entry NAME ("/" between folders), as
        a bad download would

The expected values come from the product folder, the archive as Python's zipfile reads it, and
the published formats of DOS date-times and shell links; nothing is taken from the program.
Times are local times of the TZ in the environment, as Wine sees them.
"""
import os
import re
import stat
import struct
import sys
import time
import zipfile

IGNORED = {"Uninstall.log", "qynapp.ran"}


def fail(message):
    sys.exit("FAIL: " + message)


def files_below(root):
    found = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            found[os.path.relpath(path, root)] = path
    return found


def read_only(path):
    return os.stat(path).st_mode & 0o222 == 0


def dos_stamp(seconds):
    """A time as a signed local DOS date-time: date in the high half, time/2 in the low."""
    t = time.localtime(seconds)
    date = (t.tm_year - 1980) << 9 | t.tm_mon << 5 | t.tm_mday
    clock = t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec // 2
    return struct.unpack("<i", struct.pack("<I", date << 16 | clock))[0]


def tree(expected, dest):
    want, have = files_below(expected), files_below(dest)
    extra = sorted(set(have) - set(want) - IGNORED)
    missing = sorted(set(want) - set(have))
    if extra or missing:
        fail(f"{dest}: missing {missing}, unexpected {extra}")
    for name, source in sorted(want.items()):
        target = have[name]
        with open(source, "rb") as a, open(target, "rb") as b:
            if a.read() != b.read():
                fail(f"{name}: the installed bytes differ")
        if int(os.stat(source).st_mtime) != int(os.stat(target).st_mtime):
            fail(f"{name}: modified {time.ctime(os.stat(target).st_mtime)}, "
                 f"stored {time.ctime(os.stat(source).st_mtime)}")
        if read_only(source) != read_only(target):
            fail(f"{name}: read-only is {read_only(target)}, stored {read_only(source)}")


def entries(archive):
    """(index, stored name with backslashes) of every file entry, in catalogue order."""
    with zipfile.ZipFile(archive) as z:
        return [(i, info.filename.replace("/", "\\"))
                for i, info in enumerate(z.infolist()) if not info.filename.endswith("/")]


def parse_log(text):
    lines = text.split(b"\r\n")
    if lines[0] != b"[Qyn]" or lines[-1] != b"":
        fail(f"not a log of one section [Qyn] with CR LF lines: {text!r}")
    keys = []
    for line in lines[1:-1]:
        key, sep, value = line.partition(b"=")
        if not sep or b"\n" in line or b"\r" in line:
            fail(f"bad log line {line!r}")
        keys.append((key.decode(), value.decode()))
    return keys


def log(archive, product, base, upto, kept):
    keys = []
    if base:
        with open(base, "rb") as f:
            keys = parse_log(f.read())
    for index, name in entries(archive):
        if upto is not None and index >= upto or name in kept:
            continue
        stamp = dos_stamp(os.stat(os.path.join(product, name.replace("\\", "/"))).st_mtime)
        for key, value in ((str(index), name), (f"D{index}", str(stamp))):
            at = [i for i, (k, _) in enumerate(keys) if k.lower() == key.lower()]
            if at:
                keys[at[0]] = (keys[at[0]][0], value)
            else:
                keys.append((key, value))
    sys.stdout.buffer.write(b"[Qyn]\r\n" + b"".join(
        f"{k}={v}\r\n".encode() for k, v in keys))


def logged(dest, product, archive):
    with open(os.path.join(dest, "Uninstall.log"), "rb") as f:
        keys = parse_log(f.read())
    order = entries(archive)
    if len(keys) % 2:
        fail(f"an odd number of keys: {keys}")
    pairs = [(keys[i], keys[i + 1]) for i in range(0, len(keys), 2)]
    for n, ((key, name), (dkey, stamp)) in enumerate(pairs):
        if (int(key), name) != order[n] or dkey != "D" + key:
            fail(f"pair {n}: {key}={name}, {dkey}={stamp}; wanted the entry {order[n]}")
        path = os.path.join(dest, name.replace("\\", "/"))
        if not os.path.isfile(path):
            fail(f"{name} is logged but not installed")
        if str(dos_stamp(os.stat(path).st_mtime)) != stamp:
            fail(f"{name}: logged {stamp}, the file has {dos_stamp(os.stat(path).st_mtime)}")
        with open(path, "rb") as a, open(os.path.join(product, name.replace("\\", "/")), "rb") as b:
            if a.read() != b.read():
                fail(f"{name} is logged but its bytes are not the product's")
    print(len(pairs))


def whole(dest, product):
    partial = 0
    for name, path in sorted(files_below(dest).items()):
        if name in IGNORED:
            continue
        if name.endswith(".partial"):
            partial += 1
            continue
        source = os.path.join(product, name)
        if not os.path.isfile(source):
            fail(f"{name} is not a file of the product")
        with open(source, "rb") as a, open(path, "rb") as b:
            if a.read() != b.read():
                fail(f"{name} stands half written under its own name")
    print(partial)


def link(path, target, workdir, description, charset="cp1252"):
    """Reads the fields of a shell link (.lnk) file: header, ID list, link info, strings."""
    with open(path, "rb") as f:
        data = f.read()
    size, clsid, flags = struct.unpack_from("<I16sI", data, 0)
    if size != 0x4C or clsid != bytes.fromhex("0114020000000000c000000000000046"):
        fail(f"{path}: not a shell link")
    at = 0x4C
    if flags & 0x01:  # an ID list
        at += 2 + struct.unpack_from("<H", data, at)[0]
    base = None
    if flags & 0x02:  # link info: the target as a local path (base and common suffix)
        info_size, _, info_flags, _, base_at, _, suffix_at = struct.unpack_from("<7I", data, at)
        if info_flags & 1:
            def c_string(offset):
                return data[at + offset:data.index(b"\0", at + offset)].decode(charset)
            base = c_string(base_at) + c_string(suffix_at)
        at += info_size
    strings = {}
    unicode = flags & 0x80
    for bit, name in ((0x04, "description"), (0x08, "relative"), (0x10, "workdir"),
                      (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if unicode else 1
            raw = data[at + 2:at + 2 + count * width]
            # Counted strings; Wine's writer counts a terminating NUL too.
            strings[name] = raw.decode("utf-16-le" if unicode else charset).split("\0")[0]
            at += 2 + count * width
    got = (base, strings.get("workdir"), strings.get("description"))
    if got != (target, workdir, description):
        fail(f"{path}: target, working folder, description {got}; "
             f"wanted {(target, workdir, description)}")


def value_data(reg_file, key, value):
    """The data of a value as a registry file of the prefix writes it after "="; exit 3 when the
    key or the value is missing."""
    with open(reg_file, encoding="utf-8", errors="replace") as f:
        text = f.read()
    section = "[" + key.replace("\\", "\\\\") + "]"
    start = next((m.end() for m in re.finditer(r"^\[.*?\]", text, re.M)
                  if m.group(0).lower() == section.lower()), None)
    if start is None:
        sys.exit(3)
    end = text.find("\n[", start)
    for line in text[start:end if end >= 0 else len(text)].splitlines():
        name, sep, data = line.partition("=")
        if sep and name.lower() == f'"{value}"'.lower():
            return data
    sys.exit(3)


def dword(reg_file, key, value):
    """A REG_DWORD value of a registry file of the prefix, in decimal."""
    data = value_data(reg_file, key, value)
    if not data.startswith("dword:"):
        fail(f"{key}\\{value} is not a DWORD value: {data}")
    print(int(data[len("dword:"):], 16))


def reg(user_reg, key, value):
    """A REG_SZ value from the registry file Wine keeps for the current user."""
    data = value_data(user_reg, key, value)
    if not (data.startswith('"') and data.endswith('"')):
        fail(f"{key}\\{value} is not a string value: {data}")
    print(re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)",
                 lambda m: chr(int(m.group(1)[1:], 16)) if len(m.group(1)) > 1
                 else m.group(1), data[1:-1]))


def damage(archive, name):
    with zipfile.ZipFile(archive) as z:
        info = z.getinfo(name)
    with open(archive, "r+b") as f:
        f.seek(info.header_offset)
        header = f.read(30)
        if header[:4] != b"PK\3\4":
            fail(f"{archive}: no local header for {name}")
        name_length, extra_length = struct.unpack_from("<HH", header, 26)
        at = info.header_offset + 30 + name_length + extra_length + info.compress_size // 2
        f.seek(at)
        byte = f.read(1)[0]
        f.seek(at)
        f.write(bytes([byte ^ 0xFF]))


def main(argv):
    command, args = argv[1], argv[2:]
    if command == "tree":
        tree(*args)
    elif command == "log":
        base = upto = None
        kept = []
        positional = []
        while args:
            option = args.pop(0)
            if option == "--base":
                base = args.pop(0)
            elif option == "--upto":
                upto = int(args.pop(0))
            elif option == "--kept":
                kept.append(args.pop(0))
            else:
                positional.append(option)
        log(*positional, base, upto, kept)
    elif command == "logged":
        logged(*args)
    elif command == "whole":
        whole(*args)
    elif command == "link":
        link(*args)
    elif command == "reg":
        reg(*args)
    elif command == "dword":
        dword(*args)
    elif command == "damage":
        damage(*args)
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(sys.argv)
