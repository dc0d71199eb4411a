# -*- coding: utf-8 -*-
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT
# The options every module of the collection passes on to vostrel-cli.
from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  timeout:
    description: Read time-out of each exchange, in milliseconds.
    type: int
  ca:
    description: For TLS ports, the authority that signed the server's certificate.
    type: path
  cert:
    description: For TLS ports, the client certificate a server asks for.
    type: path
  key:
    description: The client certificate's private key.
    type: path
  executable:
    description: The vostrel-cli program, by name on the PATH or by path.
    type: str
    default: vostrel-cli
'''
