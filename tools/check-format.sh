#!/bin/bash
# Checks that the C++ sources follow .clang-format, changing nothing:
#
#   tools/check-format.sh             # every file under src/ tests/ bench/ tools/ fuzz/
#   tools/check-format.sh FILE...     # just these
#
# Prints each place that differs and exits non-zero when there is one.
# `clang-format -i FILE` rewrites a file in place. CLANG_FORMAT names another
# binary (the layout was set with clang-format 14, Debian 12's).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tool=${CLANG_FORMAT:-clang-format}
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -d '' files < <(find src tests bench tools fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
fi
"$tool" --dry-run -Werror --style=file "${files[@]}"
