#!/bin/bash
# The collection as a fleet keeper uses it: built and installed with ansible-galaxy,
# then run by ansible-playbook on localhost against the simulator program on a
# pseudo-terminal and behind ser2net.
#   settings: check mode reports a change and writes nothing; the next run changes
#             the scanner, the one after it nothing.
#   info:     the scanner as facts, through ser2net.
#   firmware: check mode says it would; the run upgrades; the next one does nothing.
# Usage: playbook_end_to_end.sh BIN_DIR (where vostrel-cli and the simulator are).
set -u
bin=$(cd "$1" && pwd)
collection=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v ansible-playbook >/dev/null || { echo "ansible-core is not installed (scripts/install-deps.sh)"; exit 77; }
command -v ser2net >/dev/null || { echo "ser2net is not installed (scripts/install-deps.sh)"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
cd "$work"
export ANSIBLE_HOME="$work/home" ANSIBLE_COLLECTIONS_PATH="$work/collections" ANSIBLE_LOCAL_TEMP="$work/tmp"
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCALHOST_WARNING=0 ANSIBLE_INVENTORY_UNPARSED_WARNING=0

ansible-galaxy collection build "$collection" --output-path "$work" >build.log 2>&1 || fail "build: $(cat build.log)"
ansible-galaxy collection install -p "$work/collections" "$work"/vostrel-scanners-*.tar.gz >install.log 2>&1 \
    || fail "install: $(cat install.log)"

# ansible-test sanity needs the network for its tools; the documentation of every
# module is at least read the way Ansible reads it.
for module in settings info firmware; do
    ansible-doc -t module "vostrel.scanners.$module" >doc.log 2>&1 || fail "$module's documentation: $(cat doc.log)"
done

"$bin/vostrel-scanner-sim" --model "$bin/Config/HI880.xml" --product HBS-HI880 --baud 115200 >sim.out 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q /dev/ sim.out && break; sleep 0.1; done
pty=$(grep -o '/dev/[^ ]*' sim.out | head -1)
[ -n "$pty" ] || fail "the simulator printed no port"
cli() { "$bin/vostrel-cli" "$@"; }

# The file holds the scanner's settings with another beeper level.
cli read --port "$pty" --baud 115200 shop.xml >/dev/null || fail "read"
cli send --port "$pty" --baud 115200 "#BEPLVL1" >/dev/null || fail "send"
cli diff --port "$pty" --baud 115200 shop.xml >/dev/null
[ $? -eq 6 ] || fail "the scanner does not differ from the file to begin with"

play() {  # play NAME TASK-YAML [ansible-playbook options]: runs one task, sets recap to its recap
    local name=$1 task=$2; shift 2
    cat >"$name.yml" <<YAML
- hosts: localhost
  connection: local
  gather_facts: false
  vars:
    ansible_python_interpreter: $(command -v python3)
  tasks:
$task
YAML
    ansible-playbook -i localhost, "$name.yml" "$@" >"$name.log" 2>&1 || fail "$name: $(cat "$name.log")"
    recap=$(grep -E '^localhost +:' "$name.log")
}
expect_changed() { echo "$recap" | grep -q "changed=$1 " || fail "$2 reported no changed=$1: $recap"; }

settings_task="    - vostrel.scanners.settings: {port: \"$pty\", baud: 115200, file: $work/shop.xml, executable: $bin/vostrel-cli}"
play check "$settings_task" --check --diff
expect_changed 1 "check mode"
grep -q 'BEPLVL' check.log || fail "check mode shows no diff of BEPLVL: $(cat check.log)"
cli diff --port "$pty" --baud 115200 shop.xml >/dev/null
[ $? -eq 6 ] || fail "check mode wrote to the scanner"
play first "$settings_task"
expect_changed 1 "the first run"
play second "$settings_task"
expect_changed 0 "the second run"

# A failure is the task's, with vostrel-cli's message.
cat >"broken.yml" <<YAML
- hosts: localhost
  connection: local
  gather_facts: false
  vars:
    ansible_python_interpreter: $(command -v python3)
  tasks:
    - vostrel.scanners.settings: {port: /dev/no-such-port, file: $work/shop.xml, executable: $bin/vostrel-cli}
YAML
ansible-playbook -i localhost, broken.yml >broken.log 2>&1 && fail "a missing port did not fail the task"
grep -q '/dev/no-such-port does not exist' broken.log || fail "the failure lacks the message: $(cat broken.log)"

# The same scanner through ser2net.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >ser2net.yaml <<YAML
connection: &till
  accepter: telnet(rfc2217),tcp,127.0.0.1,$port
  connector: serialdev,$pty,9600n81,local
YAML
ser2net -n -u -c ser2net.yaml -P "$work/ser2net.pid" >ser2net.log 2>&1 &
pids+=($!)
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
play info "    - vostrel.scanners.info: {port: \"rfc2217://127.0.0.1:$port\", executable: $bin/vostrel-cli}
    - ansible.builtin.assert:
        that:
          - ansible_facts.vostrel_scanners | length == 1
          - ansible_facts.vostrel_scanners[0].product == 'HBS-HI880'
          - ansible_facts.vostrel_scanners[0].firmware is string"
expect_changed 0 "info"
kill "$(cat "$work/ser2net.pid")" 2>/dev/null

"$bin/vostrel-fwpack" --device HBS-HI880 --version V9.00.001 --sample kernel:4096 --sample application:8000 \
    -o hi880.bin >/dev/null || fail "no firmware file"
firmware_task="    - vostrel.scanners.firmware: {port: \"$pty\", baud: 115200, file: $work/hi880.bin, executable: $bin/vostrel-cli}"
play fw-check "$firmware_task" --check
expect_changed 1 "firmware in check mode"
play fw-first "$firmware_task"
expect_changed 1 "the firmware run"
play fw-second "$firmware_task"
expect_changed 0 "the second firmware run"

echo "Ansible collection end to end: OK"
