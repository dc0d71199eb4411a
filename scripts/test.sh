#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the test suites once, under
# AddressSanitizer and UndefinedBehaviorSanitizer; the worker-thread tests under
# ThreadSanitizer; each fuzz target for 10 s; the release tree (the programs, the
# benchmarks and the layer checks) for the page tour in both styles, the accessibility
# check, the fleet and README examples and the Debian package. Window tests run on a
# private virtual X display. The trees after the first compile in the CPU time the tests
# leave; steps that mostly wait (the slow end-to-end tests, the accessibility check, the
# fleet and README examples) run beside other steps.
# Each phase reports its time, and a summary ends the run.
# Exits non-zero when any build step or test fails, or when a program the run started
# outlives it.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || exit 1

# Every program this run starts inherits this mark; what still carries it at the end
# was left behind by a step.
export VOSTREL_TEST_RUN="vostrel-test-$$-$RANDOM"
# Searches for scanners look only at the ports the tests made, never at this machine's own.
export VOSTREL_SYSTEM_SERIAL_PORTS=off
logs=$(mktemp -d)

# Xvfb picks a free display number itself and reports it on the given descriptor.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$logs/display" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$logs"' EXIT
for _ in $(seq 50); do
  [ -s "$logs/display" ] && break
  sleep 0.1
done
if [ ! -s "$logs/display" ]; then
  echo "Xvfb did not start; window tests cannot run." >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$logs/display")"
echo "Window tests use the virtual display $DISPLAY."

status=0
summary=()
phase_started=0
phase_name=
begin() {
  phase_name=$1
  phase_started=$SECONDS
  echo "=== $phase_name"
}
end() {
  local took=$((SECONDS - phase_started))
  summary+=("$(printf '%5d s  %s' "$took" "$phase_name")")
  echo "--- $phase_name: ${took} s"
}
fail() {
  echo "FAILED: $*" >&2
  status=1
}

# The tests that spend their time waiting for simulated line speeds and real programs.
slow_tests='^(RealTiming|CliEndToEnd|StoppedCapture)\.|^CliConfigTest\.DiffApplyAndInventory|^BarcodePanelTest\.FiveOffline|^FilePlanPropertyTest\.'
# Clean trees compile each library's sources in batches, which saves a third of their
# time. (A file that only builds beside its batch neighbours, a missing include, fails in
# the file-by-file build that developers get by default.)
batches=(-DVOSTREL_UNITY_BUILD=ON)
# The trees that only tests use link with lld, several times faster than the default
# linker on programs this size; the release tree keeps Debian's own for the package.
quick_link=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
sanitizer_env=(ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)

begin "asan: configure and build the program and its tests"
{ cmake --preset asan "${batches[@]}" "${quick_link[@]}" >/dev/null && cmake --build --preset asan; } || fail "asan build"
end

# The ThreadSanitizer, release and fuzz trees compile, one after the other, in the time the
# tests leave the cores: at the idle scheduling class a compiler gets a core only while no
# test wants it, so the tests (and the window tests' stall watch) run as they do alone.
# Each tree's status and time land in $logs/built-TREE when it is done.
build_tree() {
  case $1 in
    tsan) cmake --preset tsan "${batches[@]}" "${quick_link[@]}" >/dev/null && cmake --build --preset tsan ;;
    default) cmake --preset default -DVOSTREL_BUILD_TESTS=OFF "${batches[@]}" >/dev/null &&
      cmake --build --preset default ;;
    fuzz) cmake --preset fuzz "${batches[@]}" "${quick_link[@]}" >/dev/null && cmake --build --preset fuzz ;;
  esac
}
build_in_idle_time() {
  local tree started result
  chrt --idle -p 0 "$BASHPID" >/dev/null || echo "The builds run at normal priority: chrt failed." >&2
  for tree in tsan default fuzz; do
    started=$SECONDS
    build_tree "$tree" >"$logs/build-$tree.log" 2>&1
    result=$?
    echo "$result $((SECONDS - started))" >"$logs/built-$tree.tmp" && mv "$logs/built-$tree.tmp" "$logs/built-$tree"
  done
}
build_in_idle_time &
builds_pid=$!
# Waits until TREE is built (a file appears; there is no child to wait on) and reports
# its time; a failed build fails the run.
await_tree() {
  local result took
  while [ ! -e "$logs/built-$1" ]; do
    kill -0 "$builds_pid" 2>/dev/null || { fail "$1 build: the builds stopped"; return 1; }
    sleep 1
  done
  read -r result took <"$logs/built-$1"
  summary+=("$(printf '%5d s  %s' "$took" "$1: configure and build (in the idle time)")")
  echo "$1 tree built in $took s, in the time the tests left"
  [ "$result" -eq 0 ] || { cat "$logs/build-$1.log"; fail "$1 build"; return 1; }
}

# The slow tests run beside the others: they wait on simulated line speeds, and they
# allow for a busy machine (their bounds are the real-world ones). Each test program's
# list of tests is written when ctest first reads it; it is read once here, so that the
# two runs below do not write it at the same time.
ctest --test-dir build/asan -N >/dev/null || fail "listing the tests"
slow_started=$SECONDS
env "${sanitizer_env[@]}" ctest --test-dir build/asan -R "$slow_tests" -j2 --timeout 300 \
  --output-on-failure >"$logs/slow.log" 2>&1 &
slow_pid=$!

begin "asan: the tests, with the slow end-to-end tests beside them"
env "${sanitizer_env[@]}" ctest --test-dir build/asan -E "$slow_tests" -j2 --timeout 300 \
  --output-on-failure >"$logs/tests.log" 2>&1 || { cat "$logs/tests.log"; fail "tests"; }
grep -E "tests passed|Total Test time" "$logs/tests.log"
wait "$slow_pid" || { cat "$logs/slow.log"; fail "slow end-to-end tests"; }
grep -E "tests passed|Total Test time" "$logs/slow.log"
echo "(the slow ones ran $((SECONDS - slow_started)) s in all)"
end

# The parts that run worker threads (the link and its owner, the terminal, stored
# data, capture, firmware downloads, writes with their read-back) under ThreadSanitizer.
# Window tests stay out: GTK is not built for it and would only report its own threads.
begin "tsan: what is left of its build"
await_tree tsan
end

begin "tsan: the tests of the parts with worker threads, two at a time"
tsan_one() {
  if TSAN_OPTIONS="halt_on_error=1 exitcode=66" "build/tsan/bin/$1" --gtest_brief=1 >"$logs/tsan-$1.log" 2>&1; then
    echo "$1: $(grep -E '^\[  PASSED  \]' "$logs/tsan-$1.log")"
  else
    cat "$logs/tsan-$1.log"
    echo "FAILED: tsan: $1" >&2
    return 1
  fi
}
tsan_one device_tests & first=$!
tsan_one config_tests & second=$!
wait "$first" || status=1
wait "$second" || status=1
tsan_one cmdcenter_tests & first=$!
{ tsan_one hbds_tests && tsan_one image_tests; } & second=$!
wait "$first" || status=1
wait "$second" || status=1
end

begin "default: what is left of its build"
await_tree default
end

# Every page and window the program shows, in English and Chinese, in the desktop's
# light style and in its dark one: cut-off text, overlaps, faint text, GTK warnings
# and windows that stop answering fail it. Only the fuzz tree's build runs meanwhile, in
# the idle time: the stall watch measures the window thread.
begin "tour: every page and window, light and dark"
bash scripts/tour.sh build/tour || fail "tour (light)"
bash scripts/tour.sh --dark build/tour-dark || fail "tour (dark)"
end

begin "fuzz: what is left of its build"
await_tree fuzz
end

begin "fuzz: every target for 10 s from its seeds, two at a time"
FUZZ_JOBS=2 bash scripts/fuzz.sh 10 || fail "fuzz"
end

# Fleets: the Ansible collection built, linted, installed and run by ansible-playbook, in
# its runs that work and in those that fail (the scanner behind ser2net's TLS layer is one
# of the end-to-end tests above); at the same time the README's command examples, run as
# written against the simulator, so that the README cannot drift from the programs. Exit
# status 77: a tool is missing. They mostly wait on simulated scanners, and the
# accessibility check (every control of every page has a name a screen reader can say,
# asked over AT-SPI on a display of its own) mostly on AT-SPI, so all run beside the
# package check.
fleet_and_readme() {
  local check pid failed=0
  local -A checks=()
  # The examples and the collection's two checks wait on their scanners nearly all the
  # time, and share nothing (each takes free ports and a folder of its own).
  python3 tests/readme/readme_examples.py README.md build/default/bin >"$logs/readme.log" 2>&1 &
  checks[$!]="README examples"
  for check in ansible/tests/playbook_end_to_end.sh ansible/tests/failures_end_to_end.sh; do
    { bash "$check" build/default/bin >"$logs/$(basename "$check").log" 2>&1; result=$?
      [ "$result" -eq 0 ] || [ "$result" -eq 77 ]; } &
    checks[$!]=$check
  done
  for pid in "${!checks[@]}"; do
    wait "$pid" || { echo "FAILED: ${checks[$pid]}" >&2; failed=1; }
  done
  cat "$logs/playbook_end_to_end.sh.log" "$logs/failures_end_to_end.sh.log" "$logs/readme.log"
  return "$failed"
}
begin "accessibility, fleet, README and package: AT-SPI names, the Ansible collection and the README's examples beside the Debian package"
bash scripts/a11y-check.sh build/a11y >"$logs/a11y.log" 2>&1 &
a11y_pid=$!
fleet_and_readme >"$logs/fleet.log" 2>&1 &
fleet_pid=$!
# The Debian package from the release tree built above, packed twice (the same bytes):
# lintian, hardening-check of every program, gdb through the -dbgsym package, the desktop
# entry and metainfo validators, its contents, the completion against --help, and its
# vostrel-cli run with a fresh HOME.
bash packaging/check-package.sh build/default || fail "package"
wait "$fleet_pid" || fail "fleet or README examples"
cat "$logs/fleet.log"
wait "$a11y_pid" || fail "accessibility"
cat "$logs/a11y.log"
end

begin "leftovers: no program of this run may outlive it"
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
python3 scripts/leftovers.py "VOSTREL_TEST_RUN=$VOSTREL_TEST_RUN" || fail "programs left behind (named above)"
end

echo
echo "Time of each phase:"
printf '%s\n' "${summary[@]}"
printf '%5d s  in all\n' "$SECONDS"
if [ "$status" -ne 0 ]; then
  echo "Some tests failed." >&2
else
  echo "All tests passed."
fi
exit "$status"
