#!/bin/bash
# The new-deadline window with a "last working day of the month" series and
# its list of dates, taken from the real program under a virtual X server:
#
#   xvfb-run -a -s '-screen 0 1280x800x24' tools/series-preview-screenshot.sh de_DE.UTF-8 de Miete
#
# The arguments are the locale, the file prefix and the description. Needs openbox, xdotool
# and ImageMagick.
set -eu
locale=$1 prefix=$2
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/docs/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/settings"
export VELTO_SETTINGS_DIR=$work/settings VELTO_TODAY=2027-01-15 LANG=$locale LC_ALL=$locale LANGUAGE=
"$root/build/tools/velto_mksample" "$work/db" >/dev/null
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
"$root/build/velto" >/dev/null 2>&1 &
program=$!
sleep 4
xdotool search --onlyvisible --name '^Velto' | tail -1 | xargs xdotool windowactivate --sync
sleep 1
xdotool key F5; sleep 2
# A debit; the series option (arrow keys check the next option); past the
# three sections of the first date to the count; the last of the kinds: the
# last working day; past the kind's fields to the description and amount.
xdotool key Down Tab Right; sleep 0.5
xdotool key Tab Tab Tab Tab ctrl+a
xdotool type 24
xdotool key Tab End; sleep 0.5
xdotool key Tab Tab Tab Tab
xdotool type "$3"
xdotool key Tab Tab ctrl+a
xdotool type 850
sleep 1
import -window "$(xdotool getactivewindow)" "$out/$prefix-series-preview.png"
kill "$program" "$wm"
