#!/usr/bin/env bash
# The Debian package as a distribution would check it: built from the build tree into a scratch folder,
# then lintian must report no error and no warning (an override would carry its reason beside it; none is
# needed). Each program's --version must name the package's version.
#   lintian.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v lintian > /dev/null || { echo "lintian is not installed (scripts/install-deps.sh installs it)"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/*.deb)
version=$(dpkg-deb -f "$deb" Version)

for program in power/Quorvex expolog/Zelmora expolog/Tavrinth; do
    name=${program#*/}
    said=$(QT_QPA_PLATFORM=offscreen "$build/$program" --version)
    [ "$said" = "$name $version" ] || { echo "$name --version says '$said', the package is $version"; exit 1; }
done

report=$(lintian --no-tag-display-limit "$deb" 2> /dev/null || true)
[ -n "$report" ] && echo "$report"
if grep -qE '^[EW]: ' <<< "$report"; then
    echo "lintian: errors or warnings on $(basename "$deb")"
    exit 1
fi
echo "lintian: no error and no warning on $(basename "$deb"); --version matches $version"
