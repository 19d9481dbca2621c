#!/usr/bin/env python3
"""Python's zipfile as a peer reader of a packed archive: one line per entry, tab-separated:
the name's bytes in hex, general purpose flags, method, date-time (YYYY-MM-DD HH:MM:SS),
external attributes, host system, version made by, version needed, then the length and CRC-32
(by zlib) of the data zipfile decrypted and checked, in hex.

    zip_peer_listing.py ARCHIVE PASSWORD
"""
import sys
import zipfile
import zlib

archive, password = sys.argv[1], sys.argv[2].encode('latin-1')
with zipfile.ZipFile(archive) as z:
    for info in z.infolist():
        data = z.read(info, pwd=password)
        # Names without the UTF-8 flag come back decoded as code page 437: undo that.
        name = info.orig_filename.encode('cp437')
        print('\t'.join([
            name.hex(), '%04x' % info.flag_bits, str(info.compress_type),
            '%04d-%02d-%02d %02d:%02d:%02d' % info.date_time, '%08x' % info.external_attr,
            str(info.create_system), str(info.create_version), str(info.extract_version),
            str(len(data)), '%08x' % zlib.crc32(data)]))
