#!/usr/bin/env python3
"""zipx on entries at the sizes the 32-bit fields allow: a deflated entry of 2.3 GiB and one of
4 GiB - 1, and a stored entry of 2.3 GiB, each with plain 32-bit sizes (no Zip64), as any zip
writer may make them. The archives are written here, streamed, and removed afterwards; the
extracted file must have the entry's size and CRC-32 (zlib's).

    tests/tools/large_test.py ZIPX [WINE-RUN]

With WINE-RUN, ZIPX is the Windows program and runs under Wine. KQ_LARGE_CASES names the cases to
run (comma-separated; all by default).
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

ZIPX = None
WINE_RUN = None

GIB = 1 << 30
UNIT = 1 << 20
# Two different megabytes, each a 4 KiB block of noise repeated: Deflate packs them about 100 to
# 1, so the archive of a 4 GiB entry stays small. They follow each other in the Thue-Morse order,
# so that a megabyte lost, doubled or swapped changes the CRC.
_noise = bytes((i * 2654435761 >> 13) & 0xFF for i in range(4096))
UNITS = (_noise * (UNIT // 4096), bytes(reversed(_noise)) * (UNIT // 4096))


def unit_order(count):
    for i in range(count):
        yield bin(i).count('1') & 1


def content(size):
    """The entry's bytes, one megabyte at a time."""
    whole, tail = divmod(size, UNIT)
    for u in unit_order(whole):
        yield UNITS[u]
    if tail:
        yield UNITS[bin(whole).count('1') & 1][:tail]


def crc_of(size):
    crc = 0
    for piece in content(size):
        crc = zlib.crc32(piece, crc)
    return crc


def deflated_units():
    """Each megabyte deflated on its own, ending byte-aligned with no reference to what came
    before (a full flush), so that the compressed pieces can be put one after another."""
    pieces = []
    for unit in UNITS:
        compressor = zlib.compressobj(6, zlib.DEFLATED, -15)
        pieces.append(compressor.compress(unit) + compressor.flush(zlib.Z_FULL_FLUSH))
    return pieces


def compressed(size, method):
    """The entry's compressed bytes, in pieces."""
    if method == 0:
        yield from content(size)
        return
    pieces = deflated_units()
    whole, tail = divmod(size, UNIT)
    for u in unit_order(whole):
        yield pieces[u]
    compressor = zlib.compressobj(6, zlib.DEFLATED, -15)
    last = UNITS[bin(whole).count('1') & 1][:tail]
    yield compressor.compress(last) + compressor.flush(zlib.Z_FINISH)


def write_archive(path, name, size, method):
    """One entry, 32-bit sizes, no data descriptor; the sizes are patched in once known."""
    crc = crc_of(size)
    name_bytes = name.encode('ascii')
    dos_time, dos_date = 0x6000, 0x5A21  # 2025-01-01 12:00:00
    with open(path, 'wb') as out:
        out.write(struct.pack('<IHHHHHIIIHH', 0x04034B50, 20, 0, method, dos_time, dos_date, crc,
                              0, size, len(name_bytes), 0))
        out.write(name_bytes)
        start = out.tell()
        for piece in compressed(size, method):
            out.write(piece)
        packed = out.tell() - start
        central = out.tell()
        out.write(struct.pack('<IHHHHHHIIIHHHHHII', 0x02014B50, 20, 20, 0, method, dos_time,
                              dos_date, crc, packed, size, len(name_bytes), 0, 0, 0, 0, 0x20, 0))
        out.write(name_bytes)
        directory = out.tell() - central
        out.write(struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, 1, 1, directory, central, 0))
        out.seek(18)
        out.write(struct.pack('<I', packed))
    return crc


def windows_path(path):
    """The host path as Wine's drive Z shows it."""
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def file_crc(path):
    crc = 0
    with open(path, 'rb') as f:
        while True:
            piece = f.read(16 * UNIT)
            if not piece:
                return crc
            crc = zlib.crc32(piece, crc)


CASES = {
    'deflated-2.3G': (int(2.3 * GIB), 8),
    'deflated-4G-1': (4 * GIB - 1, 8),
    'stored-2.3G': (int(2.3 * GIB), 0),
}


class LargeEntries(unittest.TestCase):
    def run_case(self, label):
        size, method = CASES[label]
        folder = tempfile.mkdtemp(prefix='kq-large-', dir=os.environ.get('TMPDIR'))
        try:
            # Two copies of a stored entry, one of a deflated one, and some room.
            needed = size * (2 if method == 0 else 1) + GIB // 4
            if shutil.disk_usage(folder).free < needed:
                self.skipTest(f'{needed >> 20} MiB of free space needed in {folder}')
            archive = os.path.join(folder, 'large.zip')
            crc = write_archive(archive, 'big.bin', size, method)
            out = os.path.join(folder, 'out')
            command = [ZIPX, 'x', archive, out]
            if WINE_RUN:
                command = [WINE_RUN, ZIPX, 'x', windows_path(archive), windows_path(out)]
            began = time.monotonic()
            done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                  timeout=900)
            seconds = time.monotonic() - began
            self.assertEqual(done.returncode, 0, done.stderr.decode(errors='replace'))
            print(f'\n{label}: zipx took {seconds:.1f} s', file=sys.stderr)
            output = os.path.join(folder, 'out', 'big.bin')
            self.assertEqual(os.path.getsize(output), size)
            self.assertEqual(file_crc(output), crc)
        finally:
            shutil.rmtree(folder, ignore_errors=True)

    def test_sizes_past_2_gib(self):
        wanted = os.environ.get('KQ_LARGE_CASES')
        for label in (wanted.split(',') if wanted else CASES):
            with self.subTest(label):
                self.run_case(label)


if __name__ == '__main__':
    ZIPX = sys.argv[1]
    WINE_RUN = sys.argv[2] if len(sys.argv) > 2 else None
    unittest.main(argv=[sys.argv[0], '-v'])
