#!/bin/bash
# The exit status table of the README, one case per row, against the vostrel-scanner-sim
# program on pseudo-terminals: each command line ends with the status the table gives,
# and with --json its error message is the cause in words, never the bare status.
# Usage: exit_codes_end_to_end.sh BIN_DIR
set -u
bin="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT

start_sim() {  # start_sim NAME OPTIONS...: a simulated HBS-HI880; sets sim_port
    local name=$1; shift
    "$bin/vostrel-scanner-sim" --model "$bin/Config/HI880.xml" --product HBS-HI880 --baud 115200 "$@" \
        >"$work/$name.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do grep -q /dev/ "$work/$name.out" && break; sleep 0.1; done
    sim_port=$(grep -o '/dev/[^ ]*' "$work/$name.out" | head -1)
}
start_sim healthy; port=$sim_port
start_sim gone; gone=$sim_port
[ -n "$port" ] && [ -n "$gone" ] || fail "a simulator printed no port"
kill "${pids[-1]}"
for _ in $(seq 50); do [ -e "$gone" ] || break; sleep 0.1; done

cli() { "$bin/vostrel-cli" "$@"; }
at=(--port "$port" --baud 115200)
cli read "${at[@]}" "$work/hi880.xml" >/dev/null || fail "read"
sed 's/CommandName="BEPLVL" Value="[0-9]*"/CommandName="BEPLVL" Value="1"/' "$work/hi880.xml" >"$work/differs.xml"
sed 's/DeviceType="[^"]*"/DeviceType="HBS-HS620"/' "$work/hi880.xml" >"$work/other.xml"
sed 's/ DeviceType="[^"]*"//' "$work/hi880.xml" >"$work/nomodel.xml"
printf '<Vostrel DeviceType="HBS-HI880"><Command CommandName="128MAX;BEPLVL" Value="2"/></Vostrel>' >"$work/hidden.xml"
printf '<Vostrel DeviceType="HBS-HI880"><Command' >"$work/broken.xml"

# status|what the error says (a part)|command line
cases=(
    "0||list ${at[*]}"
    "0||apply ${at[*]} $work/hi880.xml"
    "1|unknown option --bogus|list --bogus"
    "1|--ca names $work/no-ca.pem, which cannot be read|list --port rfc2217+tls://127.0.0.1:1 --ca $work/no-ca.pem"
    "1|--force only goes with apply or upgrade|list --force"
    "2|/dev/no-such-port|list --port /dev/no-such-port"
    "2|does not exist|diff --port $gone --baud 115200 $work/hi880.xml"
    "2|does not exist|inventory --port $gone --against $work/hi880.xml"
    "3|no usable reply|send --port $port --baud 1200 --timeout 300 @BEPLVL*"
    "4|QQQQQQ|send ${at[*]} QQQQQQ1"
    "4|the file is for HBS-HS620|apply ${at[*]} $work/other.xml"
    "4|the file is for HBS-HS620|diff ${at[*]} $work/other.xml"
    "4|the file is for HBS-HS620|inventory --port $port --against $work/other.xml"
    "4|the file names no scanner model|apply ${at[*]} $work/nomodel.xml"
    "4|128MAX;BEPLVL (a name that is not six capital letters or digits)|apply ${at[*]} $work/hidden.xml"
    "5|$work/broken.xml|apply ${at[*]} $work/broken.xml"
    "5|$work/absent.xml|diff ${at[*]} $work/absent.xml"
    "6|BEPLVL|diff ${at[*]} $work/differs.xml"
    "6|differs from|inventory --port $port --against $work/differs.xml"
)
for row in "${cases[@]}"; do
    IFS='|' read -r expected message line <<<"$row"
    read -ra words <<<"$line"
    document=$(cli "${words[0]}" --json "${words[@]:1}" 2>/dev/null)
    status=$?
    [ "$status" = "$expected" ] || fail "vostrel-cli $line exited $status, not $expected: $document"
    [ "$expected" = 0 ] && continue
    printf '%s' "$document" | python3 -c '
import json, sys
document = json.load(sys.stdin)
message = document["error"]["message"]
sys.exit(0 if sys.argv[1] in message + "".join(document["errors"]) and "exit status" not in message else 1)' "$message" \
        || fail "vostrel-cli $line says not why (\"$message\" expected): $document"
done

# Output that cannot be written is status 5 whatever the command found.
cli diff "${at[@]}" "$work/differs.xml" >/dev/full 2>/dev/null
[ $? = 5 ] || fail "diff into a full disk did not exit 5"
cli apply "${at[@]}" "$work/hi880.xml" >/dev/full 2>/dev/null
[ $? = 5 ] || fail "apply into a full disk did not exit 5"
echo "exit statuses: OK"
