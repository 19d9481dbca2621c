#!/usr/bin/env python3
"""zipx from the outside: the third-party archives of the corpus extract to the bytes their
expected listings give (CRC-32 by zlib), archives built to climb out of the destination write
nothing outside it, and the exit codes and event lines are what the README says.

    tests/tools/zipx_test.py ZIPX [WINE-RUN]

With WINE-RUN, ZIPX is the Windows program and runs under Wine (a smaller set of checks, since
every start of a Windows program takes a while). Run from the project root.

The corpus is the folder named by KQ_TESTDATA, else ../shared/testdata beside the clone. Without
it the tests that need it are skipped, the run says so once, and when nothing else ran it exits
with 77, which CTest reports as a skipped test.
"""
import os
import subprocess
import sys
import tempfile
import unittest
import zlib

ZIPX = None
WINE_RUN = None


def testdata():
    """The corpus folder; relative to the project root."""
    return os.environ.get('KQ_TESTDATA') or os.path.join('..', 'shared', 'testdata')


TESTDATA = testdata()
NEEDS_TESTDATA = 'needs the third-party corpus (KQ_TESTDATA)'
needs_testdata = unittest.skipUnless(os.path.isfile(os.path.join(TESTDATA, 'MANIFEST.tsv')),
                                     NEEDS_TESTDATA)
# The exit status of a run in which every test was skipped (the test's SKIP_RETURN_CODE).
ALL_SKIPPED = 77
# Methods the engine decodes; others are reported and not written.
DECODED_METHODS = {0, 1, 2, 3, 4, 5, 6, 8}
# Passwords published for the archives (testdata/README.md).
PASSWORDS = {
    'recursiveextractor/TestDataEncryptedZipCrypto.zip': 'TestData',
    'libarchive/test_read_format_zip_traditional_encryption_data.zip': '12345678',
    'libarchive/test_option_passphrase.zip': 'pass1',
}
# Where the engine differs from the listing by rule: an archive whose end record is a Zip64
# one is refused (exit 3); an entry whose data is larger than declared (tttt.zip declares 256
# bytes and inflates to 39 MB) is not extracted; a file stored
# below a symbolic link's name is not written through it (the link is extracted as a file
# holding its target, so the folder cannot be made). Indexes are the catalogue's.
REFUSED = {'dotnet/fake64.zip'}
NOT_EXTRACTED = {'dotnet/tttt.zip': {0}, 'jwilk-recipe/dirsymlink.zip': {1}}


def run(*arguments, stdin=subprocess.DEVNULL, env=None):
    command = [ZIPX, *arguments]
    if WINE_RUN:
        command = [WINE_RUN, *command]
    done = subprocess.run(command, stdin=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          env=env, timeout=600)
    return done.returncode, done.stdout, done.stderr


def expected_listing(name):
    """(crc, size) of each entry of an expected listing, in its order."""
    rows = []
    with open(os.path.join(TESTDATA, 'expected', name + '.txt'), 'rb') as listing:
        for line in listing:
            if line.startswith(b'#') or not line.strip():
                continue
            crc, size, _ = line.rstrip(b'\n').split(b'\t', 2)
            rows.append((int(crc, 16), int(size)))
    return rows


def archives_with_listings():
    root = os.path.join(TESTDATA, 'expected')
    for source in sorted(os.listdir(root)):
        for listing in sorted(os.listdir(os.path.join(root, source))):
            yield source + '/' + listing[:-len('.txt')]


def listing_of(archive):
    """zipx l: one row per entry, (method, compressed, size, crc, datetime, attributes, path)."""
    code, out, err = run('l', archive)
    if code != 0:
        raise AssertionError('zipx l %s: exit %d %s' % (archive, code, err))
    rows = []
    for line in out.split(b'\n'):
        if line:
            method, packed, size, crc, when, attributes, path = line.split(b'\t', 6)
            rows.append((int(method), int(packed), int(size), int(crc, 16), when,
                         int(attributes, 16), path))
    return rows


def events(output):
    return [line.split(b'\t') for line in output.split(b'\n') if line]


def host_path(engine_path):
    """The file a path zipx printed names: the stand-in keeps names in code page 1252."""
    return engine_path.replace(b'\\', b'/').decode('cp1252')


def file_crc_size(path):
    with open(path, 'rb') as data:
        content = data.read()
    return zlib.crc32(content), len(content)


@needs_testdata
class NativeTestdata(unittest.TestCase):
    def test_archives_extract_to_their_listed_bytes(self):
        checked = 0
        for name in archives_with_listings():
            with self.subTest(archive=name):
                archive = os.path.join(TESTDATA, 'files', name)
                if name in REFUSED:
                    self.assertEqual(run('l', archive)[0], 3)
                    continue
                listing = listing_of(archive)
                not_extracted = NOT_EXTRACTED.get(name, set())
                # The catalogue agrees with the listing: the same CRC-32s and sizes.
                self.assertEqual(sorted((row[3], row[2]) for i, row in enumerate(listing)
                                        if i not in not_extracted),
                                 sorted(row for i, row in enumerate(expected_listing(name))
                                        if i not in not_extracted))
                with tempfile.TemporaryDirectory() as work:
                    destination = os.path.join(work, 'out')
                    options = ['-p', PASSWORDS[name]] if name in PASSWORDS else []
                    code, out, err = run('x', '-v', *options, archive, destination)
                    last_writer = {}
                    for event in events(out):
                        if event[0] == b'OnEndUnZip':
                            last_writer[event[2]] = int(event[1])
                    for path, index in last_writer.items():
                        self.assertEqual(file_crc_size(host_path(path)),
                                         (listing[index][3], listing[index][2]), path)
                    # Every entry of a decoded method was extracted; no other one was.
                    files = {i for i, row in enumerate(listing)
                             if row[6] and not row[6].endswith(b'\\')
                             and not (row[5] & 0x10 and row[2] == 0)}
                    wanted = {i for i in files if listing[i][0] in DECODED_METHODS}
                    wanted -= not_extracted
                    extracted = {int(e[1]) for e in events(out) if e[0] == b'OnEndUnZip'}
                    self.assertEqual(extracted & files, wanted, err)
                    self.assertEqual(code, 0 if wanted == files else 1, err)
                    checked += 1
        self.assertGreater(checked, 80)

    def test_traversal_archives_write_nothing_outside(self):
        with open(os.path.join(TESTDATA, 'MANIFEST.tsv'), encoding='utf-8') as manifest:
            rows = [line.split('\t') for line in manifest][1:]
        traversal = [row[0] for row in rows if '[C traversal]' in row[6]]
        self.assertGreater(len(traversal), 10)
        for path in traversal:
            with self.subTest(archive=path), tempfile.TemporaryDirectory() as work:
                # The stand-in's root is where a drive path would land.
                env = dict(os.environ, KQ_ROOT=os.path.join(work, 'root'))
                destination = os.path.join(work, 'out')
                code, _, err = run('x', os.path.join(TESTDATA, path), destination, env=env)
                self.assertIn(code, (0, 1), err)
                for folder, _, names in os.walk(work):
                    for name in names:
                        self.assertTrue(os.path.join(folder, name).startswith(destination + '/'),
                                        os.path.join(folder, name))

    def test_every_entry_of_the_legacy_archives_tests_good(self):
        with open(os.path.join(TESTDATA, 'MANIFEST.tsv'), encoding='utf-8') as manifest:
            legacy = [line.split('\t')[0] for line in manifest if '[A legacy]' in line]
        self.assertGreater(len(legacy), 15)
        for path in legacy:
            with self.subTest(archive=path):
                code, out, err = run('t', os.path.join(TESTDATA, path))
                self.assertEqual(code, 0, out + err)
                self.assertTrue(all(line.startswith(b'ok\t') for line in out.split(b'\n')
                                    if line), out)


@needs_testdata
class Interface(unittest.TestCase):
    ARCHIVE = os.path.join(TESTDATA, 'files', 'go', 'test.zip')
    SECRET = os.path.join('tests', 'unzip', 'extraction', 'fixtures', 'secret.zip')

    def test_exit_codes(self):
        cases = [
            ('no command', [], 2),
            ('unknown command', ['q', self.ARCHIVE], 2),
            ('missing destination', ['x', self.ARCHIVE], 2),
            ('unknown overwrite mode', ['x', '-o', 'sometimes', self.ARCHIVE, 'out'], 2),
            ('-v is for x', ['t', '-v', self.ARCHIVE], 2),
            ('not an archive', ['l', os.path.join(TESTDATA, 'files', 'commons-compress',
                                                  'invalid-zip.zip')], 3),
            ('missing archive', ['t', 'no-such.zip'], 3),
            ('all good', ['t', self.ARCHIVE], 0),
            ('wrong password', ['t', '-p', 'wrong', self.SECRET], 1),
            ('right password, one damaged entry', ['t', '-p', 'right', self.SECRET], 1),
        ]
        for name, arguments, code in cases:
            with self.subTest(case=name):
                self.assertEqual(run(*arguments)[0], code)

    def test_listing_and_verdicts(self):
        code, out, _ = run('l', self.ARCHIVE)
        self.assertEqual(code, 0)
        # Sizes and CRC-32s from the archive's expected listing, the time from zipinfo.
        self.assertEqual(out.decode().splitlines(), [
            '0\t785\t785\t54D531FE\t2017-07-18 22:56:26\t81A40000\tgophercolor16x16.png',
            '8\t25\t26\tC3EDD7C0\t2017-07-18 22:56:26\t81A40000\ttest.txt'])
        code, out, _ = run('t', '-p', 'right', self.SECRET)
        self.assertEqual(out.decode().splitlines(),
                         ['ok\tplain.txt', 'ok\tsecret.txt', 'srBadPassword\tdamaged.txt'])

    def test_events_and_the_prompt_on_the_console(self):
        with tempfile.TemporaryDirectory() as work:
            destination = os.path.join(work, 'out')
            shown_as = os.path.relpath(destination).replace('/', '\\')
            cases = [(None, 0, ['OnStartUnZipInfo\t1\t26', 'OnStartUnZip\t1\tD\\test.txt',
                                'OnFilePercentDone\t100', 'OnTotalPercentDone\t100',
                                'OnEndUnZip\t1\tD\\test.txt', 'OnUnZipComplete\t1']),
                     (b'n\n', 1, ['OnStartUnZipInfo\t1\t26', 'OnStartUnZip\t1\tD\\test.txt',
                                  'OnSkippingFile\tsrNoOverwrite\tD\\test.txt\t1\t0',
                                  'OnUnZipComplete\t0']),
                     (b'y\n', 0, None)]
            for answer, code, lines in cases:
                with self.subTest(answer=answer):
                    done = subprocess.run([ZIPX, 'x', '-v', '-o', 'prompt', self.ARCHIVE,
                                           destination, '*.TXT'], input=answer or b'',
                                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                    self.assertEqual(done.returncode, code)
                    if lines:
                        self.assertEqual(done.stdout.decode().replace(shown_as, 'D').splitlines(),
                                         lines)


@needs_testdata
class UnderWine(unittest.TestCase):
    def test_extract_list_and_test(self):
        with tempfile.TemporaryDirectory() as work:
            archive = os.path.join(TESTDATA, 'files', 'go', 'test.zip')
            code, out, err = run('x', '-v', 'Z:' + os.path.abspath(archive).replace('/', '\\'),
                                 'Z:' + os.path.join(work, 'out').replace('/', '\\'))
            self.assertEqual(code, 0, err)
            self.assertEqual(file_crc_size(os.path.join(work, 'out', 'test.txt')),
                             (0xC3EDD7C0, 26))
            self.assertEqual(file_crc_size(os.path.join(work, 'out', 'gophercolor16x16.png')),
                             (0x54D531FE, 785))
            self.assertEqual(os.stat(os.path.join(work, 'out', 'test.txt')).st_mtime % 60, 26)
            code, out, _ = run('t', '-p', 'wrong', os.path.join('tests', 'unzip', 'extraction',
                                                               'fixtures', 'secret.zip'))
            self.assertEqual((code, out.count(b'srBadPassword')), (1, 2))


if __name__ == '__main__':
    ZIPX = os.path.abspath(sys.argv[1])
    WINE_RUN = sys.argv[2] if len(sys.argv) > 2 else None
    tests = unittest.TestLoader().loadTestsFromTestCase(UnderWine) if WINE_RUN else (
        unittest.TestSuite([unittest.TestLoader().loadTestsFromTestCase(NativeTestdata),
                            unittest.TestLoader().loadTestsFromTestCase(Interface)]))
    result = unittest.TextTestRunner(verbosity=2).run(tests)
    skipped = sum(1 for _, reason in result.skipped if reason == NEEDS_TESTDATA)
    if skipped:
        print('third-party corpus not found at %s (set KQ_TESTDATA): %d %s skipped'
              % (TESTDATA, skipped, 'test' if skipped == 1 else 'tests'), file=sys.stderr)
    if not result.wasSuccessful():
        sys.exit(1)
    sys.exit(ALL_SKIPPED if skipped == result.testsRun else 0)
