#!/bin/bash
# vostrel-cli against the vostrel-scanner-sim program on a pseudo-terminal, as a user
# would try them: list names the model, send shows ACK, NAK and ENQ items, and a
# configuration is read, compared, edited and applied.
# With "real" as the second argument the simulator runs under its real-world timing
# and comes back on another pseudo-terminal after the firmware download.
set -u
bin="$1"
timing=()
[ "${2:-}" = real ] && timing=(--timing real --new-path-on-restart yes)
model="$bin/Config/FM300.xml"
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$model" ] || fail "no shipped model file $model"
out=$(mktemp)
"$bin/vostrel-scanner-sim" --model "$model" --product HBS-FM300 --baud 115200 "${timing[@]}" >"$out" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 50); do grep -q /dev/ "$out" && break; sleep 0.1; done
port=$(grep -o '/dev/[^ ]*' "$out" | head -1)
[ -n "$port" ] || fail "the simulator printed no port: $(cat "$out")"

listed=$("$bin/vostrel-cli" list --port "$port") || fail "list failed with $?"
echo "$listed"
[ "$(printf '%s\n' "$listed" | wc -l)" = 1 ] || fail "list printed more than one scanner"
IFS=$'\t' read -r lport product serial matched <<<"$listed"
[ "$lport" = "$port" ] || fail "port column '$lport'"
[ "$product" = HBS-FM300 ] || fail "product column '$product'"
[ -n "$serial" ] && [ "$serial" != - ] || fail "serial column '$serial'"
[ "$matched" = HBS-FM300 ] || fail "model column '$matched'"

# The first command of the model file, to be sure it is one the scanner knows.
first=$(grep -o '<CommandName>[^<]*' "$model" | head -1 | cut -d'>' -f2)
sent=$("$bin/vostrel-cli" send --port "$port" --baud 115200 "@${first}*;QQQQQQ1")
code=$?
echo "$sent"
[ $code = 4 ] || fail "send with an unknown command exited $code, not 4"
printf '%s\n' "$sent" | grep -q "^${first}"$'\t'".*"$'\t'"ACK\$" || fail "no ACK item for $first"
printf '%s\n' "$sent" | grep -q "^QQQQQQ"$'\t'".*"$'\t'"ENQ\$" || fail "no ENQ item for QQQQQQ"

sent=$("$bin/vostrel-cli" send --port "$port" --baud 115200 "@${first}999999999")
[ $? = 4 ] || fail "an out-of-range value was not refused"
printf '%s\n' "$sent" | grep -q $'\t'"NAK\$" || fail "no NAK item: $sent"

"$bin/vostrel-cli" send --port "$port" --baud 115200 "@${first}*" >/dev/null || fail "a plain query failed"
"$bin/vostrel-cli" send --port "$port" --baud 1200 --timeout 300 "@${first}*" 2>/dev/null
[ $? = 3 ] || fail "a wrong baud rate was not a failed exchange"

# A configuration read from the scanner, edited, compared and written back.
config="$out.xml"
trap 'kill $sim 2>/dev/null; rm -f "$out" "$config"' EXIT
"$bin/vostrel-cli" read --port "$port" --baud 115200 "$config" || fail "read failed with $?"
grep -q '<Vostrel DeviceType="HBS-FM300">' "$config" || fail "read wrote no configuration: $(head -3 "$config")"
"$bin/vostrel-cli" diff --port "$port" --baud 115200 "$config" || fail "a file just read differs from its scanner"
sed -i 's/CommandName="BEPENA" Value="[0-9]*"/CommandName="BEPENA" Value="0"/' "$config"
"$bin/vostrel-cli" send --port "$port" --baud 115200 "@BEPENA1" >/dev/null || fail "could not turn the beeper on"
differs=$("$bin/vostrel-cli" diff --port "$port" --baud 115200 "$config")
[ $? = 6 ] || fail "diff found no difference"
[ "$differs" = "BEPENA"$'\t'"0"$'\t'"1" ] || fail "diff printed '$differs'"
applied=$("$bin/vostrel-cli" apply --port "$port" --baud 115200 "$config") || fail "apply failed: $applied"
echo "$applied"
"$bin/vostrel-cli" diff --port "$port" --baud 115200 "$config" || fail "the applied file still differs"

# Firmware: a file for another product is skipped, a damaged one refused, the right one
# upgrades the scanner, which then reports the new version.
firmware="$out.bin"
trap 'kill $sim 2>/dev/null; rm -f "$out" "$config" "$firmware"' EXIT
"$bin/vostrel-fwpack" --device HBS-HI880 --version V9 --sample kernel:100 -o "$firmware" >/dev/null || fail "fwpack failed"
"$bin/vostrel-cli" upgrade --port "$port" --baud 115200 "$firmware" | grep -q "skipped: the file is for HBS-HI880" \
  || fail "a file for another product was not skipped"
"$bin/vostrel-fwpack" --device HBS-FM300 --version V2.00.001 --sample kernel:3000 --sample application:2000 \
  -o "$firmware" >/dev/null || fail "fwpack failed"
cp "$firmware" "$firmware.cut" && truncate -s -1 "$firmware.cut"
"$bin/vostrel-cli" upgrade --port "$port" --baud 115200 "$firmware.cut" 2>/dev/null
[ $? = 5 ] || fail "a damaged firmware file was not refused with 5"
rm -f "$firmware.cut"
# Under the real timing the scanner comes back on the path it announced; the search
# for it knows that path as a user's port list would.
comeback=$(sed -n 's/^restart path //p' "$out" | head -1)
upgraded=$(VOSTREL_SERIAL_PORTS="$port${comeback:+:$comeback}" "$bin/vostrel-cli" upgrade --port "$port" --baud 115200 \
  "$firmware") || fail "upgrade failed: $upgraded"
printf '%s\n' "$upgraded" | tail -2
printf '%s\n' "$upgraded" | grep -q $'\t'"ok: V2.00.001\$" || fail "no ok line: $upgraded"
if [ -n "$comeback" ]; then
  # The report names the path the scanner came back on. (Whether the old path is gone
  # cannot be told: another program may have been given the same pseudo-terminal.)
  printf '%s\n' "$upgraded" | grep -q "^$comeback"$'\t' || fail "the upgrade does not name $comeback: $upgraded"
  port=$comeback
fi
"$bin/vostrel-cli" send --port "$port" --baud 115200 "@QRYSYS" | grep -q "Firmware: V2.00.001" \
  || fail "the scanner does not report the new version"

# Files as a careless or hostile user gives them: a link is written through, devices and
# folders are refused before anything is read, and lost output is no success.
work=$(mktemp -d)
trap 'kill $sim 2>/dev/null; rm -rf "$out" "$config" "$firmware" "$work"' EXIT
printf old >"$work/target.xml"
ln -s target.xml "$work/link.xml"
"$bin/vostrel-cli" read --port "$port" --baud 115200 "$work/link.xml" >/dev/null || fail "read through a link failed"
[ -L "$work/link.xml" ] && grep -q 'DeviceType="HBS-FM300"' "$work/target.xml" || fail "the link was not written through"
"$bin/vostrel-cli" read --port "$port" --baud 115200 /dev/null 2>/dev/null
[ $? = 5 ] || fail "read into a device was not refused with 5"
python3 -c "import sys; n=200000; sys.stdout.write('<Vostrel>' + '<a>'*n + '</a>'*n + '</Vostrel>')" >"$work/deep.xml"
"$bin/vostrel-cli" diff --port "$port" --baud 115200 "$work/deep.xml" 2>/dev/null
[ $? = 5 ] || fail "a file nested 200000 deep was not refused with 5"
"$bin/vostrel-fwpack" --device HBS-FM300 --version V2 --part kernel:/tmp -o "$work/f.bin" 2>/dev/null
[ $? = 1 ] || fail "a folder as a firmware part was not refused with 1"
"$bin/vostrel-fwpack" --device HBS-FM300 --version V2 --part kernel:"$firmware" -o "$firmware" 2>/dev/null
[ $? = 1 ] || fail "a firmware part was written over"
"$bin/vostrel-cli" upgrade --port "$port" --baud 115200 /dev/zero 2>/dev/null
[ $? = 5 ] || fail "/dev/zero as firmware was not refused with 5"
"$bin/vostrel-cli" list --json --port "$port" >/dev/full 2>/dev/null
[ $? != 0 ] || fail "list --json into a full disk exited 0"
"$bin/vostrel-cli" list --port "$port" >&- 2>/dev/null
[ $? != 0 ] || fail "list with standard output closed exited 0"

# A pseudo-terminal named in the user's settings file is searched like a system port.
mkdir -p "$work/config/vostrel"
printf '[cfg]\nSerialPorts=%s\n' "$port" >"$work/config/vostrel/hbs.ini"
found=$(XDG_CONFIG_HOME="$work/config" VOSTREL_SERIAL_PORTS= "$bin/vostrel-cli" list)
printf '%s\n' "$found" | grep -q "^$port"$'\t' || fail "SerialPorts= of hbs.ini was not searched: $found"

# A scanner that goes away while its settings are read is named as gone (status 2): it
# answers the rate check, then hangs up after its next reply, the identity.
"$bin/vostrel-scanner-sim" --model "$model" --product HBS-FM300 --baud 115200 --fault disconnect:3000:1 >"$work/sim" 2>&1 &
gone_sim=$!
trap 'kill $sim $gone_sim 2>/dev/null; rm -rf "$out" "$config" "$firmware" "$work"' EXIT
for _ in $(seq 50); do grep -q /dev/ "$work/sim" && break; sleep 0.1; done
gone=$(grep -o '/dev/[^ ]*' "$work/sim" | head -1)
message=$("$bin/vostrel-cli" read --port "$gone" --baud 115200 "$work/gone.xml" 2>&1)
[ $? = 2 ] && [[ "$message" == *"does not exist any more"* ]] || fail "a scanner gone mid-read: $message"
[ ! -e "$work/gone.xml" ] || fail "a read cut short left a file"
echo "PASS"
