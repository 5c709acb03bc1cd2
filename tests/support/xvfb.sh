# Sourced by the tests that need a real X server. Gives a scratch folder $work, removed on exit after
# every background job has ended; an Xvfb display of our own (whatever else runs on this machine) as
# $DISPLAY, accepting clients before we go on; a home of our own; and Qt on that display at scale 1,
# whatever the test run around us asks of Qt.

work=$(mktemp -d)
# The server is waited for, so its display number is free again when the next test asks for one.
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

exec 7> "$work/display"
# -noreset: a server that resets whenever its last client leaves refuses the next one for a moment, and
# short-lived clients (xdotool here, the accessibility bus launcher) come and go before the programs start.
Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp -noreset > "$work/xvfb.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
# The number is written a moment before the server takes connections.
for _ in $(seq 100); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done
export XDG_RUNTIME_DIR="$work"
# A home of the run's own: the programs start at 100 % whatever another run on this machine stored, and
# what they store here stays here.
export HOME="$work"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
