#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer configuration and
# runs every test of both, the worker-thread tests under ThreadSanitizer, then each
# fuzz target for 10 s, then the page tour in both styles, then builds and checks the
# Debian package. Window tests run on
# a private virtual X display.
# Exits non-zero when any build step or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Xvfb picks a free display number itself and reports it on the given descriptor.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 50); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
if [ ! -s "$display_file" ]; then
  echo "Xvfb did not start; window tests cannot run." >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$display_file")"
echo "Window tests use the virtual display $DISPLAY."

status=0
for preset in default asan; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  ctest --preset "$preset" -j2 --timeout 300 || status=1
done

# The parts that run worker threads (the link and its owner, the terminal, stored
# data, capture, firmware downloads, writes with their read-back) under ThreadSanitizer.
# Window tests stay out: GTK is not built for it and would only report its own threads.
echo "=== tsan: configure, build and run the tests of the parts with worker threads"
cmake --preset tsan
cmake --build --preset tsan
for program in hbds_tests device_tests cmdcenter_tests image_tests config_tests; do
  echo "--- tsan: $program"
  TSAN_OPTIONS="halt_on_error=1 exitcode=66" "build/tsan/bin/$program" --gtest_brief=1 || status=1
done

echo "=== fuzz: every target for 10 s from its seeds"
bash scripts/fuzz.sh 10 || status=1

# Every page and window the program shows, in English and Chinese, in the desktop's
# light style and in its dark one: cut-off text, overlaps, faint text, GTK warnings
# and windows that stop answering fail it (about a minute each).
echo "=== tour: every page and window, light and dark"
bash scripts/tour.sh build/tour || status=1
bash scripts/tour.sh --dark build/tour-dark || status=1

# Fleets: the Ansible collection built, linted, installed and run by ansible-playbook, and
# a scanner behind ser2net's TLS layer (about a minute and a half together). Exit status 77: a tool is missing.
echo "=== fleet: Ansible collection and TLS ports"
for check in ansible/tests/playbook_end_to_end.sh ansible/tests/failures_end_to_end.sh tests/cli/tls_end_to_end.sh; do
  bash "$check" build/default/bin
  result=$?
  [ "$result" -eq 0 ] || [ "$result" -eq 77 ] || status=1
done

# Every control of every page has a name a screen reader can say, asked over AT-SPI.
echo "=== accessibility: names of the controls over AT-SPI"
bash scripts/a11y-check.sh build/a11y || status=1

# The README's command examples, run as written against the simulator, so that the
# README cannot drift from the programs.
echo "=== README: the command examples"
python3 tests/readme/readme_examples.py README.md build/default/bin || status=1

# The Debian package from the default tree built above, packed twice (the same bytes):
# lintian, hardening-check of every program, gdb through the -dbgsym package, the desktop
# entry and metainfo validators, its contents, the completion against --help, and its
# vostrel-cli run with a fresh HOME.
echo "=== package: build the Debian package and check it"
bash packaging/check-package.sh build/default || status=1

if [ "$status" -ne 0 ]; then
  echo "Some tests failed." >&2
else
  echo "All tests passed."
fi
exit "$status"
