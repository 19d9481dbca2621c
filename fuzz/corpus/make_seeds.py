#!/usr/bin/env python3
"""Writes seed inputs for the decoder fuzzers from the third-party archives of the test data:
small entries of each older method, with the three parameter bytes the targets expect in front.
Run from the project root: python3 fuzz/corpus/make_seeds.py"""
import hashlib
import pathlib
import struct
import zipfile

TESTDATA = pathlib.Path("../shared/testdata")
OUT = pathlib.Path("fuzz/corpus")
LIMIT = 12000  # compressed bytes; larger entries make slow seeds


def entry_data(path, info):
    with open(path, "rb") as f:
        f.seek(info.header_offset)
        local = f.read(30)
        name_len, extra_len = struct.unpack("<HH", local[26:30])
        f.seek(info.header_offset + 30 + name_len + extra_len)
        return f.read(info.compress_size)


def main():
    archives = [line.split("\t")[0] for line in open(TESTDATA / "MANIFEST.tsv")
                if "[A legacy]" in line]
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
            size = info.file_size
            seed = bytes([size & 0xFF, size >> 8 & 0xFF, size >> 16 | parameter << 4])
            seed += entry_data(path, info)
            folder = OUT / target
            folder.mkdir(parents=True, exist_ok=True)
            (folder / hashlib.sha1(seed).hexdigest()).write_bytes(seed)


if __name__ == "__main__":
    main()
