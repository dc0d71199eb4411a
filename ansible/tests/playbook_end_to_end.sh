#!/bin/bash
# The collection as a fleet keeper uses it: built and installed with ansible-galaxy,
# linted as Ansible's reviewers would, then run by ansible-playbook on localhost against
# the simulator program on a pseudo-terminal and behind ser2net.
#   settings: check mode reports a change, shows it as NAME: old → new and writes
#             nothing; the next run changes the scanner, the one after it nothing.
#   info:     the scanner as the scanners list (no facts), through ser2net.
#   firmware: check mode says it would and shows the versions; the run upgrades; the
#             next one does nothing.
#   README:   the collection README's example playbook, as written, on the same scanner.
# What each module returns is compared with its RETURN documentation.
# Usage: playbook_end_to_end.sh BIN_DIR (where vostrel-cli and the simulator are).
set -u
bin=$(cd "$1" && pwd)
collection=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v ansible-playbook >/dev/null || { echo "ansible-core is not installed (scripts/install-deps.sh)"; exit 77; }
command -v ser2net >/dev/null || { echo "ser2net is not installed (scripts/install-deps.sh)"; exit 77; }
command -v ansible-lint >/dev/null || { echo "ansible-lint is not installed (scripts/install-deps.sh)"; exit 77; }

source "$collection/tests/installed_collection.sh"
tar -tzf "$work"/vostrel-scanners-*.tar.gz >tarball.txt
for file in README.md LICENSE CHANGELOG.md; do
    grep -qx "$file" tarball.txt || fail "the collection tarball lacks $file"
done

# ansible-test sanity needs the network for its tools; the documentation of every
# module is at least read the way Ansible reads it, attributes included.
for module in settings info firmware; do
    ansible-doc -t module "vostrel.scanners.$module" >doc.log 2>&1 || fail "$module's documentation: $(cat doc.log)"
    for attribute in check_mode diff_mode platform; do
        grep -q "^ *$attribute:" doc.log || fail "$module's documentation has no attribute $attribute"
    done
done

# The README's example playbook: the first yaml block after its heading.
python3 - "$collection/README.md" >example.yml <<'PYTHON' || fail "the README has no example playbook"
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
block = re.search(r"^## Example playbook$.*?^```yaml\n(.*?)^```$", text, re.S | re.M)
sys.exit(1) if not block else print(block.group(1), end="")
PYTHON
lint() {  # lint NAME DIR [FILE]: ansible-lint's production profile, offline
    (cd "$2" && ansible-lint --offline --nocolor --profile production ${3:+"$3"}) >"lint-$1.log" 2>&1 \
        || fail "ansible-lint on the $1: $(cat "lint-$1.log")"
}
cp -r "$collection" lint-collection
rm -rf lint-collection/tests
lint collection lint-collection
lint "example playbook" "$work" example.yml

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
recorded() {  # recorded NAME: a task's lines that keep its result for returns_documented.py
    cat <<YAML
      register: result
    - name: Keep the result
      ansible.builtin.copy: {content: "{{ result | to_json }}", dest: "$work/$1.result.json", mode: "0644"}
      check_mode: false
      changed_when: false
YAML
}
documented() {  # documented MODULE NAME: the run NAME returned what MODULE's RETURN says
    python3 "$collection/tests/returns_documented.py" "vostrel.scanners.$1" "$work/$2.result.json" \
        || fail "$1 returns other values than it documents"
}

settings_task="    - vostrel.scanners.settings: {port: \"$pty\", baud: 115200, file: $work/shop.xml, executable: $bin/vostrel-cli}"
play check "$settings_task
$(recorded check)" --check --diff
expect_changed 1 "check mode"
documented settings check
grep -q '^BEPLVL: 1 → ' check.log || fail "check mode shows no line BEPLVL: 1 → ...: $(cat check.log)"
cli diff --port "$pty" --baud 115200 shop.xml >/dev/null
[ $? -eq 6 ] || fail "check mode wrote to the scanner"
play first "$settings_task
$(recorded first)"
expect_changed 1 "the first run"
documented settings first
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
$(recorded info)
    - ansible.builtin.assert:
        that:
          - result.scanners | length == 1
          - result.scanners[0].product == 'HBS-HI880'
          - result.scanners[0].firmware is string
          - result.ansible_facts is not defined
          - ansible_facts.vostrel_scanners is not defined"
expect_changed 0 "info"
documented info info
kill "$(cat "$work/ser2net.pid")" 2>/dev/null

"$bin/vostrel-fwpack" --device HBS-HI880 --version V9.00.001 --sample kernel:4096 --sample application:8000 \
    -o hi880.bin >/dev/null || fail "no firmware file"
firmware_task="    - vostrel.scanners.firmware: {port: \"$pty\", baud: 115200, file: $work/hi880.bin, executable: $bin/vostrel-cli}"
before=$(cli inventory --port "$pty" --baud 115200 --csv | awk -F, 'NR == 2 {print $4}')
play fw-check "$firmware_task" --check --diff
expect_changed 1 "firmware in check mode"
grep -q "^-firmware: $before\$" fw-check.log && grep -q '^+firmware: V9.00.001$' fw-check.log \
    || fail "firmware in check mode shows no versions $before → V9.00.001: $(cat fw-check.log)"
play fw-first "$firmware_task
$(recorded fw-first)"
expect_changed 1 "the firmware run"
documented firmware fw-first
play fw-second "$firmware_task"
expect_changed 0 "the second firmware run"

# The README's playbook finds nothing left to do, and says which firmware runs.
printf '[tills]\nlocalhost ansible_connection=local ansible_python_interpreter=%s\n' "$(command -v python3)" >tills.ini
PATH="$bin:$PATH" ansible-playbook -i tills.ini example.yml -e "scanner_port=$pty" -e scanner_baud=115200 -e "shop_settings=$work/shop.xml" \
    -e "approved_firmware=$work/hi880.bin" >example.log 2>&1 || fail "the README's playbook: $(cat example.log)"
grep -qE '^localhost +:.* changed=0 ' example.log || fail "the README's playbook changed a scanner in line: $(cat example.log)"
grep -q '"V9.00.001"' example.log || fail "the README's playbook does not show the firmware: $(cat example.log)"

echo "Ansible collection end to end: OK"
