#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: firmware
short_description: Bring a barcode scanner to the firmware of a file
description:
  - Downloads a firmware file into the scanner through C(vostrel-cli upgrade), only when the version the scanner runs differs from the file's.
  - In check mode only says whether it would.
  - In diff mode shows the firmware version before and after.
options:
  file:
    description: The firmware file on the managed host.
    type: path
    required: true
  port:
    description: The scanner's port; without it the first scanner found.
    type: str
  baud:
    description: The port's baud rate; without it the rate the scanner answers at is found.
    type: int
  force:
    description: Send a file made for another product name all the same.
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
- name: Every till's scanner runs the approved firmware
  vostrel.scanners.firmware:
    port: /dev/ttyACM0
    file: /srv/firmware/hi880-V2.00.001.bin
'''

RETURN = r'''
scanner:
  description: The scanner as checked before the download, with C(firmware) (its version) and C(fileVersion).
  returned: always
  type: dict
  sample: {"port": "/dev/ttyACM0", "firmware": "V1.00.001", "fileVersion": "V2.00.001", "differs": true}
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vostrel.scanners.plugins.module_utils.vostrel_cli import (
    EXIT_DIFFERENT, LINK_ARGUMENTS, fail_cli, link_options, run_cli)


def version_diff(scanner, differs):
    """The firmware version as Ansible's diff shows it: the file's replaces the scanner's."""
    before = scanner.get('firmware') or ''
    after = (scanner.get('fileVersion') or before) if differs else before
    return dict(before='firmware: %s\n' % before, after='firmware: %s\n' % after)


def main():
    arguments = dict(LINK_ARGUMENTS, file=dict(type='path', required=True), force=dict(type='bool', default=False))
    module = AnsibleModule(argument_spec=arguments, supports_check_mode=True)
    link = link_options(module.params) + (['--force'] if module.params['force'] else [])
    status, checked = run_cli(module, 'upgrade', link + ['--check', module.params['file']],
                              accepted=(0, EXIT_DIFFERENT))
    scanner = (checked.get('scanners') or [{}])[0]
    differs = status == EXIT_DIFFERENT
    result = dict(scanner=scanner)
    if module._diff:
        result['diff'] = version_diff(scanner, differs)
    if module.check_mode or not differs:
        module.exit_json(changed=differs, **result)
    # A download that started has written to the scanner, also when it then failed.
    status, upgraded = run_cli(module, 'upgrade', link + [module.params['file']], accepted=None)
    written = bool(upgraded.get('written'))
    if status != 0:
        fail_cli(module, upgraded, 'upgrade', status, changed=written, **result)
    module.exit_json(changed=True, **result)


if __name__ == '__main__':
    main()
