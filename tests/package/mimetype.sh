#!/usr/bin/env bash
# The lesson types as a file manager sees them: a lesson of each program, in a scratch folder, must be
# recognised as that program's type, and that type's default handler must be the program's menu entry, so
# that a double-click opens the lesson there.
#   mimetype.sh                        the installed package, on the system's own MIME database and menu
#                                      entries (CI: after `make install-package`); it changes nothing unless
#                                      dpkg left their rebuilding pending, which it then finishes as dpkg would
#   mimetype.sh SOURCE_DIR BUILD_DIR   packaging/'s files, in databases built in the scratch folder, with the
#                                      built programs (`make test`)
set -euo pipefail
command -v gio > /dev/null || { echo "gio is not installed (scripts/install-deps.sh installs libglib2.0-bin)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ $# -eq 2 ]; then
    share=$work/share
    mkdir -p "$share/mime/packages" "$share/applications"
    cp "$1/packaging/function-explorers.xml" "$share/mime/packages/"
    cp "$1"/packaging/edu.functionexplorers.*.desktop "$share/applications/"
    update-mime-database "$share/mime" > /dev/null 2>&1
    update-desktop-database "$share/applications"
    # A menu entry counts only where its program is on the PATH.
    PATH=$2/power:$2/expolog:$PATH
else
    share=/usr/share
    test -f $share/mime/packages/function-explorers.xml || { echo "function-explorers is not installed"; exit 1; }
    # A dpkg run that stopped early leaves the rebuilding of the MIME database and of the menu entries'
    # MIME cache (the triggers of shared-mime-info and desktop-file-utils) to the next run.
    if dpkg-query -W -f='${Status}\n' shared-mime-info desktop-file-utils | grep -q triggers-pending; then
        sudo_cmd=()
        [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
        "${sudo_cmd[@]}" dpkg --triggers-only --pending
    fi
    for pair in mime/mime.cache:mime/packages/function-explorers.xml \
        applications/mimeinfo.cache:applications/edu.functionexplorers.Quorvex.desktop; do
        [ $share/"${pair%%:*}" -nt $share/"${pair#*:}" ] ||
            { echo "$share/${pair%%:*} was not rebuilt when the package installed $share/${pair#*:}"; exit 1; }
    done
fi

# Only these databases count: no user's own types or chosen applications; messages in English.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_DATA_DIRS=$share LC_ALL=C.UTF-8
failed=0
for program in Quorvex Zelmora Tavrinth; do
    type=application/x-$(tr '[:upper:]' '[:lower:]' <<< "$program")-lesson
    lesson=$work/$program.kejian
    printf '{\n  "format": 1,\n  "program": "%s",\n  "title": "lesson"\n}\n' "$program" > "$lesson"
    found=$(gio info -a standard::content-type "$lesson" | sed -n 's/^ *standard::content-type: //p')
    handler=$(gio mime "$type" | sed -n '1s/^Default application for .*: //p')
    if [ "$found" = "$type" ] && [ "$handler" = "edu.functionexplorers.$program.desktop" ]; then
        echo "$program.kejian: $found, opened by $handler"
    else
        echo "$program.kejian: '$found' opened by '$handler'; wanted $type opened by edu.functionexplorers.$program.desktop"
        failed=1
    fi
done
exit $failed
