#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: info
short_description: The barcode scanners a host reaches
description:
  - Lists the scanners on one port or on every port with C(vostrel-cli inventory), all ports at once.
  - Each scanner comes with its port, product, serial number, catalogue model and firmware, hardware and kernel versions.
  - Changes nothing.
options:
  port:
    description: Only this port (a device file, C(rfc2217://HOST:PORT), C(tcp+tls://HOST:PORT), ...); without it every port.
    type: str
  baud:
    description: The port's baud rate; without it the rate the scanner answers at is found.
    type: int
attributes:
  check_mode:
    support: full
    details: Reads only; check mode changes nothing.
  diff_mode:
    support: none
    details: Changes nothing, so there is nothing to show.
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
- name: What scanners hang on this till
  vostrel.scanners.info:
  register: found

- name: Say which run old firmware
  ansible.builtin.debug:
    msg: "{{ item.port }} runs {{ item.firmware }}"
  loop: "{{ found.scanners }}"
  when: item.firmware != 'V2.00.001'
'''

RETURN = r'''
scanners:
  description: One record per scanner found; empty when no port was given and none answered.
  returned: always
  type: list
  elements: dict
  sample: [{"port": "/dev/ttyACM0", "product": "HBS-HI880", "serialNumber": "SN1", "model": "HBS-HI880",
            "firmware": "V1.00.001", "hardware": "V1.0", "kernel": "V1.0.0"}]
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vostrel.scanners.plugins.module_utils.vostrel_cli import (
    LINK_ARGUMENTS, link_options, run_cli)

# No scanner at all is an answer here, not a failure.
EXIT_NO_SCANNER = 2


def main():
    module = AnsibleModule(argument_spec=dict(LINK_ARGUMENTS), supports_check_mode=True)
    accepted = (0,) if module.params['port'] else (0, EXIT_NO_SCANNER)
    dummy, document = run_cli(module, 'inventory', link_options(module.params), accepted=accepted)
    module.exit_json(changed=False, scanners=document.get('scanners') or [])


if __name__ == '__main__':
    main()
