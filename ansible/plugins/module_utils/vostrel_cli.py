# -*- coding: utf-8 -*-
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT
"""What the modules share: running vostrel-cli --json and reading its document."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json

# The options every module takes to reach a scanner.
LINK_ARGUMENTS = dict(
    executable=dict(type='str', default='vostrel-cli'),
    port=dict(type='str'),
    baud=dict(type='int'),
    timeout=dict(type='int'),
    ca=dict(type='path'),
    cert=dict(type='path'),
    key=dict(type='path', no_log=False),
)

# vostrel-cli's exit status when a comparison found differences.
EXIT_DIFFERENT = 6


def link_options(params):
    """The command-line options that say which scanner to reach and how."""
    options = []
    for name in ('port', 'baud', 'timeout', 'ca', 'cert', 'key'):
        if params.get(name) is not None:
            options += ['--' + name, str(params[name])]
    return options


def run_cli(module, command, arguments, accepted=(0,)):
    """Runs one vostrel-cli command with --json; fails the task with the command's own
    message unless its exit status is in `accepted`. Returns (status, document)."""
    executable = module.params['executable']
    if '/' not in executable:
        executable = module.get_bin_path(executable, required=True)
    status, out, err = module.run_command([executable, command, '--json'] + arguments)
    try:
        document = json.loads(out)
    except ValueError:
        module.fail_json(msg='vostrel-cli printed no JSON document: %s' % (err or out).strip(), rc=status)
    if status not in accepted:
        error = document.get('error') or {}
        message = error.get('message') or err.strip() or 'vostrel-cli %s exited with %d' % (command, status)
        module.fail_json(msg=message, rc=status, document=document)
    return status, document
