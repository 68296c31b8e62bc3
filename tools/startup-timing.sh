#!/bin/sh
# Times the program's start, from exec to the main window shown, under Xvfb
# with a window manager, on an empty database and on a big one.
#
#   tools/startup-timing.sh <build dir> [deadlines] [runs]
#
# Writes both databases with velto_mkbook (default 1,000,000 deadlines) into
# a temporary folder with its own settings (VELTO_SETTINGS_DIR), starts the
# program [runs] times (default 5) on each with VELTO_STARTUP_TIMING=quit and
# prints every run's milliseconds to the window shown, processor time and
# resident memory, then the medians.
# Needs xvfb-run and openbox.
set -eu
build=$(cd "$1" && pwd)
rows=${2:-1000000}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VELTO_TODAY=${VELTO_TODAY:-2026-06-15}
# Backups, autostart entries and runtime files of these runs stay in the temporary folder.
export XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config" XDG_RUNTIME_DIR="$work/xdg-runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

VELTO_SETTINGS_DIR="$work/empty/settings" "$build/tools/velto_mkbook" "$work/empty/data" 0 >/dev/null
VELTO_SETTINGS_DIR="$work/big/settings" "$build/tools/velto_mkbook" "$work/big/data" "$rows" >/dev/null

cat >"$work/run.sh" <<'EOF'
#!/bin/sh
# Inside the X server: a window manager, then the runs.
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
for book in empty big; do
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        i=$((i + 1))
        start=$(date +%s%3N)
        line=$(VELTO_SETTINGS_DIR="$WORK/$book/settings" VELTO_STARTUP_TIMING=quit "$BUILD/velto" 2>&1 >/dev/null |
               grep '^velto: shown')
        shown=$(echo "$line" | cut -d' ' -f3)
        echo "$book $((shown - start)) $(echo "$line" | cut -d' ' -f4-)"
    done
done
kill "$wm"
EOF
chmod +x "$work/run.sh"
WORK=$work BUILD=$build RUNS=$runs xvfb-run -a -s '-screen 0 1600x1000x24' "$work/run.sh" | tee "$work/results"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
field() { awk -v b="$1" -v f="$2" -v k="$3" '$1 == b { v = $f; sub(k "=", "", v); sub("k?B$|ms$", "", v); print v }' "$work/results"; }
for book in empty big; do
    echo "median $book: $(field $book 2 x | median) ms to shown, processor $(field $book 3 cpu | median) ms," \
         "VmRSS $(field $book 5 VmRSS | median) kB, VmHWM $(field $book 4 VmHWM | median) kB"
done
