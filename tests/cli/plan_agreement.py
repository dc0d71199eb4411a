#!/usr/bin/env python3
"""diff, inventory --against and apply on generated configuration files give one
verdict, and a second apply settles: the command-line side of the file -> wire -> report
property (the wire side is tests/config/FilePlanPropertyTest.cpp).

    plan_agreement.py BIN_DIR [FILES [SEED]]

Files are made from a scanner's own settings, read from the vostrel-scanner-sim program,
and mutated as people and attackers write them: separators and blanks in names and
values, names of 5 and 7 characters or in lower case, DFM names, queries, repeats that
agree or contradict, another DeviceType or none.
"""
import json
import os
import random
import re
import subprocess
import sys
import tempfile
import time


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def attribute(text):
    escaped = text.replace("&", "&amp;").replace("<", "&lt;").replace('"', "&quot;")
    return "".join("&#x%02X;" % ord(c) if ord(c) < 0x20 else c for c in escaped)


def other_value(rng, held):
    if held.isdigit():
        return str(rng.randrange(100 if len(held) > 1 else 10))
    return held


def make_file(rng, settings):
    names = list(settings)
    hostile = rng.random() < 0.5
    lines = []
    for _ in range(rng.randint(1, 10)):
        name = rng.choice(names)
        value = settings[name] if rng.random() < 0.3 else other_value(rng, settings[name])
        other = rng.choice(names)
        insert = rng.choice([";", "\r", "\n", "\r\n", "\t", " "])
        kind = rng.randrange(12) if hostile else 99
        if kind == 0:
            name += insert + other
        elif kind == 1:
            value += insert + other + other_value(rng, settings[other])
        elif kind == 2:
            name = name[:5]
        elif kind == 3:
            name += "X"
        elif kind == 4:
            name = name.lower()
        elif kind == 5:
            name, value = "DFMZQX", "1;" + other + other_value(rng, settings[other])
        elif kind == 6:
            value = rng.choice("*&^")
        elif kind == 7:
            lines.append((name, value))
        elif kind == 8:
            lines.append((name, value + "1"))
        lines.append((name, value))
    model = rng.random()
    device = ' DeviceType="HBS-FM300"' if model < 0.8 else ' DeviceType="HBS-HS620"' if model < 0.9 else ""
    body = "".join(' <Command CommandName="%s" Value="%s"/>\n' % (attribute(n), attribute(v)) for n, v in lines)
    return '<Vostrel%s>\n%s</Vostrel>\n' % (device, body)


def main():
    bin_dir = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 39
    work = tempfile.mkdtemp()
    out = open(os.path.join(work, "sim.out"), "w")
    sim = subprocess.Popen([os.path.join(bin_dir, "vostrel-scanner-sim"), "--model",
                            os.path.join(bin_dir, "Config", "FM300.xml"), "--product", "HBS-FM300",
                            "--baud", "115200"], stdout=out, stderr=subprocess.STDOUT)
    try:
        port = None
        for _ in range(50):
            found = re.search(r"/dev/\S+", open(os.path.join(work, "sim.out")).read())
            if found:
                port = found.group(0)
                break
            time.sleep(0.1)
        if not port:
            fail("the simulator printed no port")
        cli = os.path.join(bin_dir, "vostrel-cli")

        def run(*arguments):
            done = subprocess.run([cli, arguments[0], "--json"] + list(arguments[1:]), capture_output=True, text=True)
            return done.returncode, json.loads(done.stdout)

        read_file = os.path.join(work, "read.xml")
        status, _ = run("read", "--port", port, "--baud", "115200", read_file)
        if status != 0:
            fail("read exited %d" % status)
        settings = dict(re.findall(r'CommandName="(\w{6})" Value="(\w*)"', open(read_file).read()))
        settings = {n: v for n, v in settings.items() if n != "CLIENA" and not n.startswith("232")}
        rng = random.Random(seed)
        tally = {}
        for index in range(files):
            text = make_file(rng, settings)
            path = os.path.join(work, "f%d.xml" % index)
            open(path, "w").write(text)
            where = "file %d (seed %d):\n%s" % (index, seed, text)
            diff, _ = run("diff", "--port", port, "--baud", "115200", path)
            inventory, listed = run("inventory", "--port", port, "--against", path)
            apply, applied = run("apply", "--port", port, "--baud", "115200", path)
            result = (applied.get("scanners") or [{}])[0]
            verdict = result.get("result")
            tally[verdict] = tally.get(verdict, 0) + 1
            differs = (listed.get("scanners") or [{}])[0].get("differs")
            # One verdict: another model, a refused file, differences, or nothing to do.
            expected = {0: (0, "unchanged"), 4: (4, "skipped"), 6: (6, None)}.get(diff)
            if expected is None:
                fail("diff exited %d for %s" % (diff, where))
            if inventory != expected[0]:
                fail("diff exited %d but inventory %d for %s" % (diff, inventory, where))
            if expected[1] and verdict != expected[1]:
                fail("diff exited %d but apply says %s for %s" % (diff, verdict, where))
            if diff == 6 and verdict not in ("changed", "failed"):
                fail("diff found differences but apply says %s for %s" % (verdict, where))
            if differs is not (diff != 0):
                fail("inventory's differs is %s after diff %d for %s" % (differs, diff, where))
            # The second run settles: nothing more sent, or the same refusal.
            again, second = run("apply", "--port", port, "--baud", "115200", path)
            result2 = (second.get("scanners") or [{}])[0]
            if verdict == "changed" and (again != 0 or result2.get("result") != "unchanged"):
                fail("a second apply after 'changed' says %s for %s" % (result2, where))
            if verdict in ("skipped", "failed") and result2.get("sent"):
                fail("a second apply after '%s' sent %s for %s" % (verdict, result2.get("sent"), where))
        print("plan agreement: %d files, seed %d, %s" % (files, seed, tally))
    finally:
        sim.kill()


if __name__ == "__main__":
    main()
