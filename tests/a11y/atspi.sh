#!/usr/bin/env bash
# The programs as a screen reader meets them: each program runs on its own Xvfb inside a private D-Bus
# session, where the desktop accessibility bus (AT-SPI) is started on demand, and atspi_walk.py walks and
# operates the accessible tree through the same client library screen readers use.
#   atspi.sh path/to/Quorvex path/to/Zelmora path/to/Tavrinth
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/xvfb.sh"
# The accessibility bus is a child of this private session: nothing of the desktop around us is used.
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
# The client library is the distribution's: a Python of our own on the PATH would not have it.
dbus-run-session -- /usr/bin/python3 "$here/atspi_walk.py" "$@"
