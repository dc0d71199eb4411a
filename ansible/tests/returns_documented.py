#!/usr/bin/env python3
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT
"""Compares what a module returned in a real run with its RETURN documentation.

    returns_documented.py MODULE RESULT.json

Every key of the result that is not one of Ansible's common return values must be
documented, and every key documented as returned "always" must be there. Exits 1 and
names the keys when they disagree.
"""
import json
import subprocess
import sys

# Keys Ansible itself adds or documents for every module.
COMMON = {'changed', 'failed', 'msg', 'rc', 'diff', 'invocation', 'warnings', 'deprecations',
          'skipped', 'skip_reason'}


def documented_returns(module):
    out = subprocess.run(['ansible-doc', '--json', '-t', 'module', module],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)[module].get('return') or {}


def disagreements(documented, result):
    """The problems between a RETURN block and one result, as readable lines."""
    returned = {key for key in result if key not in COMMON and not key.startswith('_ansible')}
    problems = ['returns %r, which RETURN does not document' % key for key in sorted(returned - set(documented))]
    for key, entry in sorted(documented.items()):
        if entry.get('returned') == 'always' and key not in result:
            problems.append('RETURN says %r is returned always, but the run did not return it' % key)
    return problems


def main():
    module, result_file = sys.argv[1], sys.argv[2]
    with open(result_file, encoding='utf-8') as stream:
        result = json.load(stream)
    problems = disagreements(documented_returns(module), result)
    for problem in problems:
        print('%s: %s' % (module, problem), file=sys.stderr)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
