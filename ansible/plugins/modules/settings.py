#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Vostrel developers
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings
short_description: Bring a barcode scanner to the settings of a configuration file
description:
  - Compares the scanner with a Vostrel configuration file and sends it the settings that differ, through C(vostrel-cli).
  - A scanner that already holds every value is not written to.
  - In check mode only the comparison is made; the differing settings are reported as a diff.
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
extends_documentation_fragment:
  - vostrel.scanners.connection
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
  returned: when not in check mode
  type: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vostrel.scanners.plugins.module_utils.vostrel_cli import (
    EXIT_DIFFERENT, LINK_ARGUMENTS, fail_cli, link_options, run_cli)


def diff_texts(differences):
    """The scanner's values and the file's, one setting a line, for Ansible's diff."""
    before = ''.join('%s%s\n' % (d['command'], d.get('scannerValue') or '') for d in differences)
    after = ''.join('%s%s\n' % (d['command'], d['fileValue']) for d in differences)
    return dict(before=before, after=after)


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
