#!/bin/bash
# vostrel-cli against a simulated scanner behind ser2net's TLS layer: listed with the
# authority that signed the server's certificate, refused (exit status 2, with the
# reason) without it and under a name the certificate does not carry. The
# certificates are made here and thrown away.
set -u
bin=$(cd "$1" && pwd)
model="$bin/Config/HI880.xml"
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v ser2net >/dev/null || { echo "ser2net is not installed (scripts/install-deps.sh)"; exit 77; }
command -v openssl >/dev/null || { echo "openssl is not installed"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 1 -subj /CN=TestCA \
    -addext basicConstraints=critical,CA:TRUE >/dev/null 2>&1 || fail "no test authority"
openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj /CN=127.0.0.1 >/dev/null 2>&1
printf 'subjectAltName=IP:127.0.0.1\n' >server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 1 \
    -extfile server.ext >/dev/null 2>&1 || fail "no server certificate"

"$bin/vostrel-scanner-sim" --model "$model" --product HBS-HI880 --baud 115200 >sim.out 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q /dev/ sim.out && break; sleep 0.1; done
pty=$(grep -o '/dev/[^ ]*' sim.out | head -1)
[ -n "$pty" ] || fail "the simulator printed no port"

rfc_port=$(free_port); raw_port=$(free_port)
ssl="ssl(key=$work/server.key,cert=$work/server.pem)"
cat >ser2net.yaml <<YAML
connection: &rfc
  accepter: telnet(rfc2217),$ssl,tcp,127.0.0.1,$rfc_port
  connector: serialdev,$pty,9600n81,local
connection: &raw
  accepter: $ssl,tcp,127.0.0.1,$raw_port
  connector: serialdev,$pty,115200n81,local
YAML
ser2net -n -u -c ser2net.yaml -P "$work/ser2net.pid" >ser2net.log 2>&1 &
pids+=($!)
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$raw_port") 2>/dev/null && break; sleep 0.1; done

cli() { "$bin/vostrel-cli" "$@"; }
# The Telnet port starts at 9600 baud and the scanner answers at 115200 only: the
# line settings travel inside TLS too.
for port in "rfc2217+tls://127.0.0.1:$rfc_port" "tcp+tls://127.0.0.1:$raw_port"; do
    cli list --port "$port" --ca ca.pem >listed 2>&1 || fail "$port with --ca exited $?: $(cat listed)"
    grep -q "HBS-HI880" listed || fail "$port listed no scanner: $(cat listed)"
done

cli list --port "rfc2217+tls://127.0.0.1:$rfc_port" >refused 2>&1
[ $? -eq 2 ] || fail "a certificate without its authority was not refused with 2: $(cat refused)"
grep -q "certificate does not verify" refused || fail "the refusal says no reason: $(cat refused)"

cli list --json --port "tcp+tls://localhost:$raw_port" --ca ca.pem >wrong-name.json
[ $? -eq 2 ] || fail "a certificate for another name was not refused: $(cat wrong-name.json)"
python3 - wrong-name.json <<'PY' || fail "the refusal's document: $(cat wrong-name.json)"
import json, sys
document = json.load(open(sys.argv[1]))
assert document["scanners"] == [] and document["error"]["exitCode"] == 2
assert "mismatch" in document["error"]["message"], document["error"]["message"]
PY

echo "TLS end to end: OK"
