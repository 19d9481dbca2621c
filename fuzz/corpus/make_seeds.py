#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

The decoder targets get entries with the three parameter bytes they expect in front (see
fuzz/fuzz_entry.h): Shrink, Reduce and Implode entries of the third-party archives of the test
data, stored and raw Deflate data made with zlib, and entries encrypted by Info-ZIP zip with the
password "fuzz". The archive targets get small archives made by Python's zipfile and Info-ZIP
zip and the project's own fixtures; the translation targets the wizard's stored table and
translation files; the form target the wizard's stored window description.

Run from the project root: python3 fuzz/corpus/make_seeds.py [--only TARGET...]"""
import hashlib
import io
import os
import pathlib
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

ROOT = pathlib.Path(__file__).resolve().parents[2]


def testdata():
    """The third-party corpus: KQ_TESTDATA, else ../shared/testdata (relative to the root)."""
    return ROOT / (os.environ.get("KQ_TESTDATA") or "../shared/testdata")


TESTDATA = testdata()
OUT = ROOT / "fuzz" / "corpus"
LIMIT = 12000  # compressed bytes; larger entries make slow seeds
RESOURCES = ROOT / "setup" / "resources"

TEXTS = [
    b"",
    b"a",
    b"hello, hello, hello world\n" * 20,
    bytes(range(256)) * 4,
    b"\0" * 5000,
    (RESOURCES / "form1_window.txt").read_bytes()[:6000],
]


def params(size, parameter=0):
    return bytes([size & 0xFF, size >> 8 & 0xFF, (size >> 16 & 0x0F) | parameter << 4])


def write(target, seed):
    folder = OUT / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / hashlib.sha1(seed).hexdigest()).write_bytes(seed)


def entry_data(path, info):
    with open(path, "rb") as f:
        f.seek(info.header_offset)
        local = f.read(30)
        name_len, extra_len = struct.unpack("<HH", local[26:30])
        f.seek(info.header_offset + 30 + name_len + extra_len)
        return f.read(info.compress_size)


def legacy():
    manifest = TESTDATA / "MANIFEST.tsv"
    if not manifest.exists():
        print("make_seeds: no test data, the older methods' seeds are left as they are")
        return
    archives = [line.split("\t")[0] for line in open(manifest) if "[A legacy]" in line]
    for archive in archives:
        path = TESTDATA / archive
        for info in zipfile.ZipFile(path).infolist():
            method = info.compress_type
            if method == 1:
                target, parameter = "unshrink", 0
            elif 2 <= method <= 5:
                target, parameter = "unreduce", method - 2
            elif method == 6:
                target, parameter = "explode", info.flag_bits & 6
            else:
                continue
            if info.compress_size > LIMIT or info.file_size >= 1 << 20:
                continue
            write(target, params(info.file_size, parameter) + entry_data(path, info))


def deflate(data, level=6, strategy=zlib.Z_DEFAULT_STRATEGY):
    c = zlib.compressobj(level, zlib.DEFLATED, -15, 8, strategy)
    return c.compress(data) + c.flush()


def decoders():
    for text in TEXTS:
        write("unstore", params(len(text)) + text)
        for level, strategy in ((0, 0), (1, 0), (9, 0), (6, zlib.Z_FIXED), (6, zlib.Z_HUFFMAN_ONLY),
                                (6, zlib.Z_RLE)):
            write("inflate", params(len(text)) + deflate(text, level, strategy))
    # Declared one byte short: the output guard's case.
    write("inflate", params(len(TEXTS[2]) - 1) + deflate(TEXTS[2]))


def info_zip(folder, args, files):
    for name, data in files.items():
        (folder / name).write_bytes(data)
    subprocess.run(["zip", "-q", "-X"] + args + ["out.zip"] + list(files), cwd=folder,
                   check=True)
    data = (folder / "out.zip").read_bytes()
    (folder / "out.zip").unlink()
    return data


def encrypted(folder):
    files = {"text.txt": TEXTS[2], "bytes.bin": TEXTS[3], "one.txt": b"a"}
    archives = [info_zip(folder, ["-P", "fuzz", "-0"], files),
                info_zip(folder, ["-P", "fuzz", "-9"], files)]
    for archive in archives:
        z = zipfile.ZipFile(io.BytesIO(archive))
        for info in z.infolist():
            with io.BytesIO(archive) as f:
                f.seek(info.header_offset)
                local = f.read(30)
                name_len, extra_len = struct.unpack("<HH", local[26:30])
                f.seek(info.header_offset + 30 + name_len + extra_len)
                data = f.read(info.compress_size)
            write("encrypted", params(info.file_size, info.compress_type) + data)
    return archives


def python_zip(entries, comment=b"", stream=False):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        z.comment = comment
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, (2020, 2, 29, 12, 30, 58))
            info.compress_type = method
            if stream:
                with z.open(info, "w") as f:
                    f.write(data)
            else:
                z.writestr(info, data)
    return buffer.getvalue()


def overlapping_bomb():
    """Three central records whose local headers lie inside each other's data."""
    kernel = deflate(b"\0" * 50000)
    out = bytearray()
    central = bytearray()
    names = [b"c", b"b", b"a"]
    pieces = []
    tail = kernel
    crc = zlib.crc32(b"\0" * 50000)
    # Entry i's data is its stored quote of the next header followed by that entry's data; the
    # last entry's data is the kernel. Built back to front.
    data_after = kernel
    headers = []
    for i, name in enumerate(names):
        local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, 0, 0x5021, crc, len(data_after),
                            50000, len(name), 0) + name
        headers.append((name, len(data_after)))
        data_after = local + data_after
    out += data_after
    offset = 0
    for name, size in reversed(headers):
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 8, 0, 0x5021, crc,
                               size, 50000, len(name), 0, 0, 0, 0, 0, offset) + name
        offset += 30 + len(name)
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 3, 3, len(central), len(out), 0)
    return bytes(out + central + end)


def archives():
    small = [("dir/", b"", zipfile.ZIP_STORED), ("dir/a.txt", TEXTS[2], zipfile.ZIP_DEFLATED),
             ("b.bin", TEXTS[3], zipfile.ZIP_STORED)]
    hostile = [("../up.txt", b"up", 0), ("C:/drive.txt", b"drive", 0),
               ("\\\\server\\share\\x.txt", b"unc", 0), ("name:stream", b"ads", 0),
               ("CON", b"device", 0), ("dots...", b"dots", 0), ("/abs.txt", b"abs", 0)]
    made = [python_zip(small), python_zip(small, b"a comment PK\x05\x06 inside", stream=True),
            python_zip(hostile), python_zip([]), overlapping_bomb()]
    fixtures = ROOT / "tests" / "unzip" / "fixtures"
    for name in ("comments.zip", "eocd_in_comment.zip", "pipe.zip", "sorted.zip", "tree.zip",
                 "trunc_cd.zip", "split.zip"):
        made.append((fixtures / name).read_bytes())
    with tempfile.TemporaryDirectory() as folder:
        made += encrypted(pathlib.Path(folder))
    for archive in made:
        write("unzip", archive)
        for options in (0, 1, 2, 0x71):  # each IncompleteZipMode; sorted by name
            write("catalogue", bytes([options]) + archive)
    # A self-extractor whose offsets do not count its program part, read by scanning.
    write("catalogue", bytes([0x09]) + (fixtures / "sfx_raw.exe").read_bytes())
    # An archive without an end record and its companion catalogue.
    split = (fixtures / "split.zip").read_bytes()
    for mode in (0, 1):
        write("catalogue", bytes([4 | mode, len(split) & 0xFF, len(split) >> 8]) + split +
              (fixtures / "split.zfc").read_bytes())


def wildcards():
    for pattern, path in ((b"*.txt", b"dir\\a.txt"), (b"<a-c>*", b"b.bin"),
                          (b"*<!0-9>x?", b"abcxy"), (b"*<^a-z>", b"abc1"), (b"a*b*c*d", b"aXbYcZd"),
                          (b"<a-", b"a"), (b"**?*", b"q"), (b"*<ab>", b"abab")):
        write("wildcard", pattern + b"\0" + path)


def translations():
    with tempfile.TemporaryDirectory() as folder:
        block = pathlib.Path(folder) / "translation_table.bin"
        subprocess.run([sys.executable, str(RESOURCES / "scripts" / "translation_table.py"),
                        str(RESOURCES / "translation_table.txt"), str(block)], check=True)
        table = block.read_bytes()
        write("lang_table", table)
        write("lang_table", table[: len(table) // 3])
        write("lang_table", b"stStrings\r\nsCompany=A~B~C~\r\nstCaptions\r\nTForm1.Caption=x\x19\x1ay~\r\n")

        window = pathlib.Path(folder) / "window.bin"
        source = (RESOURCES / "form1_window.txt").read_text(encoding="utf-8")
        # The window without its pictures keeps the seeds small and fast.
        plain = pathlib.Path(folder) / "plain.txt"
        plain.write_text("\n".join(line for line in source.splitlines()
                                   if "Picture.Data" not in line) + "\n", encoding="utf-8")
        subprocess.run([sys.executable, str(RESOURCES / "scripts" / "form_description.py"),
                        str(plain), str(window), "--search", folder], check=True)
        write("forms", window.read_bytes())
    for text in (
        b"[OPTIONS]\r\nDELIMITER=~!@#\r\nLanguage_Fixed2=1\r\n"
        b"[Language names - for internal use only!]\r\nLanguage_1=ChineseSimplified\r\n"
        b"Language_2=ChineseTraditional\r\nLanguage_3=English\r\n"
        b"[Captions]\r\nTForm1.LabelWelcome=Welcome %s~!@#W2~!@#Welcome to %s~!@#\r\n"
        b"TForm1.ButtonNext1=Next~!@#N~!@#&Next >~!@#\r\n"
        b"[Strings]\r\nsCompany=K~!@#K~!@#K~!@#\r\nsWill1=%s~!@#%s~!@#Install %s~!@#\r\n"
        b"[Collections]\r\nTForm1.Items-0+=a~!@#b~!@#c~!@#\r\n"
        b"[Extended]\r\nTForm1.LabelWelcome.Width=100~!@#120~!@#130~!@#\r\n"
        b"TForm1.LabelWelcome.Width_TypeKind=tkInteger\r\n",
        b"[OPTIONS]\nDELIMITER=|\n[Captions]\nForm1.Caption=a|b|c|\n[Hints]\nx\n",
        b";comment\n[captions]\n[Captions]\nTForm1.Label4=only one\n",
    ):
        write("lang_file", text)


def main():
    only = sys.argv[sys.argv.index("--only") + 1:] if "--only" in sys.argv else None
    steps = {"legacy": legacy, "decoders": decoders, "archives": archives,
             "wildcards": wildcards, "translations": translations}
    for name, step in steps.items():
        if only is None or name in only:
            step()


if __name__ == "__main__":
    main()
