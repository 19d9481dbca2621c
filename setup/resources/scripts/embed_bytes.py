#!/usr/bin/env python3
"""Embed a file's bytes in the program as a C++ byte array with an accessor.

Writes a C++ source that defines `std::string_view kq::resources::<Accessor>()` returning the
file's bytes; the accessor is declared in resources/resources.h.

Usage: embed_bytes.py INPUT OUTPUT.cpp ACCESSOR
"""

import re
import sys

BYTES_PER_LINE = 16


def cpp_source(data, accessor, input_name):
    rows = []
    for start in range(0, len(data), BYTES_PER_LINE):
        chunk = data[start:start + BYTES_PER_LINE]
        rows.append("    " + ", ".join(f"0x{byte:02X}" for byte in chunk) + ",")
    # A zero-length array is not valid C++; the accessor still reports the true length.
    body = "\n".join(rows) if rows else "    0x00,"
    return (
        f"// Generated from {input_name} by embed_bytes.py. Do not edit.\n"
        "#include \"resources/resources.h\"\n"
        "\n"
        "namespace kq::resources {\n"
        "namespace {\n"
        f"constexpr unsigned char k{accessor}[] = {{\n{body}\n}};\n"
        "}  // namespace\n"
        "\n"
        f"std::string_view {accessor}() {{\n"
        f"    return {{reinterpret_cast<const char*>(k{accessor}), {len(data)}u}};\n"
        "}\n"
        "}  // namespace kq::resources\n")


def main(argv):
    if len(argv) != 4 or not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", argv[3]):
        sys.stderr.write(__doc__)
        return 2
    source, output, accessor = argv[1:]
    with open(source, "rb") as f:
        data = f.read()
    with open(output, "w", encoding="ascii", newline="\n") as f:
        f.write(cpp_source(data, accessor, source.rsplit("/", 1)[-1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
