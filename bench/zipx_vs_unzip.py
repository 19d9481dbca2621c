#!/usr/bin/env python3
"""Extraction speed of zipx against Info-ZIP unzip on one large generated archive.

    bench/zipx_vs_unzip.py ZIPX WORK [--megabytes N] [--files N] [--repetitions N]

Makes (once, kept in WORK) a folder of generated files, thousands of them and hundreds of MB in
all, and two archives of it made by Info-ZIP zip: deflated, and deflated with the traditional
encryption. Then, for each archive, extracts it with `zipx x` and with `unzip -o -q` in turns,
each into a fresh folder, and prints every time, the best and the median of each, and the
ratios (zipx time / unzip time; below 1 zipx is faster). The two run in turns so that a change
of load on the machine falls on both. Both write the same files, which are checked after the
first turn: the same names and the same bytes.
"""
import argparse
import filecmp
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

PASSWORD = 'bench-password'
WORDS = ('the setup archive window of entry bytes and a folder file install to program is with '
         'which data for shortcut on desktop in license agreement user Kavoru Qyn registry '
         'value uninstall log progress page button language translation').split()


def text_bytes(rng, size):
    # Zipf-like word choice: early words are far more frequent, as in text.
    out = []
    length = 0
    while length < size:
        word = WORDS[min(int(rng.paretovariate(1.2)) - 1, len(WORDS) - 1)]
        out.append(word)
        length += len(word) + 1
        if rng.random() < 0.08:
            out.append('%d\r\n' % rng.randrange(100000))
            length += 8
    return ' '.join(out).encode()[:size]


def binary_bytes(rng, size):
    # Records of a program-like file: repeated structure with varying fields.
    record = bytearray()
    while len(record) < size:
        record += rng.randrange(1 << 16).to_bytes(2, 'little') * 2
        record += bytes([rng.randrange(8)] * rng.randrange(1, 12))
        record += rng.randbytes(rng.randrange(0, 6))
    return bytes(record[:size])


def make_tree(folder, megabytes, files):
    rng = random.Random(20261207)
    total = megabytes * 1024 * 1024
    mean = total // files
    written = 0
    for i in range(files):
        size = max(0, min(int(rng.expovariate(1 / mean)), 8 * mean))
        if i == files - 1:
            size = max(0, total - written)
        sub = os.path.join(folder, 'dir%02d' % (i % 37), 'sub%d' % (i % 5))
        os.makedirs(sub, exist_ok=True)
        kind = i % 4
        data = binary_bytes(rng, size) if kind == 3 else text_bytes(rng, size)
        with open(os.path.join(sub, 'file%05d.%s' % (i, 'bin' if kind == 3 else 'txt')),
                  'wb') as out:
            out.write(data)
        written += size


def prepare(work, megabytes, files):
    tree = os.path.join(work, 'tree-%dM-%d' % (megabytes, files))
    plain = tree + '.zip'
    secret = tree + '-encrypted.zip'
    if not os.path.isdir(tree):
        print('making %d files, %d MB ...' % (files, megabytes), flush=True)
        make_tree(tree + '.partial', megabytes, files)
        os.rename(tree + '.partial', tree)
    for archive, options in ((plain, []), (secret, ['-P', PASSWORD])):
        if not os.path.exists(archive):
            print('zipping %s ...' % os.path.basename(archive), flush=True)
            subprocess.run(['zip', '-q', '-r', '-X', *options, archive + '.partial', '.'],
                           cwd=tree, check=True)
            os.rename(archive + '.partial', archive)
    return tree, plain, secret


def timed(command, output):
    shutil.rmtree(output, ignore_errors=True)
    os.makedirs(output)
    started = time.perf_counter()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - started
    if done.returncode != 0:
        sys.exit('%s failed (%d): %s' % (command[0], done.returncode, done.stderr.decode()))
    return elapsed


def same_trees(a, b):
    comparison = filecmp.dircmp(a, b)
    pending = [comparison]
    while pending:
        c = pending.pop()
        if c.left_only or c.right_only or c.funny_files:
            return False
        _, mismatch, errors = filecmp.cmpfiles(c.left, c.right, c.common_files, shallow=False)
        if mismatch or errors:
            return False
        pending.extend(c.subdirs.values())
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('zipx')
    parser.add_argument('work')
    parser.add_argument('--megabytes', type=int, default=300)
    parser.add_argument('--files', type=int, default=3000)
    parser.add_argument('--repetitions', type=int, default=5)
    arguments = parser.parse_args()
    arguments.work = os.path.abspath(arguments.work)
    os.makedirs(arguments.work, exist_ok=True)
    tree, plain, secret = prepare(arguments.work, arguments.megabytes, arguments.files)
    print('archives: %s (%d MB), %s (%d MB)' % (
        os.path.basename(plain), os.path.getsize(plain) >> 20,
        os.path.basename(secret), os.path.getsize(secret) >> 20))

    zipx = os.path.abspath(arguments.zipx)
    out_zipx = os.path.join(arguments.work, 'out-zipx')
    out_unzip = os.path.join(arguments.work, 'out-unzip')
    for name, archive, password in (('deflated', plain, None), ('encrypted', secret, PASSWORD)):
        x_options = ['-p', password] if password else []
        u_options = ['-P', password] if password else []
        times = {'zipx': [], 'unzip': []}
        for turn in range(arguments.repetitions):
            times['zipx'].append(timed([zipx, 'x', *x_options, archive, out_zipx], out_zipx))
            times['unzip'].append(timed(['unzip', '-o', '-q', *u_options, archive, '-d',
                                         out_unzip], out_unzip))
            if turn == 0 and not (same_trees(out_zipx, tree) and same_trees(out_unzip, tree)):
                sys.exit('%s: the extracted files differ from the originals' % name)
        print('%s:' % name)
        for tool, values in times.items():
            print('  %-5s %s  best %.2f s  median %.2f s' % (
                tool, ' '.join('%.2f' % v for v in values), min(values),
                statistics.median(values)))
        print('  ratio zipx/unzip: best %.2f, median %.2f' % (
            min(times['zipx']) / min(times['unzip']),
            statistics.median(times['zipx']) / statistics.median(times['unzip'])), flush=True)
    shutil.rmtree(out_zipx, ignore_errors=True)
    shutil.rmtree(out_unzip, ignore_errors=True)


if __name__ == '__main__':
    main()
