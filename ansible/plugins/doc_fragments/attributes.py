# -*- coding: utf-8 -*-
# Copyright (c) 2026 The Vostrel developers
# SPDX-License-Identifier: MIT
# What each attribute means; every module says how far it supports it.
from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
attributes:
  check_mode:
    description: Can run in check mode and say whether it would change the scanner, without writing to it.
  diff_mode:
    description: Reports what it changes, or would change in check mode, as a diff.
  platform:
    description: The managed hosts it can run on; C(vostrel-cli) must be installed there.
'''
