#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (as root), then configures and builds.
# The PostgreSQL server is installed for the tests, which start a throwaway
# cluster of their own; Velto itself needs only libpq to reach a server.
# VELTO_WERROR=ON makes every compiler warning in Velto's code an error (as in CI).
set -euo pipefail
need=()
for p in build-essential cmake qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev libbenchmark-dev sqlite3 python3 desktop-file-utils qt6-translations-l10n poppler-utils libical-dev python3-icalendar dbus qt6-charts-dev appstream libpq-dev postgresql clang-format; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
cmake -S "$(dirname "$0")" -B "$(dirname "$0")/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVELTO_WERROR="${VELTO_WERROR:-OFF}"
cmake --build "$(dirname "$0")/build" -j"$(nproc)"
