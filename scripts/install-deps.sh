#!/usr/bin/env bash
# Installs the Debian 12 packages the programs, tests and benchmarks need, skipping those already present.
# Runs apt-get as root, or through sudo otherwise.
set -euo pipefail

# With arguments, installs just those packages (the fuzz target's compiler, say).
packages=(
  build-essential cmake make pkg-config clang-format
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n libgl-dev libpulse-dev libpulse0
  qt6-l10n-tools qt6-tools-dev
  libgtest-dev libbenchmark-dev
  fonts-arphic-uming fonts-arphic-ukai fonts-liberation2 fonts-noto-cjk
  xvfb xauth x11-apps x11-utils imagemagick xdotool openbox python3 python3-xlib appstream desktop-file-utils
  poppler-utils lintian gcovr
  at-spi2-core dbus python3-pyatspi
  orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng dbus-x11 locales libglib2.0-bin
  pulseaudio pulseaudio-utils
)

if [ $# -gt 0 ]; then
  packages=("$@")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
