#!/bin/bash
# Screenshots of the main window (Record menu open), the delete question and
# the new-deadline window in one language, taken from the real program on
# the sample database under a virtual X server:
#
#   xvfb-run -a -s '-screen 0 1280x800x24' tools/language-screenshots.sh de_DE.UTF-8 de e
#
# The arguments are the locale, the file prefix and the access key of the
# Record menu in that language. Needs openbox, xdotool and ImageMagick.
set -eu
locale=$1 prefix=$2 recordKey=$3
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/docs/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/settings"
export VELTO_SETTINGS_DIR=$work/settings VELTO_TODAY=2027-01-15 LANG=$locale LC_ALL=$locale LANGUAGE=
"$root/build/tools/velto_mksample" "$work/db" appset_groupopt=1 >/dev/null
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
"$root/build/velto" >/dev/null 2>&1 &
program=$!
sleep 4
xdotool search --onlyvisible --name '^Velto' | tail -1 | xargs xdotool windowactivate --sync
sleep 1
xdotool key "alt+$recordKey"; sleep 1
import -window root "$out/$prefix-main.png"
xdotool key Escape Escape; sleep 0.5
xdotool mousemove 700 300 click 1; sleep 0.5
xdotool key Down Down Down Delete; sleep 1.5
import -window root "$out/$prefix-confirm.png"
xdotool key Escape; sleep 1
xdotool key F5; sleep 2
import -window root "$out/$prefix-new-deadline.png"
kill "$program" "$wm"
