#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings
short_description: Bring a barcode scanner to the settings of a configuration file
description:
  - Compares the scanner with a Vostrel configuration file and sends it the settings that differ, through C(vostrel-cli).
  - A scanner that already holds every value is not written to.
  - In check mode only the comparison is made.
  - "In diff mode the differing settings are shown one a line: C(NAME: scanner's value → file's value)."
options:
  file:
    description: The configuration file (XML, as saved by Vostrel or C(vostrel-cli read)) on the managed host.
    type: path
    required: true
  port:
    description:
      - The scanner's port, such as C(/dev/ttyUSB0), C(rfc2217://HOST:PORT) or C(rfc2217+tls://HOST:PORT).
      - Without it, the first scanner found on any port.
    type: str
  baud:
    description: The port's baud rate; without it the rate the scanner answers at is found.
    type: int
  force:
    description: Send the file also to a scanner of another model than the file's.
    type: bool
    default: false
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
  platform:
    support: full
    platforms: posix
extends_documentation_fragment:
  - vostrel.scanners.connection
  - vostrel.scanners.attributes
author:
  - Vostrel developers
'''

EXAMPLES = r'''
- name: Every till's scanner beeps as the shop's file says
  vostrel.scanners.settings:
    port: /dev/ttyACM0
    file: /etc/vostrel/shop.xml

- name: A scanner behind ser2net with TLS
  vostrel.scanners.settings:
    port: rfc2217+tls://till-4.example:3001
    ca: /etc/vostrel/ser2net-ca.pem
    file: /etc/vostrel/shop.xml
'''

RETURN = r'''
differences:
  description: The settings of the file that the scanner held differently before the run.
  returned: always
  type: list
  elements: dict
  sample: [{"command": "BEPLVL", "fileValue": "1", "scannerValue": "2"}]
scanner:
  description: The scanner's record from vostrel-cli apply (port, product, result, sent, refused, reason).
  returned: when the scanner differed from the file and the run was not in check mode
  type: dict
  sample: {"port": "/dev/ttyACM0", "product": "HBS-HI880", "result": "changed", "sent": 1, "refused": 0}
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vostrel.scanners.plugins.module_utils.vostrel_cli import (
    EXIT_DIFFERENT, LINK_ARGUMENTS, fail_cli, link_options, run_cli)


def diff_texts(differences):
    """One line per differing setting, "NAME: scanner's value → file's value", as Ansible's
    prepared diff: a before/after pair would show each setting twice, and the six-letter
    names run into their values without the separator."""
    lines = ['%s: %s → %s\n' % (d['command'], d.get('scannerValue') or '(none)', d['fileValue'])
             for d in differences]
    return dict(prepared=''.join(lines))


def main():
    arguments = dict(LINK_ARGUMENTS, file=dict(type='path', required=True), force=dict(type='bool', default=False))
    module = AnsibleModule(argument_spec=arguments, supports_check_mode=True)
    link = link_options(module.params)
    force = ['--force'] if module.params['force'] else []
    # The comparison is the plan the run executes: a file it would refuse (another
    # model, settings the scanner does not take) fails check mode too.
    status, compared = run_cli(module, 'diff', link + force + [module.params['file']], accepted=(0, EXIT_DIFFERENT))
    differences = compared.get('differences') or []
    result = dict(changed=status == EXIT_DIFFERENT, differences=differences)
    if module._diff:
        result['diff'] = diff_texts(differences)
    if module.check_mode or status != EXIT_DIFFERENT:
        module.exit_json(**result)
    status, applied = run_cli(module, 'apply', link + force + [module.params['file']], accepted=None)
    scanner = (applied.get('scanners') or [{}])[0]
    result['scanner'] = scanner
    # Whatever the scanner acknowledged is written, also when a later setting failed.
    result['changed'] = (scanner.get('sent') or 0) > 0
    if status != 0:
        fail_cli(module, applied, 'apply', status, **result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
