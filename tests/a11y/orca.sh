#!/usr/bin/env bash
# The programs as a blind pupil meets them: Orca, the screen reader Debian ships, speaks each program on
# its own Xvfb with a window manager, in a private D-Bus session with its own accessibility bus, in a
# Chinese locale, through speech-dispatcher and espeak-ng with no sound device. orca_lesson.py presses the
# keys and reads what Orca says from its debug log.
#   orca.sh path/to/Quorvex path/to/Zelmora path/to/Tavrinth
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# Orca --replace ends any other Orca of the same user: one lesson at a time on this machine.
exec 9> "${TMPDIR:-/tmp}/function-explorers-orca.lock"
flock 9
source "$here/../support/xvfb.sh"
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS SPEECHD_ADDRESS

# A Chinese locale of the run's own, whatever the machine has generated.
mkdir -p "$work/locale"
localedef -i zh_CN -f UTF-8 "$work/locale/zh_CN.UTF-8" > /dev/null 2>&1 || true
export LOCPATH="$work/locale" LANG=zh_CN.UTF-8 LANGUAGE=zh_CN LC_ALL=zh_CN.UTF-8

# speech-dispatcher waits for a sound device that is not there unless it writes to libao's null driver.
export XDG_CONFIG_HOME="$work/.config"
speechd="$XDG_CONFIG_HOME/speech-dispatcher"
mkdir -p "$speechd"
cat /etc/speech-dispatcher/speechd.conf - > "$speechd/speechd.conf" << CONF
AudioOutputMethod "libao"
DefaultModule espeak-ng
DefaultLanguage "zh"
CONF
ln -s /etc/speech-dispatcher/modules "$speechd/modules"
ln -s /etc/speech-dispatcher/clients "$speechd/clients"
printf 'default_driver=null\n' > "$HOME/.libao"

dbus-daemon --session --address="unix:path=$work/bus" --nofork --nopidfile > "$work/dbus.log" 2>&1 &
for _ in $(seq 100); do [ -S "$work/bus" ] && break; sleep 0.05; done
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"
/usr/libexec/at-spi-bus-launcher --launch-immediately > "$work/at-spi.log" 2>&1 &
openbox > "$work/openbox.log" 2>&1 &
# What a pupil's desktop says when the screen reader is on: toolkits turn their accessibility on for it.
gsettings set org.gnome.desktop.a11y.applications screen-reader-enabled true 2> /dev/null || true
# Started before Orca and heard once, so that Orca finds it ready rather than giving up on a slow start.
speech-dispatcher --run-single --timeout 0 > "$work/speechd.log" 2>&1 &
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break; sleep 0.1; done
timeout 20 spd-say --wait --language zh "开始" || { echo "speech-dispatcher does not speak"; exit 1; }

# The client library is the distribution's: a Python of our own on the PATH would not have it.
ORCA_WORK="$work" /usr/bin/python3 "$here/orca_lesson.py" "$@"
