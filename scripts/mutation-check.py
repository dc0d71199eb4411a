#!/usr/bin/env python3
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT
"""Small mutation check: do the tests notice when the code is subtly wrong?

  mutation-check.py run --source src/config --build-dir build/mutation \
      --target config_tests --test 'build/mutation/bin/config_tests' \
      --output build/mutation/before-config.txt
  mutation-check.py compare before-config.txt after-config.txt

"run" makes one small change (a mutant) at a time in a .cpp file of the source
folder, rebuilds the one test target and runs its tests. A mutant is "killed" when
the tests fail or time out, "survived" when they pass, and "stillborn" when it does
not compile (those are not counted). The sample is chosen from the source text
alone, so two runs over the same sources try exactly the same mutants: that is what
lets "compare" tell whether a rewritten test suite lets through a fault the old one
caught. "compare" exits 1 if any mutant killed in the first file survives in the
second.
"""

import argparse
import os
import random
import re
import shlex
import signal
import subprocess
import sys
import time

# Fixed so that a rerun picks the same sample; change it only together with every
# result file that is to be compared.
SAMPLE_SEED = 20261208

# Comparisons and logical operators are mutated only with a blank on both sides:
# the code is written that way, while template brackets (std::vector<int>) and
# forwarding references (T&& x) are not, and mutating those only yields mutants that
# do not compile and cost a build each.
SPACED_SWAPS = {'<': '<=', '<=': '<', '>': '>=', '>=': '>',
                '==': '!=', '!=': '==', '&&': '||', '||': '&&'}
SPACED_OPERATOR = re.compile(r'(?<= )(<=|>=|==|!=|&&|\|\||<|>)(?= )')
BOOLEAN = re.compile(r'\b(true|false)\b')
# A decimal integer with an optional suffix; not a digit of a name, a hex or
# floating literal.
INTEGER = re.compile(r'(?<![\w.])(\d+)([uUlL]*)(?![\w.])')


def code_mask(text):
    """Return a list of booleans: True where text[i] is code, False where it is a
    comment, a string or character literal, or a preprocessor line."""
    mask = [True] * len(text)
    i, n = 0, len(text)
    at_line_start = True

    def blank(start, end):
        for k in range(start, min(end, n)):
            mask[k] = False

    while i < n:
        c = text[i]
        if c == '\n':
            at_line_start = True
            i += 1
            continue
        if at_line_start and c in ' \t':
            i += 1
            continue
        if at_line_start and c == '#':
            # A directive runs to the end of the line, continued by a backslash.
            end = i
            while end < n and not (text[end] == '\n' and text[end - 1] != '\\'):
                end += 1
            blank(i, end)
            i = end
            continue
        at_line_start = False
        if text.startswith('//', i):
            end = text.find('\n', i)
            end = n if end < 0 else end
            blank(i, end)
            i = end
        elif text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
            blank(i, end)
            i = end
        elif c == '"' and i > 0 and text[i - 1] == 'R':
            # Raw string: R"delim( ... )delim"
            open_paren = text.find('(', i)
            delim = text[i + 1:open_paren]
            end = text.find(')' + delim + '"', open_paren)
            end = n if end < 0 else end + len(delim) + 2
            blank(i, end)
            i = end
        elif c in '"\'':
            end = i + 1
            while end < n and text[end] != c and text[end] != '\n':
                end += 2 if text[end] == '\\' else 1
            blank(i, end + 1)
            i = end + 1
        else:
            i += 1
    return mask


def find_mutants(path, root):
    """All mutants of one file as (relpath, offset, line, column, original, replacement)."""
    with open(path, encoding='utf-8') as f:
        text = f.read()
    mask = code_mask(text)
    rel = os.path.relpath(path, root)
    found = []

    def add(start, original, replacement):
        if not all(mask[start:start + len(original)]):
            return
        line = text.count('\n', 0, start) + 1
        column = start - (text.rfind('\n', 0, start) + 1) + 1
        found.append((rel, start, line, column, original, replacement))

    for m in SPACED_OPERATOR.finditer(text):
        add(m.start(), m.group(1), SPACED_SWAPS[m.group(1)])
    for m in BOOLEAN.finditer(text):
        add(m.start(), m.group(1), 'false' if m.group(1) == 'true' else 'true')
    for m in INTEGER.finditer(text):
        add(m.start(1), m.group(1), str(int(m.group(1)) + 1))
    found.sort(key=lambda mutant: mutant[1])
    return found


def choose_sample(source, root, count):
    """Spread count mutants over the folder's .cpp files: each file's mutants are
    shuffled with a fixed seed and the files are then taken in turn."""
    files = sorted(os.path.join(source, name) for name in os.listdir(source)
                   if name.endswith('.cpp'))
    rng = random.Random(SAMPLE_SEED)
    queues = []
    for path in files:
        mutants = find_mutants(path, root)
        rng.shuffle(mutants)
        queues.append(mutants)
    sample = []
    while len(sample) < count and any(queues):
        for queue in queues:
            if queue and len(sample) < count:
                sample.append(queue.pop())
    return sample


def mutant_key(mutant):
    rel, _, line, column, original, replacement = mutant
    return f'{rel}:{line}:{column}\t{original} -> {replacement}'


class CFileRestorer:
    """Puts a source file back as it was, whatever ends the mutant's run. A copy
    waits in the build folder too, so that a run killed outright can be mended
    by the next one."""

    def __init__(self, build_dir):
        self.pending = os.path.join(build_dir, 'mutation-pending')
        self.path = None
        self.original = None

    def recover_leftover(self):
        if not os.path.exists(self.pending):
            return
        with open(self.pending, 'rb') as f:
            path, _, original = f.read().partition(b'\0')
        with open(path.decode(), 'wb') as f:
            f.write(original)
        os.remove(self.pending)
        print(f'restored {path.decode()} left mutated by an earlier run', file=sys.stderr)

    def mutate(self, path, offset, original, replacement):
        with open(path, 'rb') as f:
            self.original = f.read()
        self.path = path
        with open(self.pending, 'wb') as f:
            f.write(path.encode() + b'\0' + self.original)
        text = self.original.decode('utf-8')
        assert text[offset:offset + len(original)] == original, 'source changed under the sample'
        with open(path, 'w', encoding='utf-8') as f:
            f.write(text[:offset] + replacement + text[offset + len(original):])

    def restore(self):
        if self.path is None:
            return
        with open(self.path, 'wb') as f:
            f.write(self.original)
        os.remove(self.pending)
        self.path = None


def finishes_cleanly(command, timeout, env=None):
    """True if the command exits with 0 within the time limit. It runs in its own
    process group, so that a hung test or compiler and all it started can be ended."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=env, start_new_session=True)
    try:
        return process.wait(timeout=timeout) == 0
    except subprocess.TimeoutExpired:
        return False
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def build(build_dir, target, timeout):
    return finishes_cleanly(['cmake', '--build', build_dir, '--target', target], timeout)


def tests_pass(command, timeout):
    # Fail fast: the first failing test is enough to call the mutant killed.
    return finishes_cleanly(shlex.split(command), timeout, dict(os.environ, GTEST_FAIL_FAST='1'))


def interrupt(signum, frame):
    raise KeyboardInterrupt


def run(args):
    # Ctrl-C and kill both end up in the finally below, which restores the file.
    signal.signal(signal.SIGTERM, interrupt)
    root = os.path.abspath(args.root)
    restorer = CFileRestorer(args.build_dir)
    restorer.recover_leftover()
    sample = choose_sample(args.source, root, args.sample)
    if args.list:
        for mutant in sample:
            print(mutant_key(mutant))
        return 0
    # A failing suite would "kill" every mutant and prove nothing.
    if not build(args.build_dir, args.target, args.build_timeout) or \
            not tests_pass(args.test, args.test_timeout):
        print('the unmutated sources do not build or their tests fail', file=sys.stderr)
        return 2
    counts = {'killed': 0, 'survived': 0, 'stillborn': 0}
    started = time.monotonic()
    with open(args.output, 'w', encoding='utf-8') as out:
        out.write(f'# source {args.source}, target {args.target}, test {args.test}, '
                  f'sample {args.sample}, seed {SAMPLE_SEED}\n')
        for number, mutant in enumerate(sample, 1):
            rel, offset, _, _, original, replacement = mutant
            try:
                restorer.mutate(os.path.join(root, rel), offset, original, replacement)
                if not build(args.build_dir, args.target, args.build_timeout):
                    status = 'stillborn'
                elif tests_pass(args.test, args.test_timeout):
                    status = 'survived'
                else:
                    status = 'killed'
            finally:
                restorer.restore()
            counts[status] += 1
            out.write(f'{status}\t{mutant_key(mutant)}\n')
            out.flush()
            print(f'[{number}/{len(sample)} {time.monotonic() - started:.0f}s] '
                  f'{status} {mutant_key(mutant)}', flush=True)
        # Leave the build as the sources are, for whoever uses the folder next.
        build(args.build_dir, args.target, args.build_timeout)
        total = counts['killed'] + counts['survived']
        summary = (f'killed {counts["killed"]} of {total} '
                   f'({counts["survived"]} survived, {counts["stillborn"]} stillborn)')
        out.write(summary + '\n')
    print(summary)
    return 0


def read_results(path):
    results = {}
    with open(path, encoding='utf-8') as f:
        for line in f:
            status, sep, key = line.rstrip('\n').partition('\t')
            if sep and status in ('killed', 'survived', 'stillborn'):
                results[key] = status
    return results


def compare(args):
    before, after = read_results(args.before), read_results(args.after)
    lost = [key for key, status in before.items()
            if status == 'killed' and after.get(key) != 'killed']
    for key in lost:
        print(f'{after.get(key, "missing")}\t{key}\t(killed in {args.before})')
    kills = [sum(status == 'killed' for status in r.values()) for r in (before, after)]
    print(f'killed {kills[0]} before, {kills[1]} after; {len(lost)} no longer killed')
    return 1 if lost else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    modes = parser.add_subparsers(dest='mode', required=True)
    run_mode = modes.add_parser('run', help='try a sample of mutants against the tests')
    run_mode.add_argument('--source', required=True, help='folder whose .cpp files are mutated')
    run_mode.add_argument('--build-dir', required=True, help='configured CMake build folder')
    run_mode.add_argument('--target', required=True, help='test target to rebuild')
    run_mode.add_argument('--test', required=True, help='command that runs the tests')
    run_mode.add_argument('--output', required=True, help='result file to write')
    run_mode.add_argument('--root', default='.', help='folder the file names are relative to')
    run_mode.add_argument('--sample', type=int, default=30, help='how many mutants')
    run_mode.add_argument('--test-timeout', type=float, default=120,
                          help='seconds before a test run counts as hung (killed)')
    run_mode.add_argument('--build-timeout', type=float, default=900)
    run_mode.add_argument('--list', action='store_true', help='only print the sample')
    compare_mode = modes.add_parser('compare', help='fail if a killed mutant now survives')
    compare_mode.add_argument('before')
    compare_mode.add_argument('after')
    args = parser.parse_args()
    try:
        return run(args) if args.mode == 'run' else compare(args)
    except KeyboardInterrupt:
        print('interrupted; the source file was restored', file=sys.stderr)
        return 130


if __name__ == '__main__':
    sys.exit(main())
