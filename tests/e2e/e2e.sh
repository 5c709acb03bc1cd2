#!/usr/bin/env bash
# End-to-end on a real X server: starts each program binary under its own Xvfb, waits for its window,
# checks the client size, types a value and clicks with xdotool, takes a screenshot and checks pixels (the
# axes at the canvas centre, a plotted curve), exports the canvas as SVG and PDF through the export dialog,
# then ends the program through its exit picture. Then, on a projector-sized display, Quorvex at 200 % and
# full screen under a window manager (openbox): window size and a sharp axis line.
#   e2e.sh path/to/Quorvex path/to/Zelmora path/to/Tavrinth
set -euo pipefail

quorvex=$1 zelmora=$2 tavrinth=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$(dirname "$0")/../support/xvfb.sh"

fail() { echo "e2e FAILED: $*" >&2; exit 1; }

# find_window TITLE: the id of the visible window of that title, once it shows (30 s at most). An X error
# from a window that went away while xdotool looked at it (the last program's, closing) only means looking
# again.
find_window() {
    local wid end=$((SECONDS + 30))
    while [ "$SECONDS" -lt "$end" ]; do
        wid=$(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -1 || true)
        if [ -n "$wid" ]; then
            echo "$wid"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# True when some pixel in the square of half-size r around (x, y) satisfies the python test on r, g, b.
somewhere() {
    local x=$1 y=$2 r=$3 test=$4
    import -window root -depth 8 "ppm:$work/shot.ppm"
    python3 - "$work/shot.ppm" "$x" "$y" "$r" "$test" "$here" <<'PY'
import sys
sys.path.insert(0, sys.argv[6])
import screenshot
pixel = screenshot.load(sys.argv[1])
cx, cy, r, test = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
for y in range(cy - r, cy + r + 1):
    for x in range(cx - r, cx + r + 1):
        R, G, B = pixel(x, y)
        if eval(test):
            sys.exit(0)
sys.exit(1)
PY
}

# The X server's current cursor image (XFixes): it must be the 32 x 32 cross-hair with its hot spot at
# (15, 15), dark and opaque at the crossing and on both strokes, transparent in the corners. A cursor that
# only inverts would be empty here: X11 cannot show it.
cursor_is_cross() {
    /usr/bin/python3 - <<'PY'
import sys
from Xlib import display
d = display.Display()
d.xfixes_query_version()
c = d.xfixes_get_cursor_image(d.screen().root)
w, h = c.width, c.height
px = lambda x, y: c.cursor_image[y * w + x] & 0xFFFFFFFF
alpha = lambda v: v >> 24
dark = lambda v: alpha(v) == 255 and (v & 0xFFFFFF) == 0
ok = (w, h, c.xhot, c.yhot) == (32, 32, 15, 15)
ok = ok and all(dark(px(x, y)) for x, y in [(15, 15), (7, 15), (23, 15), (15, 7), (15, 23)])
ok = ok and all(alpha(px(x, y)) == 0 for x, y in [(0, 0), (31, 0), (0, 31), (31, 31), (3, 3)])
if not ok:
    print("cursor %dx%d hot (%d,%d)" % (w, h, c.xhot, c.yhot), file=sys.stderr)
sys.exit(0 if ok else 1)
PY
}

# run NAME BINARY WIDTH HEIGHT PARAM_X PARAM_Y PLOT_X PLOT_Y AXIS_X AXIS_Y CURVE_X CURVE_Y EXIT_X EXIT_Y [PRE_X PRE_Y]
run() {
    local name=$1 binary=$2 width=$3 height=$4
    echo "== $name"
    "$binary" > "$work/$name.log" 2>&1 &
    local pid=$!
    local wid
    wid=$(find_window "$name") || fail "$name: no window"
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    [ "$WIDTH" = "$width" ] && [ "$HEIGHT" = "$height" ] || fail "$name: client area ${WIDTH}x${HEIGHT}, expected ${width}x${height}"
    local ox=$X oy=$Y
    sleep 0.5
    # Axes: black pixels where the frame of -10..10 puts its x axis, left of the canvas centre.
    somewhere $((ox + $9)) $((oy + ${10})) 2 'R < 40 and G < 40 and B < 40' || fail "$name: no axis at the canvas centre"
    # Over the canvas the pointer is the visible cross-hair.
    xdotool mousemove $((ox + $9)) $((oy + ${10}))
    sleep 0.3
    cursor_is_cross || fail "$name: the pointer over the canvas is not a visible cross-hair"
    if [ $# -ge 16 ]; then
        xdotool mousemove $((ox + ${15})) $((oy + ${16})) click 1
        sleep 0.3
    fi
    xdotool mousemove $((ox + $5)) $((oy + $6)) click 1
    sleep 0.2
    xdotool type --delay 50 "2"
    xdotool mousemove $((ox + $7)) $((oy + $8)) click 1
    # The curve (traced by a timer in two of the programs): a coloured pixel near the point it must pass.
    local drawn=no
    for _ in $(seq 40); do
        sleep 0.25
        if somewhere $((ox + ${11})) $((oy + ${12})) 3 \
            'not (R > 240 and G > 240 and B > 180) and not (R < 40 and G < 40 and B < 40) and not (R == G == B)'; then
            drawn=yes
            break
        fi
    done
    [ $drawn = yes ] || fail "$name: no curve at the expected point"
    import -window root "$work/$name.png"
    # Export through the dialog (Ctrl+Shift+S, the name typed, Enter): an SVG and a PDF of the canvas, with
    # the axis numbers as text in both.
    for ext in svg pdf; do
        xdotool mousemove $((ox + $5)) $((oy + $6)) click 1
        sleep 0.2
        xdotool key ctrl+shift+s
        timeout 10 xdotool search --sync --onlyvisible --name '^导出图像$' > /dev/null || fail "$name: no export dialog"
        sleep 0.5
        xdotool type --delay 20 "$work/$name.$ext"
        xdotool key Return
        for _ in $(seq 50); do [ -s "$work/$name.$ext" ] && break; sleep 0.1; done
        [ -s "$work/$name.$ext" ] || fail "$name: the export dialog wrote no $ext file"
    done
    python3 - "$work/$name.svg" <<'PY' || fail "$name: the SVG is not a picture of the canvas with its numbers"
import sys, xml.etree.ElementTree as ET
texts = {(t.text or '').strip() for t in ET.parse(sys.argv[1]).iter('{http://www.w3.org/2000/svg}text')}
sys.exit(0 if {'-9', '9', '1'} <= texts else 1)
PY
    pdftotext "$work/$name.pdf" "$work/$name.txt"
    tr -s ' ' '\n' < "$work/$name.txt" | grep -x -- '-9' > /dev/null || fail "$name: no axis numbers as text in the PDF"
    # Exit: onto the normal picture (it gives way to the highlighted one), then click it.
    xdotool mousemove $((ox + ${13})) $((oy + ${14}))
    sleep 0.3
    xdotool mousemove $((ox + ${13} + 1)) $((oy + ${14}))
    sleep 0.3
    xdotool click 1
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        fail "$name: still running after a click on the exit picture"
    fi
    wait "$pid" || fail "$name: exited with an error"
    echo "$name: window ${WIDTH}x${HEIGHT}, axes, cross-hair, curve, export and exit checked"
}

#             name     binary     w   h   param     plot      axis      curve     exit      (option)
run Quorvex  "$quorvex"  740 494 70 180   44 260    262 220   395 146   680 450   45 404
run Zelmora  "$zelmora"  769 510 100 164  60 228    326 237   450 162   700 458
run Tavrinth "$tavrinth" 770 510 112 172  60 228    326 237   487 199   700 458

# The x axis in the screen column x, somewhere within r pixels of row y: a run of pure black no thicker
# than `most`, with pure canvas colour right above and below it (a picture enlarged as a bitmap would
# show grey rows there).
sharp_axis() {
    local x=$1 y=$2 r=$3 most=$4
    import -window root -depth 8 "ppm:$work/shot.ppm"
    python3 - "$work/shot.ppm" "$x" "$y" "$r" "$most" "$here" <<'PY'
import sys
sys.path.insert(0, sys.argv[6])
import screenshot
pixel = screenshot.load(sys.argv[1])
x, cy, r, most = (int(v) for v in sys.argv[2:6])
def px(y):
    return pixel(x, y)
black = [y for y in range(cy - r, cy + r + 1) if px(y) == (0, 0, 0)]
if not black or black[-1] - black[0] + 1 != len(black) or len(black) > most:
    sys.exit("axis rows %s at column %d" % (black, x))
for y in list(range(black[0] - 4, black[0])) + list(range(black[-1] + 1, black[-1] + 3)):
    if px(y) != (255, 255, 192):
        sys.exit("blurred axis: %s at row %d" % (px(y), y))
PY
}

# A display the size of a classroom projector, with its own window manager for full screen.
exec 8> "$work/display2"
Xvfb -displayfd 8 -screen 0 1920x1080x24 -nolisten tcp > "$work/xvfb2.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display2" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display2")"
openbox > "$work/openbox.log" 2>&1 &
sleep 1

# window_of NAME: waits for the program's window and sets X, Y, WIDTH, HEIGHT of its client area (as
# xwininfo reports them: xdotool counts a window manager's title bar twice).
window_of() {
    local wid
    wid=$(find_window "$1") || fail "$1: no window"
    sleep 1
    eval "$(xwininfo -id "$wid" | awk -F: '/Absolute upper-left X/ {print "X=" $2+0}
        /Absolute upper-left Y/ {print "Y=" $2+0} /Width/ {print "WIDTH=" $2+0} /Height/ {print "HEIGHT=" $2+0}')"
}

echo "== Quorvex at 200 %"
"$quorvex" --scale=200 > "$work/scale.log" 2>&1 &
pid=$!
window_of Quorvex
[ "$WIDTH" = 1480 ] && [ "$HEIGHT" = 988 ] || fail "200 %: client area ${WIDTH}x${HEIGHT}, expected 1480x988"
# The x axis of -10..10 at 100 % is row 220 of the window; at 200 % one logical pixel is two screen rows.
sharp_axis $((X + 2 * 190)) $((Y + 2 * 220)) 12 2 || fail "200 %: the axis is not a sharp line"
import -window root "$work/Quorvex-200.png"
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "Quorvex: 200 % window 1480x988 with a sharp axis"

echo "== Quorvex full screen"
"$quorvex" --fullscreen > "$work/full.log" 2>&1 &
pid=$!
window_of Quorvex
[ "$WIDTH" = 1920 ] && [ "$HEIGHT" = 1080 ] || fail "full screen: window ${WIDTH}x${HEIGHT}, expected 1920x1080"
# 740 x 494 fits 1080 / 494 times, centred across.
read -r ax ay < <(python3 -c "f = 1080 / 494; print(round((1920 - 740 * f) / 2 + 190 * f), round(220 * f))")
sharp_axis $((X + ax)) $((Y + ay)) 12 3 || fail "full screen: the axis is not a sharp line"
import -window root "$work/Quorvex-full.png"
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "Quorvex: full screen 1920x1080 with a sharp axis"

echo "e2e: 5 passed, 0 failed"
