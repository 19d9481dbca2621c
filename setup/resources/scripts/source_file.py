"""What the resource converters share: the error of a malformed source and the run that reads
a source, converts it and writes the result.
"""

import sys


class SourceError(Exception):
    """A source the converter cannot store; the message begins with "PATH:LINE: "."""


def convert_file(source, output, convert):
    """Writes convert(text of SOURCE) to OUTPUT. Returns the exit status: 0, or 1 with the error
    printed when the source is malformed (OUTPUT is then not written)."""
    with open(source, encoding="utf-8") as f:
        text = f.read()
    try:
        data = convert(text)
    except SourceError as error:
        sys.stderr.write(f"error: {error}\n")
        return 1
    with open(output, "wb") as f:
        f.write(data)
    return 0
