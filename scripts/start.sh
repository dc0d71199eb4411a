#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
# Without a display (a bare server), the program runs on a virtual X display so
# that it can still be tried; point a VNC viewer or `xwd` at it if you need to see it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:91
  if [ ! -e /tmp/.X11-unix/X91 ]; then
    Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    sleep 1
  fi
  echo "No display found: Vostrel runs on the virtual display $DISPLAY."
fi
# A simulated scanner is plugged in, so that the program can be tried without
# hardware; set VOSTREL_SIMULATED_SCANNER= (empty) to start without one.
export VOSTREL_SIMULATED_SCANNER="${VOSTREL_SIMULATED_SCANNER-HBS-HI880}"
exec build/default/bin/vostrel "$@"
