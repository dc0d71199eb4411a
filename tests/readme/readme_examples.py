#!/usr/bin/env python3
"""Runs the command examples of README.md as a newcomer would type them, so that the
README cannot drift from the programs.

    readme_examples.py README.md BIN_DIR

Every `sh` block is read in order. Lines that run the tools (`./vostrel-cli`,
`./vostrel-fwpack`, `./vostrel-scanner-sim`), `printf` lines that make example files,
`export` lines and the loopback ser2net line run in one shell, in a scratch folder that
holds links to the programs of BIN_DIR (so the tree stays clean). A simulator started
in the background prints its port; the README's placeholders (/dev/pts/3, /dev/pts/N)
then stand for that port. Lines that need other machines (`*.example`), a display
(`./vostrel` itself) or a loop are skipped. A tool that exits 1 (a bad command line)
or 2 (no scanner or port found) fails the check: an example must work as written.
"""
import os
import re
import shlex
import signal
import subprocess
import sys
import tempfile
import time

RUN = re.compile(r"^(\./vostrel-(cli|fwpack|scanner-sim)\b|printf |export |ser2net )")
SKIP = re.compile(r"\.example\b|^\./vostrel(\s|$)|\bfor \w+ in\b|\$till")
PLACEHOLDER = re.compile(r"/dev/pts/(3|N)\b")


def shell_blocks(readme):
    block = None
    for number, line in enumerate(open(readme, encoding="utf-8"), 1):
        if line.startswith("```"):
            block = [] if block is None and line.strip() == "```sh" else None
            continue
        if block is not None:
            yield number, line.rstrip("\n")


def joined_lines(lines):
    """Joins continuation lines ending in a backslash."""
    pending, start = "", None
    for number, line in lines:
        if start is None:
            start = number
        if line.endswith("\\"):
            pending += line[:-1] + " "
            continue
        yield start, pending + line
        pending, start = "", None


def without_comment(line):
    # A '#' that starts a word outside quotes begins the README's explanation.
    quote = None
    for i, c in enumerate(line):
        if quote:
            quote = None if c == quote else quote
        elif c in "'\"":
            quote = c
        elif c == "#" and (i == 0 or line[i - 1].isspace()):
            return line[:i].rstrip()
    return line.rstrip()


def script_for(readme):
    steps = ["set +e", "status=0", "pids=", "port=",
             "trap 'kill $pids 2>/dev/null' EXIT",
             "wait_port() { for _ in $(seq 100); do p=$(grep -o '/dev/pts/[0-9]*' \"$1\" | head -1);"
             " [ -n \"$p\" ] && { port=$p; return; }; sleep 0.1; done;"
             " echo \"the simulator printed no port: $(cat \"$1\")\"; status=1; }"]
    count = 0
    for number, raw in joined_lines(shell_blocks(readme)):
        line = without_comment(raw.strip())
        if not line or not RUN.search(line) or SKIP.search(line):
            continue
        count += 1
        background = line.endswith("&")
        if background:
            line = line[:-1].rstrip()
        # The port is known only when the line runs, and may sit inside quotes.
        steps.append(f"cmd={shlex.quote(PLACEHOLDER.sub('@PORT@', line))}; cmd=${{cmd//@PORT@/$port}}")
        shown = f"README line {number}: "
        if background:
            out = f"bg{number}.out"
            steps.append(f"eval \"exec $cmd\" >{out} 2>&1 & pids=\"$pids $!\"")
            steps.append(f"wait_port {out}" if line.startswith("./vostrel-scanner-sim") else "sleep 1")
            continue
        if line.startswith(("export ", "printf ")):
            steps.append('eval "$cmd"')
            continue
        steps.append(f'echo "{shown}$cmd"')
        steps.append('eval "timeout 180 $cmd" >out.txt 2>&1 </dev/null; rc=$?')
        steps.append("if [ $rc = 1 ] || [ $rc = 2 ] || [ $rc = 124 ]; then "
                     f"echo \"FAIL (exit $rc): {shown}$cmd\"; sed 's/^/    /' out.txt | head -20; status=1; fi")
    steps.append("exit $status")
    return count, "\n".join(steps) + "\n"


def end_group(group):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(group, sig)
        except ProcessLookupError:
            return
        time.sleep(0.5)


def main():
    readme, bin_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    count, script = script_for(readme)
    if count == 0:
        print("no command examples found in", readme)
        return 1
    with tempfile.TemporaryDirectory() as scratch:
        for name in os.listdir(bin_dir):
            os.symlink(os.path.join(bin_dir, name), os.path.join(scratch, name))
        env = dict(os.environ, HOME=scratch, XDG_CONFIG_HOME=os.path.join(scratch, ".config"),
                   XDG_STATE_HOME=os.path.join(scratch, ".state"), VOSTREL_SERIAL_PORTS="")
        # Its own process group, so that what the examples started in the background
        # (the simulator, ser2net) ends with it even when the script's own trap did not run.
        shell = subprocess.Popen(["bash", "-c", script], cwd=scratch, env=env, start_new_session=True)
        try:
            shell.wait()
        finally:
            end_group(shell.pid)
        result = shell
    print(f"{count} README examples run: {'all work as written' if result.returncode == 0 else 'some fail'}")
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
