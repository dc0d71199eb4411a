#!/bin/bash
# What a task reports when the scanner did not take everything: ansible-playbook on
# localhost against the simulator program, each case with a fault it was told to show.
#   a refused setting: two settings written, the third NAK'd: changed, failed, and
#                      the message names the refused setting;
#   another model:     check mode fails as the run does, with the CLI's reason, and
#                      nothing is written;
#   a failed download: blocks were written before the end packet failed: changed,
#                      failed, with the scanner's reason.
# Usage: failures_end_to_end.sh BIN_DIR (where vostrel-cli, the simulator and vostrel-fwpack are).
set -u
bin=$(cd "$1" && pwd)
collection=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v ansible-playbook >/dev/null || { echo "ansible-core is not installed (scripts/install-deps.sh)"; exit 77; }

source "$collection/tests/installed_collection.sh"

start_sim() {  # start_sim FAULT-OPTIONS...: a simulated HBS-HI880; sets pty
    "$bin/vostrel-scanner-sim" --model "$bin/Config/HI880.xml" --product HBS-HI880 --baud 115200 "$@" >sim.out 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do grep -q /dev/ sim.out && break; sleep 0.1; done
    pty=$(grep -o '/dev/[^ ]*' sim.out | head -1)
    [ -n "$pty" ] || fail "the simulator printed no port"
}
cli() { "$bin/vostrel-cli" "$@"; }

# play_failing NAME TASK-YAML [ansible-playbook options]: runs one task, which is
# expected to fail; result.json then holds what the task returned.
play_failing() {
    local name=$1 task=$2; shift 2
    rm -f result.json
    cat >"$name.yml" <<YAML
- hosts: localhost
  connection: local
  gather_facts: false
  vars:
    ansible_python_interpreter: $(command -v python3)
  tasks:
$task
      register: outcome
      ignore_errors: true
    - ansible.builtin.copy: {content: "{{ outcome | to_json }}", dest: $work/result.json}
      check_mode: false
YAML
    ansible-playbook -i localhost, "$name.yml" "$@" >"$name.log" 2>&1 || fail "$name: $(cat "$name.log")"
    [ -s result.json ] || fail "$name: no result: $(cat "$name.log")"
    expect "r.get('failed') is True" "$name: the task did not fail"
}
expect() {  # expect PYTHON-CONDITION-ON-r WHAT
    python3 -c "import json, sys; r = json.load(open('result.json')); sys.exit(0 if ($1) else 1)" \
        || fail "$2: $(cat result.json)"
}

# A refused setting after two that were taken.
start_sim --fault nak:BEPLVL
cli read --port "$pty" --baud 115200 shop.xml >/dev/null || fail "read"
python3 - shop.xml <<'PY' || fail "cannot edit the file"
import re, sys
path = sys.argv[1]
text = open(path).read()
def other(match):
    return 'CommandName="%s" Value="%s"' % (match.group(1), '1' if match.group(2) == '0' else '0')
text = re.sub(r'CommandName="(E08ENA|C39ENA)" Value="([01])"', other, text)
text = re.sub(r'CommandName="BEPLVL" Value="[0-9]"', 'CommandName="BEPLVL" Value="1"', text)
open(path, 'w').write(text)
PY
settings_task="    - vostrel.scanners.settings: {port: \"$pty\", baud: 115200, file: $work/shop.xml, executable: $bin/vostrel-cli}"
play_failing refused "$settings_task"
expect "r['changed'] is True and r.get('failed') is True" "a run that wrote two settings reports no change"
expect "'refused BEPLVL' in r['msg'] and r['scanner']['sent'] == 2" "the message does not name the refused setting"

# A file for another model: check mode fails where the run would, and writes nothing.
sed 's/DeviceType="[^"]*"/DeviceType="HBS-HS620"/' shop.xml >other.xml
other_task="    - vostrel.scanners.settings: {port: \"$pty\", baud: 115200, file: $work/other.xml, executable: $bin/vostrel-cli}"
play_failing other-check "$other_task" --check
expect "'the file is for HBS-HS620' in r['msg'] and not r['changed']" "check mode did not refuse the other model's file"
play_failing other-run "$other_task"
expect "'the file is for HBS-HS620' in r['msg'] and not r['changed']" "the run did not refuse the other model's file"
kill "${pids[-1]}" 2>/dev/null

# A download whose end packet fails after every block was written.
start_sim --fw-fault fail:E
"$bin/vostrel-fwpack" --device HBS-HI880 --version V9.00.001 --sample kernel:4096 --sample application:8000 \
    -o hi880.bin >/dev/null || fail "no firmware file"
play_failing firmware "    - vostrel.scanners.firmware: {port: \"$pty\", baud: 115200, file: $work/hi880.bin, executable: $bin/vostrel-cli}"
expect "r['changed'] is True and r.get('failed') is True" "a download that wrote blocks reports no change"
expect "'failed:' in r['msg'] and '(status ' in r['msg']" "the message is not the scanner's reason"

echo "Ansible failures end to end: OK"
