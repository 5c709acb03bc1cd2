#!/usr/bin/env bash
# Makes the README's screenshots: each program under its own Xvfb, a curve or two plotted the way a pupil
# would, and the window captured to docs/<program>.png, and at 200 % (for a projector) to
# docs/<program>-200.png.
#   tools/screenshots.sh build-dir
set -euo pipefail
build=${1:-build}
out=$(cd "$(dirname "$0")/.." && pwd)/docs
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
exec 7> "$work/display"
Xvfb -displayfd 7 -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb HOME="$work"

# shoot NAME BINARY PERCENT then "click X Y" / "type TEXT" / "wait S" steps, X and Y at 100 % relative to
# the window.
shoot() {
    local name=$1 binary=$2 percent=$3 file=$1
    shift 3
    [ "$percent" = 100 ] || file=$name-$percent
    "$binary" --scale="$percent" > /dev/null 2>&1 &
    local pid=$! wid
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^$name\$" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    sleep 0.5
    while [ $# -gt 0 ]; do
        case $1 in
        click) xdotool mousemove $((X + $2 * percent / 100)) $((Y + $3 * percent / 100)) click 1; shift 3 ;;
        type) xdotool key ctrl+a; xdotool type --delay 40 "$2"; shift 2 ;;
        wait) sleep "$2"; shift 2 ;;
        esac
        sleep 0.2
    done
    xdotool mousemove $((X + 5)) $((Y + 5))
    sleep 0.3
    import -window "$wid" "$out/$file.png"
    kill "$pid"
    echo "docs/$file.png"
}

for percent in 100 200; do
shoot Quorvex "$build/power/Quorvex" $percent click 45 404 click 70 180 type 2 click 44 260 type 3 click 44 260 \
    click 45 444 click 70 180 type 1 click 70 208 type 3 click 44 260 click 600 364
shoot Zelmora "$build/expolog/Zelmora" $percent click 100 164 type 2 click 60 228 wait 2.5 type 0.5 click 60 228 wait 3
shoot Tavrinth "$build/expolog/Tavrinth" $percent click 112 172 type 2 click 60 228 wait 1.5 type 0.5 click 60 228 wait 1.5
done
