#!/usr/bin/env python3
"""Turn the readable translation-table source into the stored table block.

The block is the table text and nothing else: one line per section header and per row, every
line ending in CR LF. A row is its name, then each cell preceded by the delimiter byte, then a
closing delimiter. Cells are stored in their language's code page; a CR or LF inside a cell is
stored as 0x19 or 0x1A so that the row stays on one line.

The source format is described at the top of the table source itself.

Usage: translation_table.py SOURCE OUTPUT
"""

import re
import sys

from source_file import SourceError, convert_file

CELL_TAG = re.compile(r"\s*(?:([A-Za-z0-9_-]+):)?\"")
CELL_END = re.compile(r"\"\s*(\||$)")


def parse_cells(text, fail):
    """Splits 'name = "a" | cp936:"b" | ...' cell text into (codec or None, text) pairs."""
    cells = []
    pos = 0
    text = text.rstrip()
    if not text:
        return cells
    while True:
        start = CELL_TAG.match(text, pos)
        if not start:
            fail(f"expected a quoted cell at column {pos + 1}")
        body_start = start.end()
        # The closing quote is the first one followed by "|" or by the end of the line.
        end = CELL_END.search(text, body_start)
        if not end:
            fail("unterminated cell")
        cells.append((start.group(1), text[body_start:end.start()]))
        if end.group(1) != "|":
            return cells
        pos = end.end()


def encode_cell(text, codec, fail):
    try:
        data = text.encode(codec)
    except UnicodeEncodeError as error:
        fail(f"{text[error.start:error.end]!r} cannot be encoded in {codec}")
    except LookupError:
        fail(f"unknown code page {codec!r}")
    return data.replace(b"\r", b"\x19").replace(b"\n", b"\x1a")


def convert(path, source_text):
    delimiter = None
    columns = None
    lines = []
    for line_no, line in enumerate(source_text.splitlines(), start=1):

        def fail(message, line_no=line_no):
            raise SourceError(f"{path}:{line_no}: {message}")

        stripped = line.strip()
        if not stripped or stripped.startswith("#"):
            continue
        if stripped.startswith("@delimiter"):
            value = int(stripped.split()[1])
            if not 1 <= value <= 255 or value in (10, 13, 0x19, 0x1A):
                fail("the delimiter must be a byte other than NUL, CR, LF, 0x19 and 0x1A")
            delimiter = bytes([value])
            continue
        if stripped.startswith("@columns"):
            columns = stripped.split()[1:]
            continue
        if delimiter is None or columns is None:
            fail("@delimiter and @columns must come before the table")
        if stripped.startswith("[") and stripped.endswith("]"):
            lines.append(stripped[1:-1].encode("ascii"))
            continue
        name, sep, rest = line.partition("=")
        if not sep:
            fail("a row needs a name, '=' and its cells")
        name = name.strip()
        if not name:
            fail("a row needs a name")
        cells = parse_cells(rest, fail)
        if len(cells) > len(columns):
            fail(f"{len(cells)} cells but only {len(columns)} columns")
        row = encode_cell(name, "ascii", fail)
        for index, (codec, text) in enumerate(cells):
            row += delimiter + encode_cell(text, codec or columns[index], fail)
        lines.append(row + delimiter)
    return b"".join(line + b"\r\n" for line in lines)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    source, output = argv[1], argv[2]
    return convert_file(source, output, lambda text: convert(source, text))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
