#!/usr/bin/env python3
"""Turn a readable window description into its stored form.

The source is UTF-8 text:

    # a comment, to the end of the line
    @encoding cp936                      the code page of the texts (a Python codec name)

    Form1: TForm1 {                      a component: name, class, its properties and children
        Left = 67                        an integer
        Caption = "Form1"                a text, stored in the code page; escapes \\\\ \\" \\r \\n \\t
        Font.Name = "宋体"               a property of an object property
        Border = Single                  a name: enumeration value, True/False, colour,
        OnCreate = FormCreate              character set, cursor, component or handler
        CaptionButtons = [SystemMenu, Minimize]     a set
        Lines = ("first", "second")      a list of texts
        Picture.Data = file("art/a.jpg") the bytes of a file (found beside the source or in
                                           one of the --search folders)
        PageControl1: TPageControl {     a child
        }
    }

The stored form is laid out as forms/include/forms/form_loader.h describes. A text that the
code page cannot hold, a malformed line or a missing file fails the build.

Usage: form_description.py SOURCE OUTPUT [--search DIR]...
"""

import os
import re
import struct
import sys

from source_file import SourceError, convert_file

SIGNATURE = b"KQWD"
VERSION = 1
TAG_INTEGER, TAG_STRING, TAG_IDENT, TAG_SET, TAG_LIST, TAG_BINARY = range(1, 7)

TOKEN = re.compile(r"""
    (?P<space>[ \t]+) |
    (?P<comment>\#[^\n]*) |
    (?P<newline>\n) |
    (?P<string>"(?:[^"\\\n]|\\.)*") |
    (?P<number>-?[0-9]+) |
    (?P<name>[A-Za-z_][A-Za-z0-9_]*(?:\.[A-Za-z_][A-Za-z0-9_]*)*) |
    (?P<punct>[{}=:\[\](),]) |
    (?P<directive>@[a-z]+)
""", re.VERBOSE)

ESCAPES = {"\\": "\\", '"': '"', "r": "\r", "n": "\n", "t": "\t"}


class Tokens:
    def __init__(self, path, text):
        self.path = path
        self.items = []
        pos = 0
        line = 1
        while pos < len(text):
            m = TOKEN.match(text, pos)
            if not m:
                raise SourceError(f"{path}:{line}: unexpected {text[pos]!r}")
            kind = m.lastgroup
            if kind == "newline":
                self.items.append(("newline", "\n", line))
                line += 1
            elif kind not in ("space", "comment"):
                self.items.append((kind, m.group(), line))
            pos = m.end()
        self.items.append(("end", "", line))
        self.pos = 0

    def peek(self, skip_newlines=True):
        while skip_newlines and self.items[self.pos][0] == "newline":
            self.pos += 1
        return self.items[self.pos]

    def take(self, kind=None, text=None, skip_newlines=True):
        token = self.peek(skip_newlines)
        if (kind and token[0] != kind) or (text is not None and token[1] != text):
            wanted = text or kind
            self.fail(token, f"expected {wanted}, found {token[1] or token[0]!r}")
        self.pos += 1
        return token

    def fail(self, token, message):
        raise SourceError(f"{self.path}:{token[2]}: {message}")


def unquote(token, tokens):
    body = token[1][1:-1]
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            nxt = body[i + 1]
            if nxt not in ESCAPES:
                tokens.fail(token, f"unknown escape \\{nxt}")
            out.append(ESCAPES[nxt])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class Writer:
    def __init__(self, tokens, encoding, folders):
        self.tokens = tokens
        self.encoding = encoding
        self.folders = folders

    def text(self, token, value):
        try:
            return value.encode(self.encoding)
        except UnicodeEncodeError as error:
            self.tokens.fail(token, f"{value[error.start:error.end]!r} cannot be stored in "
                                    f"{self.encoding}")

    def name8(self, token, name):
        data = name.encode("ascii")
        if len(data) > 255:
            self.tokens.fail(token, "a name is at most 255 bytes")
        return bytes([len(data)]) + data

    def long(self, data):
        return struct.pack("<I", len(data)) + data

    def file_bytes(self, token, name):
        for folder in self.folders:
            path = os.path.join(folder, name)
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    return f.read()
        self.tokens.fail(token, f"file {name!r} not found in {', '.join(self.folders)}")

    def value(self):
        t = self.tokens
        token = t.peek()
        if token[0] == "number":
            t.take()
            number = int(token[1])
            if not -2**31 <= number < 2**31:
                t.fail(token, "an integer must fit in 32 bits")
            return bytes([TAG_INTEGER]) + struct.pack("<i", number)
        if token[0] == "string":
            t.take()
            return bytes([TAG_STRING]) + self.long(self.text(token, unquote(token, t)))
        if token[0] == "name" and token[1] == "file":
            t.take()
            t.take("punct", "(")
            name_token = t.take("string")
            t.take("punct", ")")
            return bytes([TAG_BINARY]) + self.long(
                self.file_bytes(name_token, unquote(name_token, t)))
        if token[0] == "name":
            t.take()
            return bytes([TAG_IDENT]) + self.name8(token, token[1])
        if token[1] == "[":
            t.take()
            names = []
            while t.peek()[1] != "]":
                if names:
                    t.take("punct", ",")
                names.append(t.take("name"))
            t.take("punct", "]")
            if len(names) > 255:
                t.fail(token, "a set holds at most 255 names")
            return bytes([TAG_SET, len(names)]) + b"".join(self.name8(n, n[1]) for n in names)
        if token[1] == "(":
            t.take()
            items = []
            while t.peek()[1] != ")":
                if items:
                    t.take("punct", ",")
                item = t.take("string")
                items.append(self.long(self.text(item, unquote(item, t))))
            t.take("punct", ")")
            return bytes([TAG_LIST]) + struct.pack("<I", len(items)) + b"".join(items)
        t.fail(token, f"expected a value, found {token[1] or token[0]!r}")

    def component(self):
        t = self.tokens
        name = t.take("name")
        t.take("punct", ":")
        cls = t.take("name")
        t.take("punct", "{")
        properties = []
        children = []
        while t.peek()[1] != "}":
            key = t.take("name")
            following = t.peek(skip_newlines=False)
            if following[1] == ":":
                t.pos -= 1
                children.append(self.component())
                continue
            t.take("punct", "=", skip_newlines=False)
            properties.append(self.name8(key, key[1]) + self.value())
            end = t.peek(skip_newlines=False)
            if end[0] not in ("newline", "end") and end[1] != "}":
                t.fail(end, "one property per line")
        t.take("punct", "}")
        if len(properties) > 0xFFFF or len(children) > 0xFFFF:
            t.fail(name, "too many properties or children")
        return (self.name8(cls, cls[1]) + self.name8(name, name[1]) +
                struct.pack("<H", len(properties)) + b"".join(properties) +
                struct.pack("<H", len(children)) + b"".join(children))


def convert(path, text, search):
    tokens = Tokens(path, text)
    encoding = None
    while tokens.peek()[0] == "directive":
        directive = tokens.take()
        if directive[1] != "@encoding":
            tokens.fail(directive, f"unknown directive {directive[1]}")
        encoding = tokens.take("name")[1]
        try:
            "".encode(encoding)
        except LookupError:
            tokens.fail(directive, f"unknown code page {encoding!r}")
    if encoding is None:
        tokens.fail(tokens.peek(), "the source must start with @encoding")
    folders = [os.path.dirname(os.path.abspath(path))] + search
    writer = Writer(tokens, encoding, folders)
    root = writer.component()
    tokens.take("end")
    return SIGNATURE + bytes([VERSION]) + root


def main(argv):
    args = argv[1:]
    search = []
    while "--search" in args:
        i = args.index("--search")
        if i + 1 >= len(args):
            sys.stderr.write(__doc__)
            return 2
        search.append(args[i + 1])
        del args[i:i + 2]
    if len(args) != 2:
        sys.stderr.write(__doc__)
        return 2
    source, output = args
    return convert_file(source, output, lambda text: convert(source, text, search))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
