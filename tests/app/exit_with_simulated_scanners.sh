#!/bin/bash
# The real program with two scanners simulated in-process, connected to one and then
# closed as its close box closes it: it must end with status 0 within a few seconds of
# the close and leave no crash dump. The program runs from a copy of its folder with
# HOME and the XDG folders there too, so that the settings, the log, the dump folder
# and the single-instance lock are this test's own; nothing may be written beside it.
set -u
program="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  cat "$work"/out.txt "$work"/state/vostrel/log/*.log >&2 2>/dev/null
  exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: the program needs an X display (Xvfb)"

bin=$(dirname "$program")
cp "$program" "$work/"
for folder in Config Images Doc lua; do
  [ -d "$bin/$folder" ] && cp -r "$bin/$folder" "$work/"
done
mkdir -p "$work/config/vostrel" "$work/state/vostrel/dump"
printf '[cfg]\nLogLevel=4\nlang=EN\n' >"$work/config/vostrel/hbs.ini"
beside_before=$(ls "$work")

VOSTREL_SIMULATED_SCANNER=HBS-HI880,HBS-EM20 VOSTREL_AUTOCONNECT=HBS-HI880 VOSTREL_AUTOCLOSE_MS=300 \
  HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache" \
  XDG_DOCUMENTS_DIR="$work/documents" timeout 120 "$work/vostrel" >"$work/out.txt" 2>&1
status=$?
ended=$(date +%s%3N)

[ "$status" = 0 ] || fail "exit status $status"
[ -z "$(ls -A "$work/state/vostrel/dump")" ] || fail "crash dump written: $(ls "$work/state/vostrel/dump")"
beside_after=$(ls "$work" | grep -vx 'out.txt\|cache\|documents')
[ "$beside_before" = "$beside_after" ] || fail "written beside the program: $beside_after"
grep -q "lang=EN" "$work/config/vostrel/hbs.ini" || fail "the settings were not kept in the config folder"
log=$(cat "$work"/state/vostrel/log/hbds_*.log)
grep -q "automation: connected to HBS-HI880" <<<"$log" || fail "the scanner was never connected"
closing=$(grep "automation: closing the main window" <<<"$log" | tail -1 | cut -c1-23)
[ -n "$closing" ] || fail "the window was never closed"
took=$((ended - $(date -d "$closing" +%s%3N)))
[ "$took" -lt 5000 ] || fail "the program ended $took ms after the close"
echo "ended $took ms after the close"
