#!/bin/bash
# vostrel-cli against a simulated scanner served over the network by ser2net, in both
# of its modes: as a Telnet COM-port control server (rfc2217://) and raw (tcp://).
# Every --json document is checked against the published schema.
set -u
bin="$1"
schema="$2"
model="$bin/Config/HI880.xml"
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v ser2net >/dev/null || { echo "ser2net is not installed (scripts/install-deps.sh)"; exit 77; }
python3 -c 'import jsonschema' 2>/dev/null || { echo "python3-jsonschema is not installed"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT

# Free loopback ports, so that runs side by side do not meet.
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

start_sim() {  # start_sim NAME [sim options...]: sets sim_pty to its pseudo-terminal
    local name=$1; shift
    "$bin/vostrel-scanner-sim" --model "$model" --product HBS-HI880 --baud 115200 "$@" >"$work/$name.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do grep -q /dev/ "$work/$name.out" && break; sleep 0.1; done
    sim_pty=$(grep -o '/dev/[^ ]*' "$work/$name.out" | head -1)
}

# Python starts slowly on a busy machine: every document is checked in one run at the end.
documents=()
check_json() { documents+=("$1"); }
check_all_json() {
    python3 - "$schema" "${documents[@]}" <<'EOF' || fail "a document does not follow the schema"
import json, sys, jsonschema
schema = json.load(open(sys.argv[1]))
for path in sys.argv[2:]:
    try:
        jsonschema.validate(json.load(open(path)), schema)
    except Exception as error:
        sys.exit("%s: %s\n%s" % (path, error, open(path).read()))
EOF
}
has() { grep -q -- "$2" "$1" || fail "$1 lacks $2: $(cat "$1")"; }

start_sim main
pty=$sim_pty
start_sim slow --fault slow:4000
slow_pty=$sim_pty
[ -n "$pty" ] && [ -n "$slow_pty" ] || fail "the simulator printed no port"

rfc_port=$(free_port); raw_port=$(free_port); slow_port=$(free_port)
# The Telnet port starts the line at 9600 baud; the scanner answers only at 115200,
# so everything that works through it proves that the rate travelled.
cat >"$work/ser2net.yaml" <<EOF
connection: &rfc
  accepter: telnet(rfc2217),tcp,127.0.0.1,$rfc_port
  connector: serialdev,$pty,9600n81,local
connection: &raw
  accepter: tcp,127.0.0.1,$raw_port
  connector: serialdev,$pty,115200n81,local
connection: &slow
  accepter: telnet(rfc2217),tcp,127.0.0.1,$slow_port
  connector: serialdev,$slow_pty,115200n81,local
EOF
ser2net -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >"$work/ser2net.log" 2>&1 &
ser2net_pid=$!
pids+=($ser2net_pid)
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$slow_port") 2>/dev/null && break
    sleep 0.1
done

rfc="rfc2217://127.0.0.1:$rfc_port"
raw="tcp://127.0.0.1:$raw_port"
cli() { "$bin/vostrel-cli" "$@"; }

for port in "$rfc" "$raw"; do
    listed="$work/list-${port%%:*}.json"
    cli list --json --port "$port" >"$listed" || fail "list at $port exited $?: $(cat "$listed")"
    check_json "$listed"
    has "$listed" '"model": "HBS-HI880"'
done

cli read --json --port "$rfc" --baud 115200 "$work/hi880.xml" >"$work/read.json" || fail "read exited $?"
check_json "$work/read.json"
grep -q '<Vostrel DeviceType="HBS-HI880">' "$work/hi880.xml" || fail "read wrote no configuration"

# The file asks for the beeper off; the first apply writes it, the second finds nothing to do.
sed -i 's/CommandName="BEPENA" Value="[0-9]*"/CommandName="BEPENA" Value="0"/' "$work/hi880.xml"
cli send --json --port "$rfc" --baud 115200 "@BEPENA1" >"$work/send.json" || fail "send exited $?"
check_json "$work/send.json"
cli inventory --json --port "$raw" --against "$work/hi880.xml" >"$work/inventory.json"
[ $? = 6 ] || fail "inventory did not see the difference: $(cat "$work/inventory.json")"
check_json "$work/inventory.json"
has "$work/inventory.json" '"differs": true'
has "$work/inventory.json" '"firmware": "V'
has "$work/inventory.json" '"kernel": "V'

cli diff --json --port "$rfc" --baud 115200 "$work/hi880.xml" >"$work/diff.json"
[ $? = 6 ] || fail "diff found no difference"
check_json "$work/diff.json"

for expected in changed unchanged; do
    cli apply --json --port "$rfc" --baud 115200 "$work/hi880.xml" >"$work/apply-$expected.json" || fail "apply exited $?"
    check_json "$work/apply-$expected.json"
    has "$work/apply-$expected.json" "\"result\": \"$expected\""
done
cli inventory --csv --port "$raw" --against "$work/hi880.xml" >"$work/inventory.csv" || fail "inventory after apply exited $?"
grep -q '^tcp://.*,HBS-HI880,same$' "$work/inventory.csv" || fail "inventory.csv: $(cat "$work/inventory.csv")"

# Errors come as documents too, with the exit codes unchanged.
cli list --json --port "tcp://127.0.0.1:$(free_port)" >"$work/refused.json"
[ $? = 2 ] || fail "a refused connection did not exit 2"
check_json "$work/refused.json"
has "$work/refused.json" "nothing accepts a connection"
check_all_json

# ser2net goes away while a reply is awaited: a clear failure, long before the time-out.
start=$(date +%s%N)
cli send --port "rfc2217://127.0.0.1:$slow_port" --baud 115200 --timeout 9000 "@BEPENA*" 2>"$work/cut.err" &
cut=$!
sleep 1
kill "$ser2net_pid"
wait "$cut"
code=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ $code = 3 ] || fail "a dropped connection exited $code: $(cat "$work/cut.err")"
[ $elapsed_ms -lt 4000 ] || fail "a dropped connection took $elapsed_ms ms to fail"
echo "dropped connection: $(cat "$work/cut.err") after $elapsed_ms ms"
echo "PASS"
