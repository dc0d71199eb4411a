#!/usr/bin/env bash
# Pictures of every page, in English and in Chinese, at 1366x768 with a window
# manager, for people who check how the program looks:
#   bash scripts/tour.sh [--pty] [--dark] [FOLDER]        (default: build/tour)
# The program connects to its simulated HBS-HI880, walks the pages and closes. With
# --pty the scanner is vostrel-scanner-sim on a pseudo-terminal that reads a code
# every 300 ms and is stopped (SIGSTOP) once the first settings page is shown, so
# that every page meets a scanner that has gone silent. With --dark the desktop
# style is Adwaita's dark one. The pictures land in FOLDER/en and FOLDER/cn; GTK's warnings of each walk in
# FOLDER/<lang>/stderr.txt, and each time the windows did not answer for over 100 ms
# in FOLDER/<lang>/stalls.txt, and the windows' layout faults (text cut off, controls
# over each other or past their window's edge, text under 4.5:1 contrast) in
# FOLDER/<lang>/layout.txt. Exits non-zero when a walk fails, GTK warned, a layout
# fault was found or the windows did not answer for over 250 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
pty=0
theme=
while [ $# -gt 0 ]; do
  case $1 in
    --pty) pty=1 ;;
    --dark) theme=Adwaita:dark ;;
    *) break ;;
  esac
  shift
done
folder=$(realpath -m "${1:-build/tour}")
program=build/default/bin/vostrel
simulator=build/default/bin/vostrel-scanner-sim
[ -x "$program" ] || { echo "build the program first: cmake --build --preset default" >&2; exit 1; }
for tool in Xvfb openbox import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb openbox imagemagick)" >&2; exit 1; }
done

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
home=$(mktemp -d)
sim_pid=
stop_scanner() {
  [ -n "$sim_pid" ] || return 0
  kill -CONT "$sim_pid" 2>/dev/null || true
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=
}
trap 'stop_scanner; kill "$wm_pid" "$xvfb_pid" 2>/dev/null || true; rm -rf "$display_file" "$home"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$display_file")"
openbox >/dev/null 2>&1 &
wm_pid=$!

status=0
for lang in en cn; do
  case $lang in
    en) locale=en_US.UTF-8 ;;
    cn) locale=zh_CN.UTF-8 ;;
  esac
  out="$folder/$lang"
  rm -rf "$out" && mkdir -p "$out"
  # A first start in the given locale: a fresh home, so no language was chosen yet.
  rm -rf "${home:?}"/* && mkdir -p "$home/config" "$home/state"
  builtin=HBS-HI880
  ports=
  if [ "$pty" -eq 1 ]; then
    # The scanner prints its pseudo-terminal's path first; it reads every 300 ms.
    "$simulator" --model build/default/bin/Config/HI880.xml --product HBS-HI880 --baud 115200 \
      --scan-every 300 >"$out/simulator.txt" 2>&1 &
    sim_pid=$!
    for _ in $(seq 50); do [ -s "$out/simulator.txt" ] && break; sleep 0.1; done
    ports=$(head -n1 "$out/simulator.txt")
    builtin=
    # Silenced once the first settings page has been pictured.
    ( while kill -0 "$sim_pid" 2>/dev/null; do
        if ls "$out"/*-settings-*.png >/dev/null 2>&1; then kill -STOP "$sim_pid"; break; fi
        sleep 0.2
      done ) &
  fi
  if ! env ${theme:+GTK_THEME="$theme"} HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" LANG="$locale" LC_ALL= \
      VOSTREL_SIMULATED_SCANNER="$builtin" VOSTREL_SERIAL_PORTS="$ports" VOSTREL_AUTOCONNECT=HBS-HI880 \
      VOSTREL_TOUR="$out" VOSTREL_STALL_LOG="$out/stalls.txt" \
      timeout 300 "$program" >"$out/stdout.txt" 2>"$out/stderr.txt"; then
    echo "$lang: the walk failed (see $out/stderr.txt)" >&2
    status=1
  fi
  stop_scanner
  warnings=$(grep -c -E 'Gtk-(CRITICAL|WARNING)' "$out/stderr.txt" || true)
  longest=$(sed -n 's/.* stall \([0-9]*\) ms.*/\1/p' "$out/stalls.txt" 2>/dev/null | sort -n | tail -n1)
  longest=${longest:-0}
  clipped=$(cat "$out/layout.txt" 2>/dev/null | wc -l)
  echo "$lang: $(ls "$out"/*.png 2>/dev/null | wc -l) pictures in $out, $warnings GTK warnings, longest stall $longest ms"
  echo "$lang: $clipped clipped"
  [ "$warnings" -eq 0 ] || status=1
  if [ "$clipped" -gt 0 ]; then
    sed 's/^/  /' "$out/layout.txt" >&2
    status=1
  fi
  if [ "$longest" -gt 250 ]; then
    echo "$lang: the windows did not answer for $longest ms (see $out/stalls.txt)" >&2
    status=1
  fi
done
exit "$status"
