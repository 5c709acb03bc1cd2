#!/usr/bin/env bash
# The programs as a screen reader meets them: each program runs on its own Xvfb inside a private D-Bus
# session, where the desktop accessibility bus (AT-SPI) is started on demand, and atspi_walk.py walks and
# operates the accessible tree through the same client library screen readers use.
#   atspi.sh path/to/Quorvex path/to/Zelmora path/to/Tavrinth
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# A display of our own, whatever else runs on this machine.
exec 7> "$work/display"
Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 100); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done
export XDG_RUNTIME_DIR="$work"
unset QT_SCALE_FACTOR
# The accessibility bus is a child of this private session: nothing of the desktop around us is used.
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
# The client library is the distribution's: a Python of our own on the PATH would not have it.
exec dbus-run-session -- /usr/bin/python3 "$here/atspi_walk.py" "$@"
