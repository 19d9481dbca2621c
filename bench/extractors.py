#!/usr/bin/env python3
"""zipx against the extractors a user could pick instead, side by side.

    bench/extractors.py ZIPX WORK [--runs N] [--only NAME,...] [--tools NAME,...] [--no-mount]

Builds (once, kept in WORK) four archives with Info-ZIP zip:

  app        a realistic application tree of about 330 MB and thousands of files (programs and
             libraries, headers and scripts, documentation, pictures, translations, fonts),
             copied from this machine's /usr in a fixed order, deflated
  encrypted  the same tree, deflated and encrypted with the traditional cipher (zip -P)
  stored     the same tree, stored (zip -0)
  tiny       10,000 generated files of a few hundred bytes each, deflated

Then extracts each archive with every tool (zipx, Info-ZIP unzip, 7z x, bsdtar, Python's
zipfile) into an empty folder, in turns (zipx, unzip, 7z, ..., zipx, unzip, 7z, ...), so that a
change of load on the machine falls on all of them alike. The previous output is deleted, and the
file system synced, before each run and outside its time. The folder lives on a fresh ext4 image
mounted on a loop device when the script runs as root (freed inodes on a long-used file system
make later runs slower than earlier ones); otherwise in WORK, with a warning.

Prints, per archive and tool, the median wall time, its ratio to zipx's median (above 1: zipx is
faster) and the largest peak resident memory of the runs. zipx's output is compared with the
original tree after its first run of each archive, and every tool's output is counted.
"""
import argparse
import hashlib
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

PASSWORD = 'bench-Passw0rd'

# Where the application tree comes from: folder under /usr and the megabytes taken from it.
SOURCES = (
    ('lib/x86_64-linux-gnu', 150),  # programs' libraries
    ('lib/python3.11', 40),  # scripts and compiled scripts
    ('include', 45),  # headers
    ('share/doc', 30),  # documentation, much of it already compressed
    ('share/icons', 25),  # pictures
    ('share/locale', 25),  # translations
    ('share/fonts', 15),  # fonts
)
LARGEST_FILE = 8 << 20
TINY_FILES = 10000

# Names Windows cannot hold, or that the engine would rename: such files are left out, so that
# every tool writes the same tree.
DEVICE = re.compile(r'^(con|prn|aux|nul|com[0-9]|lpt[0-9]|conin\$|conout\$)(\..*)?$', re.I)
SAFE = re.compile(r'^[A-Za-z0-9 !#$%&\'()+,\-.;=@\[\]^_`{}~]+$')


def safe_name(relative):
    for part in relative.split('/'):
        if not SAFE.match(part) or DEVICE.match(part) or part.endswith(('.', ' ')):
            return False
    return True


def pick_files(usr):
    """The files of the tree: from each source, in an order fixed by their names' hashes, until
    its share is reached."""
    chosen = []
    seen = set()
    for folder, megabytes in SOURCES:
        root = os.path.join(usr, folder)
        candidates = []
        for here, dirs, files in os.walk(root):
            dirs.sort()
            for name in files:
                path = os.path.join(here, name)
                if os.path.islink(path) or not os.path.isfile(path):
                    continue
                size = os.path.getsize(path)
                relative = os.path.relpath(path, usr)
                if size > LARGEST_FILE or not safe_name(relative) or not os.access(path, os.R_OK):
                    continue
                candidates.append((hashlib.sha1(relative.encode()).hexdigest(), relative, size))
        candidates.sort()
        budget = megabytes << 20
        for _, relative, size in candidates:
            if size > budget:
                continue
            folded = relative.lower()
            if folded in seen:  # one of two names that differ in case only: Windows keeps one
                continue
            # A file whose name is also a folder of the tree cannot be made on any system.
            seen.add(folded)
            chosen.append(relative)
            budget -= size
            if budget < 4096:
                break
    # No chosen path may be the folder of another.
    folders = set()
    for relative in chosen:
        parts = relative.lower().split('/')
        for i in range(1, len(parts)):
            folders.add('/'.join(parts[:i]))
    return [r for r in chosen if r.lower() not in folders]


def make_app_tree(folder, usr='/usr'):
    files = pick_files(usr)
    stamp = 1700000000  # 2023-11-14, a fixed time for every file
    for relative in files:
        target = os.path.join(folder, relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(usr, relative), target)
        os.chmod(target, 0o644)
        os.utime(target, (stamp, stamp))
    return len(files)


def make_tiny_tree(folder):
    words = ('setup archive window entry bytes folder file install program data shortcut '
             'desktop license agreement user registry value uninstall progress page').split()
    state = 12345
    for i in range(TINY_FILES):
        sub = os.path.join(folder, 'module%03d' % (i // 100))
        os.makedirs(sub, exist_ok=True)
        text = []
        for _ in range(20 + i % 60):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            text.append(words[state % len(words)])
        with open(os.path.join(sub, 'item%05d.txt' % i), 'w') as out:
            out.write(' '.join(text) + '\r\n')
        os.utime(os.path.join(sub, 'item%05d.txt' % i), (1700000000, 1700000000))


def zip_tree(tree, archive, options):
    if os.path.exists(archive):
        return
    print('zipping %s ...' % os.path.basename(archive), flush=True)
    partial = archive + '.partial'
    if os.path.exists(partial):
        os.remove(partial)
    subprocess.run(['zip', '-q', '-r', '-X', *options, partial, '.'], cwd=tree, check=True)
    os.rename(partial, archive)


def prepare(work):
    trees = {}
    for name, maker in (('app', make_app_tree), ('tiny', make_tiny_tree)):
        tree = os.path.join(work, name + '-tree')
        if not os.path.isdir(tree):
            print('assembling the %s tree ...' % name, flush=True)
            shutil.rmtree(tree + '.partial', ignore_errors=True)
            maker(tree + '.partial')
            os.rename(tree + '.partial', tree)
        trees[name] = tree
    archives = [
        ('app', trees['app'], os.path.join(work, 'app.zip'), [], None),
        ('encrypted', trees['app'], os.path.join(work, 'app-encrypted.zip'), ['-P', PASSWORD],
         PASSWORD),
        ('stored', trees['app'], os.path.join(work, 'app-stored.zip'), ['-0'], None),
        ('tiny', trees['tiny'], os.path.join(work, 'tiny.zip'), [], None),
    ]
    for _, tree, archive, options, _ in archives:
        zip_tree(tree, archive, options)
    return archives


# --- The tools ----------------------------------------------------------------------------------

PYTHON_EXTRACT = ('import sys, zipfile\n'
                  'pwd = sys.argv[3].encode() if len(sys.argv) > 3 else None\n'
                  'zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2], pwd=pwd)\n')


def commands(zipx, archive, output, password, reference=None, baseline=None):
    yield 'zipx', [zipx, 'x', *(['-p', password] if password else []), archive, output]
    if baseline:
        # Another build of zipx (an earlier commit's), timed in the same turns.
        yield 'before', [baseline, 'x', *(['-p', password] if password else []), archive, output]
    if reference:
        yield 'limit', [reference, archive, output, *([password] if password else [])]
    yield 'unzip', ['unzip', '-q', '-o', *(['-P', password] if password else []), archive,
                    '-d', output]
    yield '7z', ['7z', 'x', '-y', '-bso0', '-bsp0', '-o' + output,
                 *(['-p' + password] if password else []), archive]
    yield 'bsdtar', ['bsdtar', '-x', '-f', archive, '-C', output,
                     *(['--passphrase', password] if password else [])]
    yield 'python', [sys.executable, '-c', PYTHON_EXTRACT, archive, output,
                     *([password] if password else [])]


def available(tool, zipx, reference=None, baseline=None):
    if tool == 'limit':
        return reference is not None and os.access(reference, os.X_OK)
    if tool == 'before':
        return baseline is not None and os.access(baseline, os.X_OK)
    return shutil.which({'python': sys.executable, 'zipx': zipx}.get(tool, tool)) is not None


def clear(output):
    shutil.rmtree(output, ignore_errors=True)
    os.makedirs(output)
    os.sync()


def timed(command, cwd, work):
    """Wall time and peak resident memory (KiB) of one run; None when it failed.

    The peak comes from GNU time, a small program: a child forked from this Python process
    would carry the parent's resident size into its own peak."""
    report = os.path.join(work, 'peak.txt')
    started = time.perf_counter()
    done = subprocess.run(['/usr/bin/time', '-f', '%M', '-o', report, *command], cwd=cwd,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - started
    if done.returncode != 0:
        print('  %s failed (%d): %s' % (command[0], done.returncode,
                                        done.stderr.decode(errors='replace')[:300]), flush=True)
        return None
    with open(report) as peak:
        return elapsed, int(peak.read().split()[-1])


def count_files(folder):
    return sum(len(files) for _, _, files in os.walk(folder))


def same_trees(a, b):
    for here, dirs, files in os.walk(a):
        other = os.path.join(b, os.path.relpath(here, a))
        for name in files:
            x, y = os.path.join(here, name), os.path.join(other, name)
            if not os.path.isfile(y) or os.path.getsize(x) != os.path.getsize(y):
                return False
            with open(x, 'rb') as fx, open(y, 'rb') as fy:
                while True:
                    bx, by = fx.read(1 << 20), fy.read(1 << 20)
                    if bx != by:
                        return False
                    if not bx:
                        break
    return count_files(a) == count_files(b)


# --- The output file system ----------------------------------------------------------------------

class Scratch:
    """A fresh ext4 image on a loop device, or a plain folder when that cannot be had."""

    def __init__(self, work, mount):
        self.work = work
        self.mounted = None
        self.image = os.path.join(work, 'scratch.ext4')
        self.folder = os.path.join(work, 'scratch')
        if mount and os.geteuid() == 0:
            try:
                self._mount()
                return
            except (OSError, subprocess.CalledProcessError) as error:
                print('warning: no loop device (%s); writing to %s on the root file system, '
                      'where later runs slow down' % (error, self.folder), flush=True)
        elif mount:
            print('warning: not root, so no loop device; writing to %s on the root file '
                  'system, where later runs slow down' % self.folder, flush=True)
        os.makedirs(self.folder, exist_ok=True)

    def _mount(self):
        os.makedirs(self.folder, exist_ok=True)
        if os.path.ismount(self.folder):
            subprocess.run(['umount', self.folder], check=True)
        if os.path.exists(self.image):
            os.remove(self.image)
        with open(self.image, 'wb') as image:
            image.truncate(3 << 30)
        subprocess.run(['mkfs.ext4', '-q', '-F', '-E', 'lazy_itable_init=0,lazy_journal_init=0',
                        self.image], check=True)
        subprocess.run(['mount', '-o', 'loop', self.image, self.folder], check=True)
        self.mounted = self.folder
        print('outputs on a fresh ext4 image mounted at %s' % self.folder, flush=True)

    def close(self):
        if self.mounted:
            subprocess.run(['umount', self.mounted], check=False)
            os.remove(self.image)


# --- The table ----------------------------------------------------------------------------------

def bench_archive(label, tree, archive, password, zipx, tools, runs, scratch, python_budget,
                  reference=None, baseline=None):
    print('\n%s: %s, %d MB, %d files' % (label, os.path.basename(archive),
                                          os.path.getsize(archive) >> 20, count_files(tree)),
          flush=True)
    expected = count_files(tree)
    results = {}
    for turn in range(runs):
        for tool, command in commands(zipx, archive, 'out', password, reference, baseline):
            if tool not in tools:
                continue
            done = results.setdefault(tool, [])
            # Python decrypts in Python: a few runs say enough when one takes minutes.
            if tool == 'python' and done and sum(t for t, _ in done) > python_budget:
                continue
            output = os.path.join(scratch.folder, 'out')
            clear(output)
            result = timed(command, scratch.folder, scratch.work)
            if result is None:
                continue
            if turn == 0:
                found = count_files(output)
                if found != expected:
                    print('  %s wrote %d files, not %d' % (tool, found, expected), flush=True)
                if tool in ('zipx', 'limit') and not same_trees(tree, output):
                    sys.exit('%s: %s wrote other bytes than the originals' % (label, tool))
            done.append(result)
    shutil.rmtree(os.path.join(scratch.folder, 'out'), ignore_errors=True)
    return results


def print_table(table, runs):
    print('\nMedian wall time of %d runs taken in turns; ratio = tool / zipx (above 1: zipx is '
          'faster); peak = the largest peak resident memory; limit = the reference extractor '
          '(bench/reference_extract.cpp), not a peer' % runs)
    print('%-10s %-7s %8s %7s %9s %s' % ('archive', 'tool', 'median', 'ratio', 'peak', 'runs'))
    for label, results in table:
        base = statistics.median(t for t, _ in results['zipx']) if results.get('zipx') else None
        fastest_peer = None
        for tool, values in results.items():
            if not values:
                print('%-10s %-7s %8s' % (label, tool, 'failed'))
                continue
            median = statistics.median(t for t, _ in values)
            if tool not in ('zipx', 'limit', 'before') and (fastest_peer is None or
                                                  median < fastest_peer[1]):
                fastest_peer = (tool, median)
            ratio = '%7.2f' % (median / base) if base else '      -'
            peak = max(m for _, m in values) / 1024
            print('%-10s %-7s %7.3fs %s %7.1f MiB %d' % (label, tool, median, ratio, peak,
                                                          len(values)))
        if base and fastest_peer:
            print('%-10s zipx / fastest peer (%s): %.2f' % (label, fastest_peer[0],
                                                             base / fastest_peer[1]))
        for other in ('limit', 'before'):
            if results.get('zipx') and results.get(other):
                # Pair by pair: the runs of one turn saw the same machine.
                pairs = [z / o for (z, _), (o, _) in zip(results['zipx'], results[other])]
                print('%-10s zipx / %s: %.2f (median of %d pairs; %.2f to %.2f)' % (
                    label, other, statistics.median(pairs), len(pairs), min(pairs), max(pairs)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('zipx')
    parser.add_argument('work')
    parser.add_argument('--runs', type=int, default=5)
    parser.add_argument('--only', default='app,encrypted,stored,tiny',
                        help='archives, comma-separated')
    parser.add_argument('--tools', default='zipx,limit,unzip,7z,bsdtar,python',
                        help='tools, comma-separated')
    parser.add_argument('--reference', help='the reference extractor (bench_reference), whose '
                        'time is the limit column')
    parser.add_argument('--baseline', help='another build of zipx (an earlier commit\'s), timed in '
                        'the same turns as the "before" row')
    parser.add_argument('--no-mount', action='store_true',
                        help='write into WORK instead of a loop-mounted image')
    parser.add_argument('--python-budget', type=float, default=60,
                        help='seconds of Python runs per archive after which it runs no more')
    arguments = parser.parse_args()
    work = os.path.abspath(arguments.work)
    os.makedirs(work, exist_ok=True)
    zipx = os.path.abspath(arguments.zipx)
    if not os.access('/usr/bin/time', os.X_OK):
        sys.exit('GNU time (/usr/bin/time, Debian package time) is needed for the peak memory')
    reference = os.path.abspath(arguments.reference) if arguments.reference else None
    baseline = os.path.abspath(arguments.baseline) if arguments.baseline else None
    if baseline and 'before' not in arguments.tools.split(','):
        arguments.tools += ',before'
    tools = [t for t in arguments.tools.split(',') if available(t, zipx, reference, baseline)]
    missing = set(arguments.tools.split(',')) - set(tools)
    if missing:
        print('warning: not installed, left out: %s' % ', '.join(sorted(missing)))
    archives = [a for a in prepare(work) if a[0] in arguments.only.split(',')]

    print('machine: %d cores, %s; load average %.2f %.2f %.2f' % (
        os.cpu_count(), cpu_model(), *os.getloadavg()), flush=True)
    scratch = Scratch(work, not arguments.no_mount)
    table = []
    try:
        for label, tree, archive, _, password in archives:
            table.append((label, bench_archive(label, tree, archive, password, zipx, tools,
                                               arguments.runs, scratch,
                                               arguments.python_budget, reference,
                                               baseline)))
    finally:
        scratch.close()
    print_table(table, arguments.runs)
    print('load average at the end: %.2f %.2f %.2f' % os.getloadavg())


def cpu_model():
    try:
        with open('/proc/cpuinfo') as info:
            for line in info:
                if line.startswith('model name'):
                    return line.split(':', 1)[1].strip()
    except OSError:
        pass
    return 'unknown processor'


if __name__ == '__main__':
    main()
