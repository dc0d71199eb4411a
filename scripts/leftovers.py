#!/usr/bin/env python3
"""Lists the processes that carry MARK in their environment, other than this one and
its ancestors, and ends them.

    leftovers.py NAME=VALUE

The test command puts a mark into its environment; every program a step starts inherits
it. Whatever still carries it when the step or the run is over was left behind: it is
named, sent SIGTERM (SIGKILL a second later if it is still there), and the exit status
is 1. Exit status 0: nothing was left behind.
"""
import os
import signal
import sys
import time


def ancestors():
    pids, pid = set(), os.getpid()
    while pid > 1:
        pids.add(pid)
        try:
            with open(f"/proc/{pid}/stat") as stat:
                # The parent follows the command name, which is in parentheses.
                pid = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            break
    return pids


def marked(mark):
    mine = ancestors()
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in mine:
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as environ:
                if mark not in environ.read().split(b"\0"):
                    continue
            with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                found[int(entry)] = cmdline.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            continue  # gone meanwhile, or not ours to read
    return found


def end(pids):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid in pids:
            try:
                os.kill(pid, sig)
            except OSError:
                pass
        deadline = time.monotonic() + 1
        while time.monotonic() < deadline and any(os.path.exists(f"/proc/{pid}") for pid in pids):
            time.sleep(0.05)


def main():
    mark = sys.argv[1].encode()
    found = marked(mark)
    for pid, command in sorted(found.items()):
        print(f"left behind: pid {pid}: {command or '(no command line)'}", file=sys.stderr)
    end(list(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
