#!/usr/bin/env python3
"""The build step that turns the readable translation-table source into the stored block.

Expected bytes are written out by hand (GBK and Big5 codes from the code-page tables).
"""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "setup", "resources", "scripts",
                      "translation_table.py")

HEAD = "@delimiter 1\n@columns cp936 cp950 ascii\n"


def run(source):
    with tempfile.TemporaryDirectory() as folder:
        src = os.path.join(folder, "table.txt")
        out = os.path.join(folder, "table.bin")
        with open(src, "w", encoding="utf-8") as f:
            f.write(source)
        result = subprocess.run([sys.executable, SCRIPT, src, out], capture_output=True,
                                text=True)
        data = open(out, "rb").read() if result.returncode == 0 else None
        return result.returncode, data, result.stderr


class ConverterTest(unittest.TestCase):
    def converts(self, body, expected):
        code, data, err = run(HEAD + body)
        self.assertEqual(code, 0, err)
        self.assertEqual(data, expected)

    def fails(self, body, message):
        code, data, err = run(HEAD + body)
        self.assertNotEqual(code, 0)
        self.assertIn(message, err)

    def test_cells_in_their_columns_code_pages(self):
        # 安装 in GBK is B0 B2 D7 B0; 安裝 in Big5 is A6 77 B8 CB.
        self.converts('[stStrings]\nsSetup = "安装" | "安裝" | " Setup"\n',
                      b"stStrings\r\nsSetup\x01\xb0\xb2\xd7\xb0\x01\xa6\x77\xb8\xcb\x01 Setup\x01"
                      b"\r\n")

    def test_code_page_of_one_cell_overridden(self):
        # 宋体 in GBK is CB CE CC E5, kept in the English column.
        self.converts('[stFonts]\nTForm1 = "宋体" | "Default" | cp936:"宋体"\n',
                      b"stFonts\r\nTForm1\x01\xcb\xce\xcc\xe5\x01Default\x01\xcb\xce\xcc\xe5\x01"
                      b"\r\n")

    def test_spaces_quotes_and_empty_cells_are_kept(self):
        self.converts('[stStrings]\nsA = "say "hi" " | "" | "  "\n',
                      b'stStrings\r\nsA\x01say "hi" \x01\x01  \x01\r\n')

    def test_short_rows_and_empty_sections(self):
        self.converts('[stDisplayLabels]\n[stCharSets]\n# note\n\nLabel4 = "DEFAULT_CHARSET"\n',
                      b"stDisplayLabels\r\nstCharSets\r\nLabel4\x01DEFAULT_CHARSET\x01\r\n")

    def test_character_outside_the_code_page_fails(self):
        self.fails('[stStrings]\nsA = "a" | "b" | "café"\n', "'é' cannot be encoded in ascii")
        self.fails('[stStrings]\nsA = "€" | "b" | "c"\n', "table.txt:4:")

    def test_malformed_rows_fail(self):
        self.fails('[stStrings]\nsA "a"\n', "a row needs a name")
        self.fails('[stStrings]\nsA = "a" | "b" | "c" | "d"\n', "4 cells but only 3 columns")
        self.fails('[stStrings]\nsA = "a" | b\n', "expected a quoted cell")
        self.fails('[stStrings]\nsA = "a\n', "unterminated cell")
        code, _, err = run('[stStrings]\nsA = "a"\n')
        self.assertIn("@delimiter and @columns must come before the table", err)


if __name__ == "__main__":
    unittest.main()
