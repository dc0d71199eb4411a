#!/usr/bin/env bash
# Checks that a screen reader can name every control of every page:
#   bash scripts/a11y-check.sh [--lang en|cn] [FOLDER]     (default: en, build/a11y)
# The program connects to its simulated HBS-HI880 on a private virtual display and
# D-Bus session with AT-SPI on, and walks its pages (settings pages, setting search,
# data-format editor with and without its key pad, batch upgrade, home, scanner and
# model lists, command page). On each page scripts/a11y-check.py asks the
# accessibility bus for the controls on screen and lists those without a name in
# FOLDER/NN-<page>.a11y.txt. Exits non-zero, listing them, when a control has no name,
# a page could not be looked at or the walk failed.
set -euo pipefail
cd "$(dirname "$0")/.."
lang=en
if [ "${1:-}" = "--lang" ]; then
  lang=${2:-}
  shift 2
fi
case $lang in
  en) locale=en_US.UTF-8 ;;
  cn) locale=zh_CN.UTF-8 ;;
  *) echo "--lang takes en or cn" >&2; exit 2 ;;
esac
folder=$(realpath -m "${1:-build/a11y}")
program=build/default/bin/vostrel
[ -x "$program" ] || { echo "build the program first: cmake --build --preset default" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }
command -v dbus-run-session >/dev/null || { echo "dbus-run-session is missing (apt-get install dbus)" >&2; exit 1; }
# Debian's python3 with its packages, whatever python3 comes first on PATH.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null \
  || { echo "python3-pyatspi is missing (apt-get install python3-pyatspi at-spi2-core)" >&2; exit 1; }

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
home=$(mktemp -d)
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$display_file" "$home"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }

rm -rf "$folder" && mkdir -p "$folder" "$home/config" "$home/state"
checker="/usr/bin/python3 $(pwd)/scripts/a11y-check.py page %s"
status=0
# GTK reaches the accessibility bus through the session bus; NO_AT_BRIDGE would keep it off.
if ! env -u NO_AT_BRIDGE DISPLAY=":$(head -n1 "$display_file")" HOME="$home" \
    XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" LANG="$locale" LC_ALL= \
    VOSTREL_SIMULATED_SCANNER=HBS-HI880 VOSTREL_AUTOCONNECT=HBS-HI880 \
    VOSTREL_TOUR="$folder" VOSTREL_TOUR_SHOT="$checker" \
    timeout 600 dbus-run-session -- "$program" >"$folder/stdout.txt" 2>"$folder/stderr.txt"; then
  echo "$lang: the walk failed (see $folder/stderr.txt)" >&2
  status=1
fi
/usr/bin/python3 scripts/a11y-check.py summary "$folder" || status=1
exit "$status"
