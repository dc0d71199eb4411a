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


def cli_message(document, command, status):
    """vostrel-cli's own first cause of a failed command."""
    error = document.get('error') or {}
    if error.get('message'):
        return error['message']
    errors = document.get('errors') or []
    return errors[0] if errors else 'vostrel-cli %s exited with %d' % (command, status)


def run_cli(module, command, arguments, accepted=(0,), changed=False):
    """Runs one vostrel-cli command with --json; fails the task with the command's own
    message unless its exit status is in `accepted` (None: any). `changed` is what the
    failed task reports. Returns (status, document)."""
    executable = module.params['executable']
    if '/' not in executable:
        executable = module.get_bin_path(executable, required=True)
    status, out, err = module.run_command([executable, command, '--json'] + arguments)
    try:
        document = json.loads(out)
    except ValueError:
        module.fail_json(msg='vostrel-cli printed no JSON document: %s' % (err or out).strip(), rc=status)
    if accepted is not None and status not in accepted:
        fail_cli(module, document, command, status, changed=changed)
    return status, document


def fail_cli(module, document, command, status, **result):
    """Fails the task with vostrel-cli's first cause; `result` (such as changed) is kept."""
    module.fail_json(msg=cli_message(document, command, status), rc=status, document=document, **result)
